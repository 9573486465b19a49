#include <QApplication>

#include "ui/app/start.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tavel Graphics");
  return tavel::Start(QApplication::arguments());
}
