#pragma once

#include <cstdint>

#include "core/platform/canvas.h"

namespace tavel {

class Workspace;

// A printer as the data printout needs it: the canvas of the page being drawn and the step to
// the next page. The print job's begin and end stay with whoever owns the printer.
class PageCanvas : public Canvas {
 public:
  // Ends the current page; drawing goes on at the top of a fresh one.
  virtual void NewPage() = 0;
};

// The page the printout is laid out for, in the printer's device units.
struct PrintPage {
  std::int32_t width = 0;  // drawable size
  std::int32_t height = 0;
  bool landscape = false;
  // The pitch of 55 units belongs to a 300 dpi printer; other resolutions scale it so a page
  // keeps the same lines wherever it is printed.
  std::int32_t dotsPerInch = 300;
};

// The data printout's font; its size is in points, so the type is the same size on paper at
// every resolution.
inline constexpr char kDataPrintFont[] = "Arial";
inline constexpr int kDataPrintFontSize = 12;

// Where the lines and columns of a data printout stand on a page.
class DataPrintLayout {
 public:
  explicit DataPrintLayout(const PrintPage& page);

  // The vertical centre of line n: 55 n at 300 dpi.
  std::int32_t LineY(std::int32_t line) const;
  // p percent of the page width, in whole hundredths of it: p * (width div 100).
  std::int32_t ColumnX(int percent) const;
  // The last line a text may stand on: (height div 55) - 3 upright, - 6 on its side (at 300
  // dpi; the same count of lines at any other).
  std::int32_t LastLine() const { return lastLine_; }

 private:
  std::int64_t dotsPerInch_;
  std::int32_t columnUnit_;
  std::int32_t lastLine_;
};

// Prints the data of every series in DataWindows order onto the page canvas: the graph's main
// titles (or the graph file name) on top, then one block per series with its heading, its
// table and, for a fitted series, the coefficients, R^2 and the equation. The canvas is on the
// first page when called and on the last when this returns. Every table is taken from the
// grid as it stands, so the printout shows what the windows show. Returns the number of pages.
std::int32_t PrintDataPages(const Workspace& workspace, PageCanvas& canvas, const PrintPage& page);

}  // namespace tavel
