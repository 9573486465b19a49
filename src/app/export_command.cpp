#include "app/export_command.h"

#include <ostream>

#include "ui/graph/graph_export.h"

namespace tavel {

int RunExportCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  return RunExport(args, err);
}

int RunPrintPdfCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  return RunPrintPdf(args, err);
}

int RunHelpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty()) {
    err << "usage: tavel --help\n";
    return 2;
  }
  WriteCommandLineHelp(out);
  return 0;
}

}  // namespace tavel
