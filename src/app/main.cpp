#include <QApplication>

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/fit_command.h"
#include "ui/app/start.h"

int main(int argc, char** argv) {
  // Command-line work that needs no window runs before Qt is started, so it needs no display.
  if (argc >= 2 && std::string_view(argv[1]) == "--fit") {
    return tavel::RunFitCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                std::cerr);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tavel Graphics");
  return tavel::Start(QApplication::arguments());
}
