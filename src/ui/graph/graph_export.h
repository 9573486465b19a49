#pragma once

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

// The graph as a graph window of width x height shows it, written to path in the format:
// BMP and PNG as pictures of that many pixels, SVG and PDF as vector drawings of that many
// points whose lines, markers and texts stay lines, shapes and searchable text. Written through
// the safe replace. Throws FileWriteError, or std::bad_alloc when the image cannot be had.
void ExportGraph(Workspace& workspace, int width, int height, const std::string& path,
                 ExportFormat format);

// Exactly the picture a graph window of that outer size shows, without the band the window
// keeps free for two menu bars (there are none here), written as "BMP" or "PNG" through the
// safe replace. Throws FileWriteError, or std::bad_alloc when the image cannot be had.
void ExportGraphImage(Workspace& workspace, int width, int height, const std::string& path,
                      const char* format);

// The printer pass onto one PDF page, written through the safe replace. False with the reason
// in `why` when the page could not be made or written.
bool PrintGraphPdf(Workspace& workspace, const std::string& path, std::string& why);

}  // namespace tavel
