#include "ui/datawin/data_print_output.h"

#include <QPainter>
#include <QPrinter>
#include <QString>
#include <exception>
#include <sstream>

#include "core/platform/quiet_prompts.h"
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
  if (!painter.begin(&printer)) {
    const QString where =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    prompts.ReportError("The print job could not be started on " + where.toStdString() + ".");
    return false;
  }
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
  std::ostringstream reports;
  QuietPrompts prompts(reports);
  QPrinter printer(QPrinter::HighResolution);
  UsePdfOutput(printer, QString::fromStdString(path));
  if (PrintSafely(printer, prompts,
                  [&](QPrinter& target) { return PrintDataJob(workspace, target, prompts); })) {
    return true;
  }
  why = reports.str();
  while (!why.empty() && why.back() == '\n') why.pop_back();
  if (why.empty()) why = "the pages could not be written";
  return false;
}

}  // namespace tavel
