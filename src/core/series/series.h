#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/series/cell_grid.h"
#include "core/series/fit_result.h"
#include "core/series/real.h"
#include "core/series/tdata.h"

namespace tavel {

class Workspace;

// Graph types of a series.
enum GraphTypeCode : std::int32_t {
  kGraphLine = 1,
  kGraphBar = 2,
  kGraphFit = 3,
  kGraphNone = 4,
  kGraphLineBar = 5,
  kGraphLineFit = 6,
  kGraphBarFit = 7,
};

// Printer colour codes; the other codes index the printer colour table directly.
enum PrinterColorCode : std::int32_t {
  kPrinterBlack = 0,
  kPrinterGreen = 1,
  kPrinterDefault = 2,
  kPrinterRed = 3,
  kPrinterBlue = 14,
};

// Everything of a series beside its rows and cells: what a step of the history saves whole,
// since it is small.
struct SeriesFields {
  FitResult Fit;
  std::string FileName = "NoName.prn";
  std::string NewCellText;
  std::string OldCellText;
  std::int32_t MaxIndex = 0;
  std::int32_t EditRow = 0;
  std::int32_t EditCol = 0;
  std::int32_t SeriesNumber = 0;
  std::int32_t PointCount = 0;
  Real CellValue = 0;
  Real XMax = 0, XMin = 0, YMax = 0, YMin = 0;
  bool LeftAxis = true;
  std::int32_t PrinterColor = kPrinterDefault;
  bool ShowPoints = true;
  std::int32_t GraphType = kGraphLine;
  bool FitActive = false;
  std::string SeriesTitle;
  std::string FitHeader;
  // Set once the series was read from or written to a data file: the caption then names it.
  bool FileNameInCaption = false;
  // The file the caption names when it is not FileName: every series read from one data file
  // shows that file, but only the last of them takes it as its FileName.
  std::string CaptionFileName;
  // Which state the series is in: each change gives it a new number and taking the change
  // back gives it the old one, so a series is unsaved exactly when this differs from the number
  // it had when it was last written (or read).
  std::uint64_t Version = 0;

  friend bool operator==(const SeriesFields&, const SeriesFields&) = default;
};

// The series of one data window: its grid of cells (the master while the user edits) and the
// numeric rows rebuilt from it whenever a computation needs them.
class Series : public SeriesFields {
 public:
  // Made by Workspace::CreateSeries only.
  Series(Workspace& workspace, std::int32_t seriesNumber, std::int32_t maxIndex,
         std::int32_t printerColor);
  Series(const Series&) = delete;
  Series& operator=(const Series&) = delete;

  // Row i belongs to grid row i + 1; always MaxIndex entries. While the rows hold exactly what
  // the grid shows (after FillGrid, and after PackPoints or SortByX found them packed and in
  // order already) the grid keeps its numbers here and nowhere else, so a value written straight
  // into a row shows in its cell as well (writing a cell gives the grid its own copy first).
  // ReadGrid hands the rows over: from then on they may be changed freely, and the grid keeps
  // its cells until FillGrid writes the rows back.
  std::vector<Tdata> Points;
  CellGrid Cells;
  // The Version last written to or read from a file (or the graph file).
  std::uint64_t SavedVersion = 0;

  bool Modified() const { return Version != SavedVersion; }
  void MarkSaved() { SavedVersion = Version; }
  // Holds what no file holds (a copy of another series): closing it asks.
  void MarkUnsaved() { SavedVersion = 0; }

  // Called after an operation rewrote cells, so a view of the grid can refresh.
  std::function<void()> GridChanged;

  Workspace& Owner() const { return workspace_; }

  std::string Caption() const;
  // Row 0 of the grid: " Index", the X and Y headings and the Fit column heading.
  std::string HeaderText(int column) const;
  std::string DefaultFitHeader() const;

  // Rows and cells to the new count; kept rows keep their contents.
  void SetMaxIndex(std::int32_t rows);

  void ReadGrid();
  void FillGrid();
  void PackPoints();
  void SortByX(bool ascending);
  // After SortByX: the rows holding only an X or only a Y follow the PointCount complete points
  // in their order, as the grid has them, instead of being dropped. They are typed data, so
  // every command that writes the sorted rows back for its own sake (a fit, a running sum)
  // keeps them; PointCount stays the number of complete points.
  void KeepIncompleteRows();
  void FindYExtents();
  void ClearFit();

  // Tells the view of the grid that cells were replaced behind its back.
  void NotifyGridChanged();

 private:
  Workspace& workspace_;
};

}  // namespace tavel
