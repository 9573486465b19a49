#include "ui/graph/graph_export.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QString>
#include <QSvgGenerator>
#include <exception>
#include <new>

#include "core/files/atomic_file.h"
#include "core/graph/draw_graph.h"
#include "ui/graph/graph_output.h"
#include "ui/platform/graph_fonts.h"
#include "ui/platform/qt_canvas.h"

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

std::optional<ExportFormat> ExportFormatOf(const std::string& path) {
  QString extension = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  if (extension == "bmp") return ExportFormat::Bmp;
  if (extension == "png") return ExportFormat::Png;
  if (extension == "svg") return ExportFormat::Svg;
  if (extension == "pdf") return ExportFormat::Pdf;
  return std::nullopt;
}

namespace {

// The screen pass onto a vector device of width x height units: the black ground, then the
// graph, every marker drawn as its own shape.
void DrawVector(Workspace& workspace, QPaintDevice& device, int width, int height) {
  QPainter painter(&device);
  if (!painter.isActive()) throw FileWriteError("the drawing could not be started");
  painter.fillRect(0, 0, width, height, Qt::black);
  QtCanvas canvas(painter);
  canvas.SetMarkerStamping(false);
  DrawTarget target;
  target.width = width;
  target.height = height;
  target.imageWidth = width;
  target.imageHeight = height;
  target.condensedFontInstalled = CondensedGraphFontInstalled();
  DrawGraph(workspace, canvas, target);
}

std::string_view Bytes(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

void ExportGraph(Workspace& workspace, int width, int height, const std::string& path,
                 ExportFormat format) {
  switch (format) {
    case ExportFormat::Bmp:
      ExportGraphImage(workspace, width, height, path, "BMP");
      return;
    case ExportFormat::Png:
      ExportGraphImage(workspace, width, height, path, "PNG");
      return;
    case ExportFormat::Svg: {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      // One unit a point, so the drawing is width x height points as asked.
      svg.setResolution(72);
      svg.setSize(QSize(width, height));
      svg.setViewBox(QRect(0, 0, width, height));
      svg.setTitle("Tavel Graphics");
      DrawVector(workspace, svg, width, height);
      buffer.close();
      WriteFileAtomically(path, Bytes(bytes));
      return;
    }
    case ExportFormat::Pdf: {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width, height), QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        pdf.setCreator("Tavel Graphics");
        DrawVector(workspace, pdf, width, height);
      }
      buffer.close();
      WriteFileAtomically(path, Bytes(bytes));
      return;
    }
  }
}

bool PrintGraphPdf(Workspace& workspace, const std::string& path, std::string& why) {
  return PrintPdfFile(path, "the page could not be written", why,
                      [&](QPrinter& printer, Prompts& prompts) {
                        return PrintGraphPage(workspace, printer, prompts);
                      });
}

}  // namespace tavel
