#include "app/command_line.h"

#include "app/export_command.h"
#include "app/fit_command.h"
#include "app/version_command.h"

namespace tavel {

std::optional<int> RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err) {
  if (!args.empty()) {
    const std::string& option = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (option == "--fit") return RunFitCommand(rest, out, err);
    if (option == "--fit-model") return RunFitModelCommand(rest, out, err);
    if (option == "--export") return RunExportCommand(rest, out, err);
    if (option == "--print-pdf") return RunPrintPdfCommand(rest, out, err);
    if (option == "--print-data-pdf") return RunPrintDataPdfCommand(rest, out, err);
    if (option == "--help") return RunHelpCommand(rest, out, err);
    if (option == "--version") return RunVersionCommand(rest, out, err);
  }
  // The window program takes only a file name; a mistyped option must not start it (nor, with
  // no display, abort it).
  for (const std::string& word : args) {
    if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
      err << "tavel: unknown option " << word << '\n';
      WriteCommandLineHelp(err);
      return 2;
    }
  }
  return std::nullopt;
}

}  // namespace tavel
