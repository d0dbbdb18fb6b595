// Text inside Abonix is CP1251, one byte per character: field sizes, edit
// limits and case-insensitive search all count bytes. AnsiString is just a
// std::string holding CP1251 bytes; conversions to Unicode happen only at the
// edges (fonts, SDL text input, clipboard, CSV and terminal output).
#pragma once

#include <string>
#include <string_view>

using AnsiString = std::string;
