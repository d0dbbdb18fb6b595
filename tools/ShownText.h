// Outside text (a list's bytes) as it may be put into a message on a
// terminal: printable characters as they are, control characters and bytes
// that are no character as \xNN, and a long value cut short with "…".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tools {

inline constexpr std::size_t kShownCharacters = 40;

// bytes in UTF-8 (cp1251 false) or CP1251; the result is UTF-8.
std::string shown_text(std::string_view bytes, bool cp1251, std::size_t limit = kShownCharacters);

}  // namespace tools
