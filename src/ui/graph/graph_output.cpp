#include "ui/graph/graph_output.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/atomic_file.h"
#include "core/files/file_names.h"
#include "core/files/save_as.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/graph_settings.h"
#include "core/series/workspace.h"
#include "ui/platform/qt_canvas.h"

namespace tavel {

QSize GraphBitmapSize(QSize screen, int menuBarHeight) {
  return QSize(std::max(1, screen.width()), std::max(1, screen.height() - 2 * menuBarHeight));
}

DrawResult DrawScreenImage(Workspace& workspace, QImage& image, const ScreenPass& pass) {
  QPainter painter(&image);
  QtCanvas canvas(painter);
  DrawTarget target;
  target.width = pass.windowWidth;
  target.height = pass.windowHeight;
  target.menuBarHeight = pass.menuBarHeight;
  // A high-resolution image is drawn in its logical units; the painter scales to the pixels.
  target.imageWidth = static_cast<int>(image.deviceIndependentSize().width());
  target.imageHeight = static_cast<int>(image.deviceIndependentSize().height());
  target.condensedFontInstalled = pass.condensedFont;
  target.shownWidth = pass.shownWidth;
  target.shownHeight = pass.shownHeight;
  target.paperColours = pass.paper;
  if (pass.smooth) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
  }
  return DrawGraph(workspace, canvas, target);
}

QImage CropPicture(const QImage& picture, int width, int height) {
  const qreal ratio = picture.devicePixelRatio();
  const int w = static_cast<int>(width * ratio);
  const int h = static_cast<int>(height * ratio);
  return picture.copy(0, 0, std::clamp(w, 1, std::max(1, picture.width())),
                      std::clamp(h, 1, std::max(1, picture.height())));
}

void WriteImageFile(const QImage& image, const std::string& path, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(image)) throw FileWriteError(writer.errorString().toStdString());
  buffer.close();
  WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

FileDialogOptions SaveBitmapDialogOptions(const GraphSettings& settings) {
  FileDialogOptions options;
  options.filters = {{"Bitmap File", "*.bmp"}};
  options.filterIndex = 1;
  options.defaultExtension = "bmp";
  options.fileName = WithoutExtension(settings.GraphFileName);
  return options;
}

SaveResult SaveBitmapAs(const QImage& picture, const GraphSettings& settings, Prompts& prompts) {
  // Unlike a graph file, a bitmap is never "its own" file: every existing one is asked about.
  SaveAsRequest request;
  request.dialog = SaveBitmapDialogOptions(settings);
  return SaveAs(prompts, request, [&](const std::string& path) {
    WriteImageFile(CropPicture(picture, settings.GraphWidth, settings.GraphHeight), path, "BMP");
  });
}

bool IsColourPrinter(QPrinter& printer) {
  return printer.colorMode() == QPrinter::Color && printer.colorCount() >= 3;
}

bool IsLandscape(const QPrinter& printer) {
  return printer.pageLayout().orientation() == QPageLayout::Landscape;
}

void UsePdfOutput(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(kPdfResolution);
  printer.setOutputFileName(path);
}

void PreparePrinter(QPrinter& printer, const std::string& fileName) {
  // The name this proposed last: a later job proposes its own document's name in its place,
  // while a name the user chose in the print dialog stays chosen.
  static QString proposed;
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty() &&
      printer.outputFileName() != proposed) {
    return;
  }
  if (printer.outputFormat() == QPrinter::NativeFormat &&
      !QPrinterInfo::availablePrinters().isEmpty()) {
    return;
  }
  QString name = QString::fromStdString(WithoutExtension(fileName)) + ".pdf";
  if (QFileInfo(name).isRelative()) name = QDir::current().absoluteFilePath(name);
  UsePdfOutput(printer, name);
  proposed = name;
}

bool BeginPrintJob(QPainter& painter, QPrinter& printer, Prompts& prompts) {
  if (painter.begin(&printer)) return true;
  const QString where =
      printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
  prompts.ReportError("The print job could not be started on " + where.toStdString() + ".");
  return false;
}

