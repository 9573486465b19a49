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
#include <algorithm>
#include <cmath>
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

int ExportOptions::LayoutWidth() const {
  return std::max(1, static_cast<int>(std::lround(width / Scale())));
}

int ExportOptions::LayoutHeight() const {
  return std::max(1, static_cast<int>(std::lround(height / Scale())));
}

QImage GraphPicture(Workspace& workspace, const ExportOptions& options) {
  QImage image(options.width, options.height, QImage::Format_RGB32);
  if (image.isNull()) throw std::bad_alloc();
  // Drawn as a screen of that many pixels to the layout's one would show it, fonts included;
  // the resolution is recorded afterwards, or the fonts would grow with it a second time.
  if (options.dpi > 0) image.setDevicePixelRatio(options.Scale());
  // The layout's whole pixels may fall short of the picture's last row and column.
  image.fill(options.paper ? Qt::white : Qt::black);
  ScreenPass pass{options.LayoutWidth(), options.LayoutHeight(), 0, CondensedGraphFontInstalled()};
  pass.paper = options.paper;
  pass.smooth = options.smooth;
  DrawScreenImage(workspace, image, pass);
  if (options.dpi > 0) {
    const int perMetre = static_cast<int>(options.dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(perMetre);
    image.setDotsPerMeterY(perMetre);
  }
  return image;
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

// The screen pass onto a vector device of the options' size in units: the ground, then the
// graph, every marker drawn as its own shape.
void DrawVector(Workspace& workspace, QPaintDevice& device, const ExportOptions& options) {
  QPainter painter(&device);
  if (!painter.isActive()) throw FileWriteError("the drawing could not be started");
  const int width = options.LayoutWidth(), height = options.LayoutHeight();
  painter.fillRect(0, 0, width, height, options.paper ? Qt::white : Qt::black);
  QtCanvas canvas(painter);
  canvas.SetMarkerStamping(false);
  if (options.smooth) painter.setRenderHint(QPainter::Antialiasing);
  DrawTarget target;
  target.width = width;
  target.height = height;
  target.imageWidth = width;
  target.imageHeight = height;
  target.condensedFontInstalled = CondensedGraphFontInstalled();
  target.paperColours = options.paper;
  DrawGraph(workspace, canvas, target);
}

// Units per inch of the drawings: one a point, or with a resolution chosen one a layout pixel
// of a 96 dpi screen, so the drawing has the size in inches the picture would have.
int VectorResolution(const ExportOptions& options) {
  return options.dpi > 0 ? 96 : 72;
}

std::string_view Bytes(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

QByteArray GraphSvg(Workspace& workspace, const ExportOptions& options) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setResolution(VectorResolution(options));
  svg.setSize(QSize(options.LayoutWidth(), options.LayoutHeight()));
  svg.setViewBox(QRect(0, 0, options.LayoutWidth(), options.LayoutHeight()));
  svg.setTitle("Tavel Graphics");
  DrawVector(workspace, svg, options);
  buffer.close();
  return bytes;
}

void ExportGraph(Workspace& workspace, const ExportOptions& options, const std::string& path,
                 ExportFormat format) {
  switch (format) {
    case ExportFormat::Bmp:
      WriteImageFile(GraphPicture(workspace, options), path, "BMP");
      return;
    case ExportFormat::Png:
      WriteImageFile(GraphPicture(workspace, options), path, "PNG");
      return;
    case ExportFormat::Svg:
      WriteFileAtomically(path, Bytes(GraphSvg(workspace, options)));
      return;
    case ExportFormat::Pdf: {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      {
        QPdfWriter pdf(&buffer);
        const int resolution = VectorResolution(options);
        pdf.setResolution(resolution);
        const QSizeF points(options.LayoutWidth() * 72.0 / resolution,
                            options.LayoutHeight() * 72.0 / resolution);
        pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
        pdf.setCreator("Tavel Graphics");
        DrawVector(workspace, pdf, options);
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
