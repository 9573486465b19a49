#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/export_command.h"
#include "app/fit_command.h"
#include "app/version_command.h"
#include "ui/app/start.h"
#include "ui/app/tavel_application.h"

int main(int argc, char** argv) {
  // Command-line work that needs no window runs before Qt is started, so it needs no display.
  if (argc >= 2) {
    const std::string_view option(argv[1]);
    const std::vector<std::string> rest(argv + 2, argv + argc);
    if (option == "--fit") return tavel::RunFitCommand(rest, std::cout, std::cerr);
    if (option == "--export") return tavel::RunExportCommand(rest, std::cout, std::cerr);
    if (option == "--print-pdf") return tavel::RunPrintPdfCommand(rest, std::cout, std::cerr);
    if (option == "--print-data-pdf") {
      return tavel::RunPrintDataPdfCommand(rest, std::cout, std::cerr);
    }
    if (option == "--help") return tavel::RunHelpCommand(rest, std::cout, std::cerr);
    if (option == "--version") return tavel::RunVersionCommand(rest, std::cout, std::cerr);
  }
  tavel::TavelApplication app(argc, argv);
  QApplication::setApplicationName("Tavel Graphics");
  return tavel::Start(QApplication::arguments());
}
