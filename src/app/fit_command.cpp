#include "app/fit_command.h"

#include <optional>
#include <ostream>
#include <string_view>

#include "core/files/data_file.h"
#include "core/fit/fit_report.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

std::optional<std::int32_t> ParseFitKind(std::string_view text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '8') return std::nullopt;
  return text[0] - '0';
}

int FitDataFile(std::string_view kindText, const std::string& path, std::ostream& out,
                std::ostream& err) {
  const auto kind = ParseFitKind(kindText);
  if (!kind) {
    err << "tavel: --fit: KIND must be a number from 1 to 8, not \"" << kindText << "\"\n";
    return 2;
  }
  // No screen: a message box becomes a line on the error stream, every question is answered
  // the way that changes nothing.
  QuietPrompts prompts(err, "tavel: ");
  Workspace workspace(prompts);
  const DataFileOpenResult opened = OpenDataFile(workspace, path);
  if (opened.failed) {
    err << "tavel: " << path << ": cannot be read as a data file\n";
    return 2;
  }
  if (opened.created.empty()) {
    err << "tavel: " << path << ": the file holds no series (no column of Y values)\n";
    return 2;
  }
  bool allFitted = true;
  for (Series* series : opened.created) {
    series->Fit.FitKind = *kind;
    series->Fit.RunFit();
    allFitted = allFitted && series->Fit.FitOk;
    out << FitReport(*series);
  }
  out.flush();
  return allFitted ? 0 : 1;
}

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "usage: tavel --fit KIND INPUT.prn   (KIND 1..5 polynomial order, 6 power, "
           "7 exponential, 8 natural log)\n";
    return 2;
  }
  return FitDataFile(args[0], args[1], out, err);
}

}  // namespace tavel
