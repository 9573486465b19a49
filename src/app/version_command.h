#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavel {

// "Tavel Graphics " and the version, one line.
std::string VersionLine();
// `tavel --version`: the version line on out; extra words are a wrong command line.
int RunVersionCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavel
