#include "ui/graph/graph_export.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QString>
#include <exception>
#include <new>
#include <sstream>

#include "core/files/atomic_file.h"
#include "core/platform/quiet_prompts.h"
#include "ui/graph/graph_output.h"
#include "ui/platform/graph_fonts.h"

namespace tavel {

namespace {

void Drop(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

HeadlessGui::HeadlessGui() : previousHandler_(qInstallMessageHandler(&Drop)) {
  if (QCoreApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

HeadlessGui::~HeadlessGui() {
  app_.reset();
  qInstallMessageHandler(previousHandler_);
}

void ExportGraphImage(Workspace& workspace, int width, int height, const std::string& path,
                      const char* format) {
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) throw std::bad_alloc();
  DrawScreenImage(workspace, image, {width, height, 0, CondensedGraphFontInstalled()});
  WriteImageFile(image, path, format);
}

bool PrintGraphPdf(Workspace& workspace, const std::string& path, std::string& why) {
  std::ostringstream reports;
  QuietPrompts prompts(reports);
  QPrinter printer(QPrinter::HighResolution);
  UsePdfOutput(printer, QString::fromStdString(path));
  if (PrintSafely(printer, prompts, [&](QPrinter& target) {
        return PrintGraphPage(workspace, target, prompts);
      })) {
    return true;
  }
  why = reports.str();
  while (!why.empty() && why.back() == '\n') why.pop_back();
  if (why.empty()) why = "the page could not be written";
  return false;
}

}  // namespace tavel
