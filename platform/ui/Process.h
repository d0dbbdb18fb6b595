// Starting another program without waiting for it, in place of WinExec.
// Nothing goes through a shell: the command line is split into arguments
// here, so an address with shell characters in it stays one argument.
#pragma once

#include "text/AnsiString.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Splits a CP1251 command line into UTF-8 arguments: blanks separate, double
// quotes group. "start <address>" becomes xdg-open <address>, which opens the
// address with the user's chosen program.
std::vector<std::string> command_arguments(std::string_view cp1251_command_line);

// Starts the command and returns at once; false when it could not be started
// (empty, or the program was not found). An address goes to sensible-browser
// when xdg-open is not installed. The show flag of the original call is
// accepted for the callers' sake; a started program decides how it shows itself.
bool win_exec(std::string_view cp1251_command_line, int show);

// Tests replace the starter to see what would be run; returns the previous one.
using ProcessStarter = std::function<bool(const std::vector<std::string>& argv)>;
ProcessStarter set_process_starter(ProcessStarter starter);

}  // namespace ui