bool PrintPdfFile(const std::string& path, const char* nothingWritten, std::string& why,
                  const std::function<bool(QPrinter&, Prompts&)>& pass) {
  std::ostringstream reports;
  QuietPrompts prompts(reports);
  QPrinter printer(QPrinter::HighResolution);
  UsePdfOutput(printer, QString::fromStdString(path));
  if (PrintSafely(printer, prompts, [&](QPrinter& target) { return pass(target, prompts); })) {
    return true;
  }
  why = reports.str();
  while (!why.empty() && why.back() == '\n') why.pop_back();
  if (why.empty()) why = nothingWritten;
  return false;
}

bool PrintGraphPage(Workspace& workspace, QPrinter& printer, Prompts& prompts) {
  QPainter painter;
  if (!BeginPrintJob(painter, printer, prompts)) return false;
  DrawTarget target;
  target.printer = true;
  target.width = printer.width();
  target.height = printer.height();
  target.colourPrinter = IsColourPrinter(printer);
  target.landscape = IsLandscape(printer);
  try {
    QtCanvas canvas(painter);
    DrawGraph(workspace, canvas, target);
  } catch (const std::exception& e) {
    // What was drawn so far is thrown away rather than printed as if it were the graph.
    printer.abort();
    painter.end();
    prompts.ReportError(e.what());
    return false;
  }
  return painter.end();
}

namespace {

// Whether the PDF file is whole: the PDF writer does not report failed writes (a full disk),
// so its last line must be there and its cross-reference table where the writer's own count
// of the bytes put it. A write lost anywhere moves the one or loses the other.
bool PdfIsWhole(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const qint64 size = file.size();
  constexpr qint64 kTail = 1024;
  if (!file.seek(std::max<qint64>(0, size - kTail))) return false;
  const QByteArray tail = file.read(kTail).trimmed();
  if (!tail.endsWith("%%EOF")) return false;
  const qsizetype at = tail.lastIndexOf("startxref");
  if (at < 0) return false;
  bool ok = false;
  const qint64 xref = tail.mid(at + 9, tail.size() - at - 9 - 5).trimmed().toLongLong(&ok);
  if (!ok || xref < 0 || xref + 4 > size || !file.seek(xref)) return false;
  return file.read(4) == "xref";
}

// Why the file could not be written whole: the error a further write to it meets, which is
// what the PDF writer met and kept to itself.
std::string WriteFailureText(const std::filesystem::path& newFile, const QString& target) {
  int error = 0;
  const int fd = ::open(newFile.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd >= 0) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && ::pwrite(fd, "\n", 1, info.st_size) < 0) error = errno;
    ::close(fd);
  }
  return target.toStdString() + ": " +
         (error != 0 ? std::strerror(error) : "the printout could not be written whole");
}

}  // namespace

bool PrintSafely(QPrinter& printer, Prompts& prompts, const std::function<bool(QPrinter&)>& pass) {
  if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty()) {
    return pass(printer);
  }
  const QString target = printer.outputFileName();
  bool printed = false;
  try {
    ReplaceFileSafely(target.toStdString(), [&](const std::filesystem::path& newFile) {
      printer.setOutputFileName(QString::fromStdString(newFile.string()));
      printed = pass(printer);
      printer.setOutputFileName(target);
      // The pass has said why already; the old file must stay.
      if (!printed) throw FileWriteError("");
      if (!PdfIsWhole(newFile)) {
        printed = false;
        throw FileWriteError(WriteFailureText(newFile, target));
      }
    });
  } catch (const FileWriteError& e) {
    printer.setOutputFileName(target);
    if (*e.what() != '\0') prompts.ReportError(e.what());
    return false;
  }
  return true;
}

bool ConfirmPrint(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  // One page, always: there is no range to choose.
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  return dialog.exec() == QDialog::Accepted;
}

void PrinterSetup(QWidget* parent, QPrinter& printer) {
  QPageSetupDialog dialog(&printer, parent);
  dialog.exec();
}

}  // namespace tavel
