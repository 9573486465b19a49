#include "app/fit_command.h"

#include <ostream>

#include "core/fit/fit_report.h"

namespace tavel {

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "usage: tavel --fit KIND INPUT.prn   (KIND 1..5 polynomial order, 6 power, "
           "7 exponential, 8 natural log)\n";
    return 2;
  }
  return FitDataFile(args[0], args[1], out, err);
}

}  // namespace tavel
