#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <string>

#include "core/files/save_as.h"
#include "core/graph/draw_graph.h"
#include "core/platform/prompts.h"

class QPainter;
class QPrinter;
class QWidget;

namespace tavel {

class Workspace;
struct GraphSettings;

// The graph's three outputs besides the window itself: the screen image, the bitmap file and
// the printed page, each one drawing pass of DrawGraph through the Qt canvas.

// What the screen pass needs besides the image: the graph window's outer size, the system
// menu-bar height and whether the condensed font is installed.
struct ScreenPass {
  int windowWidth = 0;
  int windowHeight = 0;
  int menuBarHeight = 0;
  bool condensedFont = false;
  // The part of the picture the window shows, when its frame covers the rest (0: all).
  int shownWidth = 0;
  int shownHeight = 0;
  // A figure for paper: the printer's colours on white; smoothed lines and text.
  bool paper = false;
  bool smooth = false;
};

// The size of the off-screen graph image for a screen: its whole width, its height less two
// menu-bar heights (at least one pixel each way).
QSize GraphBitmapSize(QSize screen, int menuBarHeight);

// The screen pass into the image: the whole image black, the graph in the top-left part the
// window shows. Throws DrawOverflow.
DrawResult DrawScreenImage(Workspace& workspace, QImage& image, const ScreenPass& pass);

// The top-left width x height of the picture, no more than it holds.
QImage CropPicture(const QImage& picture, int width, int height);

// Writes the image in the format ("BMP", "PNG"), replacing an existing file only once the new
// one is whole. Throws FileWriteError with the system's text.
void WriteImageFile(const QImage& image, const std::string& path, const char* format);

// "Save &Bitmap": the dialog preset to the graph file's name without its extension; a file
// that exists is overwritten only after "Yes", and "No" opens the dialog again. The picture is
// cropped to GraphWidth x GraphHeight and written as a BMP file; a failed write goes to
// prompts.ReportError.
FileDialogOptions SaveBitmapDialogOptions(const GraphSettings& settings);
SaveResult SaveBitmapAs(const QImage& picture, const GraphSettings& settings, Prompts& prompts);

// The printer rules the device decides: colour from its colour mode and count, the page's
// orientation.
bool IsColourPrinter(QPrinter& printer);
bool IsLandscape(const QPrinter& printer);

// A PDF page is drawn at the resolution of the printers the pass's device-unit sizes (marker
// size, line widths) were made for.
constexpr int kPdfResolution = 300;
// Output into a PDF file instead of a printer.
void UsePdfOutput(QPrinter& printer, const QString& path);

// Before a print dialog: where no printer is installed the print goes to a PDF file named after
// `fileName` (the graph or text file), so every print command still gives pages.
void PreparePrinter(QPrinter& printer, const std::string& fileName);

// Begins a print job: false, after prompts.ReportError naming the printer or file, when it
// could not start.
bool BeginPrintJob(QPainter& painter, QPrinter& printer, Prompts& prompts);

// A print pass into the PDF file `path` without a screen, through the safe replace. False with
// the pass's reports in `why` (or `nothingWritten` when it gave none).
bool PrintPdfFile(const std::string& path, const char* nothingWritten, std::string& why,
                  const std::function<bool(QPrinter&, Prompts&)>& pass);

// The printer pass: one page with the printer rules. False, after prompts.ReportError, when
// the job could not start or the pass failed.
bool PrintGraphPage(Workspace& workspace, QPrinter& printer, Prompts& prompts);

// Runs a print pass onto the printer. When the printer writes a PDF file, the file is made
// through the safe replace: an existing file is replaced only by a whole new one, with its
// permissions, and a failed pass leaves it as it was. `pass` reports its own failures and
// returns false.
bool PrintSafely(QPrinter& printer, Prompts& prompts, const std::function<bool(QPrinter&)>& pass);

// The platform's print dialog; true when confirmed.
bool ConfirmPrint(QWidget* parent, QPrinter& printer);
// "P&rint Setup...": the platform's page and printer set-up, nothing else.
void PrinterSetup(QWidget* parent, QPrinter& printer);

}  // namespace tavel
