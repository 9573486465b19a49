#include "ui/graph/graph_export.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <system_error>

#include "core/files/data_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"
#include "ui/graph/graph_output.h"

namespace tavel {

namespace {

// Everything before the first "x" and after it must be a plain decimal number.
std::optional<int> SideOf(std::string_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string ExtensionOf(const std::string& path) {
  return Lower(std::filesystem::path(path).extension().string());
}

// What a file is opened as, by the first four characters of its extension (dot included, any
// case), as the "&Open" command decides under its data and graph filters.
enum class InputKind { Data, Graph, Unknown };
InputKind InputKindOf(const std::string& path) {
  const std::string head = ExtensionOf(path).substr(0, 4);
  if (head == ".prn") return InputKind::Data;
  if (head == ".gra") return InputKind::Graph;
  return InputKind::Unknown;
}

// The Qt application the drawing needs, made here when the caller has none: on the offscreen
// platform unless the user chose another, so no display is needed.
// Qt's own notes (a missing runtime folder, a font it substituted) are not the user's concern
// here: a command prints nothing on success.
class GuiApplication {
 public:
  GuiApplication() : previousHandler_(qInstallMessageHandler(&Drop)) {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  ~GuiApplication() {
    app_.reset();
    qInstallMessageHandler(previousHandler_);
  }
  GuiApplication(const GuiApplication&) = delete;
  GuiApplication& operator=(const GuiApplication&) = delete;

 private:
  static void Drop(QtMsgType, const QMessageLogContext&, const QString&) {}

  QtMessageHandler previousHandler_;
  int argc_ = 1;
  char name_[6] = "tavel";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

bool CondensedFontAvailable() {
  const QStringList families = QFontDatabase::families();
  return std::any_of(families.begin(), families.end(), [](const QString& family) {
    return family.contains("Abadi MT Condensed", Qt::CaseInsensitive);
  });
}

// Reads the input into the workspace as "&Open" reads a data file; false after one line on err.
bool ReadInput(Workspace& workspace, const std::string& path, std::ostream& err) {
  switch (InputKindOf(path)) {
    case InputKind::Graph:
      err << "tavel: " << path << ": graph files (.gra) are not supported yet; give a .prn file\n";
      return false;
    case InputKind::Unknown:
      err << "tavel: " << path << ": unknown input type; give a data file (.prn)\n";
      return false;
    case InputKind::Data:
      break;
  }
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    err << "tavel: " << path << ": no such file\n";
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    err << "tavel: " << path << ": is a folder, not a data file\n";
    return false;
  }
  const DataFileOpenResult opened = OpenDataFile(workspace, path);
  if (opened.failed) {
    err << "tavel: " << path << ": cannot be read as a data file\n";
    return false;
  }
  if (opened.created.empty()) {
    err << "tavel: " << path << ": the file holds no series (no column of Y values)\n";
    return false;
  }
  return true;
}

}  // namespace

std::optional<ExportSize> ParseExportSize(const std::string& text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  const auto width = SideOf(std::string_view(text).substr(0, x));
  const auto height = SideOf(std::string_view(text).substr(x + 1));
  if (!width || !height) return std::nullopt;
  if (*width < kExportMinWidth || *height < kExportMinHeight) return std::nullopt;
  if (*width > kExportMaxSide || *height > kExportMaxSide) return std::nullopt;
  return ExportSize{*width, *height};
}

int RunExport(const std::vector<std::string>& args, std::ostream& err) {
  constexpr char kUsage[] = "usage: tavel --export OUT.bmp|OUT.png [--size WIDTHxHEIGHT] INPUT.prn";
  ExportSize size;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--size") {
      if (i + 1 == args.size()) {
        err << "tavel: --size needs WIDTHxHEIGHT\n";
        return 2;
      }
      const auto parsed = ParseExportSize(args[++i]);
      if (!parsed) {
        err << "tavel: --size " << args[i] << ": give WIDTHxHEIGHT from " << kExportMinWidth << 'x'
            << kExportMinHeight << " to " << kExportMaxSide << 'x' << kExportMaxSide << '\n';
        return 2;
      }
      size = *parsed;
    } else {
      names.push_back(args[i]);
    }
  }
  if (names.size() != 2) {
    err << kUsage << '\n';
    return 2;
  }
  const std::string& out = names[0];
  const std::string& input = names[1];
  const std::string extension = ExtensionOf(out);
  const char* format = extension == ".bmp" ? "BMP" : extension == ".png" ? "PNG" : nullptr;
  if (format == nullptr) {
    err << "tavel: " << out << ": unknown output type; the name must end in .bmp or .png\n";
    return 2;
  }

