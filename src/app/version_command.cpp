#include "app/version_command.h"

#include <ostream>

namespace tavel {

std::string VersionLine() {
  return std::string("Tavel Graphics ") + TAVEL_VERSION;
}

int RunVersionCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty()) {
    err << "usage: tavel --version\n";
    return 2;
  }
  out << VersionLine() << '\n';
  return 0;
}

}  // namespace tavel
