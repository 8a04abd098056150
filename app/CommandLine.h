#pragma once
// The program's command line: --help and --version, answered on the terminal
// before any window exists. The window system's own options (-platform,
// -style, -session from a session manager, ...) are left to Qt; anything else
// is refused.

#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

// Returns the exit code when the arguments (after the program name) were
// answered or refused, nothing when the program should start.
std::optional<int> AnswerCommandLine(const std::vector<std::string_view>& args, std::ostream& out,
                                     std::ostream& err);