  GuiApplication app;
  QuietPrompts prompts;
  Workspace workspace(prompts);
  if (!ReadInput(workspace, input, err)) return 1;
  try {
    // Exactly the picture a graph window of that outer size shows, without the band the
    // window keeps free for two menu bars: there are none here.
    QImage image(size.width, size.height, QImage::Format_RGB32);
    if (image.isNull()) {
      err << "tavel: not enough memory for a " << size.width << 'x' << size.height << " image\n";
      return 1;
    }
    DrawScreenImage(workspace, image, {size.width, size.height, 0, CondensedFontAvailable()});
    WriteImageFile(image, out, format);
  } catch (const std::exception& e) {
    err << "tavel: " << out << ": " << e.what() << '\n';
    return 1;
  }
  return 0;
}

int RunPrintPdf(const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() != 2) {
    err << "usage: tavel --print-pdf OUT.pdf INPUT.prn\n";
    return 2;
  }
  const std::string& out = args[0];
  const std::string& input = args[1];
  if (ExtensionOf(out) != ".pdf") {
    err << "tavel: " << out << ": the name must end in .pdf\n";
    return 2;
  }

  GuiApplication app;
  std::ostringstream reports;
  QuietPrompts prompts(reports);
  Workspace workspace(prompts);
  if (!ReadInput(workspace, input, err)) return 1;
  // Not written in place: a failed print leaves an existing file as it was.
  const std::string partial = out + ".part";
  {
    std::ofstream probe(partial, std::ios::binary);
    if (!probe) {
      err << "tavel: " << out << ": cannot be written: " << std::strerror(errno) << '\n';
      return 1;
    }
  }
  QPrinter printer(QPrinter::HighResolution);
  UsePdfOutput(printer, QString::fromStdString(partial));
  const bool printed = PrintGraphPage(workspace, printer, prompts);
  std::error_code error;
  if (printed) std::filesystem::rename(partial, out, error);
  if (!printed || error) {
    std::filesystem::remove(partial, error);
    std::string why = reports.str();
    if (why.empty()) why = "the page could not be written\n";
    err << "tavel: " << out << ": " << why;
    return 1;
  }
  return 0;
}

void WriteCommandLineHelp(std::ostream& out) {
  out << "usage: tavel [FILE]\n"
         "       tavel --export OUT.bmp|OUT.png [--size WIDTHxHEIGHT] INPUT.prn\n"
         "       tavel --print-pdf OUT.pdf INPUT.prn\n"
         "       tavel --fit KIND INPUT.prn\n"
         "       tavel --help\n"
         "\n"
         "  FILE         read as a graph file when the program starts\n"
         "  --export     draw INPUT as the graph window shows it and write the picture as a\n"
         "               BMP or PNG file (by OUT's extension); the size defaults to 350x300\n"
         "  --print-pdf  print the graph of INPUT onto one PDF page\n"
         "  --fit        fit every series of INPUT (KIND 1..5 polynomial order, 6 power,\n"
         "               7 exponential, 8 natural log) and print the results\n"
         "  --help       show this text\n"
         "\n"
         "--export, --print-pdf and --fit need no display. They print nothing else on success;\n"
         "a failure prints one line on stderr. Exit status: 0 done, 1 the input could not be\n"
         "read or the output not written (--fit: a fit was refused), 2 a wrong command line\n"
         "(--fit: also an unreadable input).\n";
}

}  // namespace tavel
