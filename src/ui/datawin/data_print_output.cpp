#include "ui/datawin/data_print_output.h"

#include <QPainter>
#include <QPrinter>
#include <QString>
#include <exception>

#include "ui/graph/graph_output.h"
#include "ui/platform/qt_page_canvas.h"

namespace tavel {

PrintPage PrintPageOf(const QPrinter& printer) {
  PrintPage page;
  page.width = printer.width();
  page.height = printer.height();
  page.landscape = IsLandscape(printer);
  page.dotsPerInch = printer.resolution();
  return page;
}

bool PrintDataJob(const Workspace& workspace, QPrinter& printer, Prompts& prompts) {
  QPainter painter;
  if (!BeginPrintJob(painter, printer, prompts)) return false;
  try {
    QtPageCanvas canvas(painter, printer);
    PrintDataPages(workspace, canvas, PrintPageOf(printer));
  } catch (const std::exception& e) {
    printer.abort();
    painter.end();
    prompts.ReportError(e.what());
    return false;
  }
  if (!painter.end()) {
    prompts.ReportError("The print job could not be finished.");
    return false;
  }
  return true;
}

bool PrintDataPdf(const Workspace& workspace, const std::string& path, std::string& why) {
  return PrintPdfFile(path, "the pages could not be written", why,
                      [&](QPrinter& printer, Prompts& prompts) {
                        return PrintDataJob(workspace, printer, prompts);
                      });
}

}  // namespace tavel
