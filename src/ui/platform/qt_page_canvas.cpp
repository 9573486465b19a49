#include "ui/platform/qt_page_canvas.h"

#include <QPrinter>
#include <stdexcept>

namespace tavel {

QtPageCanvas::QtPageCanvas(QPainter& painter, QPrinter& printer)
    : printer_(printer), canvas_(painter) {}

void QtPageCanvas::NewPage() {
  if (!printer_.newPage()) throw std::runtime_error("The printer could not start a new page.");
}

}  // namespace tavel
