#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tavel {

// The command-line modes that need no window. args are the words after the program's name.
// Returns the exit status of the mode run, or nothing when the window program should start.
// A word that begins with "--" and is no option is a wrong command line: one line naming it,
// then the usage, exit status 2, and no window.
std::optional<int> RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err);

}  // namespace tavel
