#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "ui/app/start.h"
#include "ui/app/tavel_application.h"

int main(int argc, char** argv) {
  // Command-line work that needs no window runs before Qt is started, so it needs no display.
  if (const auto status =
          tavel::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                std::cerr)) {
    return *status;
  }
  tavel::TavelApplication app(argc, argv);
  QApplication::setApplicationName("Tavel Graphics");
  return tavel::Start(QApplication::arguments());
}
