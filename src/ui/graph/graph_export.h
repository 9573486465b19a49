#pragma once

#include <QByteArray>
#include <QImage>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <string>

class QGuiApplication;

namespace tavel {

class Workspace;

// The graph drawn without a window: the pieces the command line puts together.

// The Qt application the drawing needs, made when the caller has none: on the offscreen
// platform unless the user chose another, so no display is needed. Qt's own notes (a missing
// runtime folder, a font it substituted) are dropped while it lives: a command prints nothing
// on success.
class HeadlessGui {
 public:
  HeadlessGui();
  ~HeadlessGui();
  HeadlessGui(const HeadlessGui&) = delete;
  HeadlessGui& operator=(const HeadlessGui&) = delete;

 private:
  QtMessageHandler previousHandler_;
  int argc_ = 1;
  char name_[6] = "tavel";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

// What a file name asks for: the bitmaps as the window shows them, or vector drawings.
enum class ExportFormat { Bmp, Png, Svg, Pdf };
std::optional<ExportFormat> ExportFormatOf(const std::string& path);

// The graph window's size when the settings have not moved it, and the smallest size the
// screen pass draws, the largest picture asked of it and the resolutions it takes.
constexpr int kExportDefaultWidth = 350;
constexpr int kExportDefaultHeight = 300;
constexpr int kExportMinWidth = 160;
constexpr int kExportMinHeight = 120;
constexpr int kExportMaxSide = 16384;
constexpr int kExportMinDpi = 10;
constexpr int kExportMaxDpi = 4800;

// How the graph is exported: one set of choices for the Export dialog, Copy Graph and the
// command line.
struct ExportOptions {
  // In pixels: the picture's size, and the drawings' size in units.
  int width = kExportDefaultWidth;
  int height = kExportDefaultHeight;
  // The resolution: the graph is laid out as a window of the same size in inches on a 96 dpi
  // screen shows it, drawn at this many pixels an inch, and the picture records it. 0 keeps the
  // old files exactly: the layout of a window of as many pixels, drawings at one unit a point.
  int dpi = 0;
  // "As on paper": the printer's colours on white.
  bool paper = false;
  // Smoothed (anti-aliased) lines and text.
  bool smooth = false;

  // Pixels of the output a pixel of the layout takes.
  double Scale() const { return dpi > 0 ? dpi / 96.0 : 1.0; }
  int LayoutWidth() const;
  int LayoutHeight() const;

  friend bool operator==(const ExportOptions&, const ExportOptions&) = default;
};

// The picture a graph window of the options' outer size shows, without the band the window
// keeps free for two menu bars (there are none here). Throws std::bad_alloc when the image
// cannot be had.
QImage GraphPicture(Workspace& workspace, const ExportOptions& options);
// The same as an SVG drawing whose lines, markers and texts stay lines, shapes and searchable
// text.
QByteArray GraphSvg(Workspace& workspace, const ExportOptions& options);

// The graph written to path in the format, BMP and PNG as pictures, SVG and PDF as drawings,
// through the safe replace. Throws FileWriteError, or std::bad_alloc when the image cannot be
// had.
void ExportGraph(Workspace& workspace, const ExportOptions& options, const std::string& path,
                 ExportFormat format);

// The printer pass onto one PDF page, written through the safe replace. False with the reason
// in `why` when the page could not be made or written.
bool PrintGraphPdf(Workspace& workspace, const std::string& path, std::string& why);

}  // namespace tavel
