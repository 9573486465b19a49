#include "core/series/series.h"

#include <algorithm>
#include <cctype>

#include "core/series/graph_settings.h"
#include "core/series/workspace.h"

namespace tavel {

Series::Series(Workspace& workspace, std::int32_t seriesNumber, std::int32_t maxIndex,
               std::int32_t printerColor)
    : Fit(seriesNumber, &workspace),
      MaxIndex(maxIndex < 0 ? 0 : maxIndex),
      SeriesNumber(seriesNumber),
      PrinterColor(printerColor),
      Cells(maxIndex < 0 ? 0 : maxIndex),
      FitHeader(DefaultFitHeader()),
      workspace_(workspace) {
  Points.reserve(static_cast<std::size_t>(MaxIndex));
  Points.resize(static_cast<std::size_t>(MaxIndex));
}

std::string Series::Caption() const {
  std::string caption = "Series Number: " + std::to_string(SeriesNumber);
  if (FileNameInCaption) {
    const std::string& shown = CaptionFileName.empty() ? FileName : CaptionFileName;
    const auto slash = shown.find_last_of("/\\");
    std::string name = slash == std::string::npos ? shown : shown.substr(slash + 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    caption += "   -   " + name;
  }
  return caption;
}

std::string Series::HeaderText(int column) const {
  switch (column) {
    case kIndexColumn:
      return " Index";
    case kXColumn:
      return "             X" + std::to_string(SeriesNumber);
    case kYColumn:
      return "             Y" + std::to_string(SeriesNumber);
    default:
      return FitHeader;
  }
}

std::string Series::DefaultFitHeader() const {
  return "          Y" + std::to_string(SeriesNumber) + " Fit";
}

void Series::SetMaxIndex(std::int32_t rows) {
  if (rows < 0) rows = 0;
  MaxIndex = rows;
  Points.resize(static_cast<std::size_t>(rows));
  Points.shrink_to_fit();
  Cells.Resize(rows);
}

void Series::ReadGrid() {
  Points.resize(static_cast<std::size_t>(MaxIndex));
  for (std::int32_t i = 0; i < MaxIndex; ++i) {
    Tdata& row = Points[static_cast<std::size_t>(i)];
    Real* values[3] = {&row.X, &row.Y, &row.YFit};
    bool* valid[3] = {&row.XValid, &row.YValid, &row.FitValid};
    Cells.ReadRow(i + 1, values, valid);
  }
}

void Series::FillGrid() {
  for (std::int32_t i = 0; i < MaxIndex; ++i) {
    const Tdata& row = Points[static_cast<std::size_t>(i)];
    const auto put = [&](int column, bool valid, Real value) {
      if (valid) {
        Cells.SetNumber(i + 1, column, value);
      } else {
        Cells.Clear(i + 1, column);
      }
    };
    put(kXColumn, row.XValid, row.X);
    put(kYColumn, row.YValid, row.Y);
    put(kFitColumn, row.FitValid, row.YFit);
  }
  NotifyGridChanged();
}

void Series::PackPoints() {
  ReadGrid();
  // Complete rows move to the front in their order; the rest become empty rows at the end.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < Points.size(); ++i) {
    if (Points[i].XValid && Points[i].YValid) {
      if (kept != i) Points[kept] = Points[i];
      ++kept;
    }
  }
  PointCount = static_cast<std::int32_t>(kept);
  std::fill(Points.begin() + static_cast<std::ptrdiff_t>(kept), Points.end(), Tdata{});
}

void Series::SortByX(bool ascending) {
  PackPoints();
  if (PointCount < 2) return;
  const auto first = Points.begin();
  const auto last = Points.begin() + PointCount;
  // A stable sort gives exactly the order of a bubble sort that never swaps equal X; rows
  // already in order (every redraw sorts) cost one pass.
  if (ascending) {
    const auto less = [](const Tdata& a, const Tdata& b) { return a.X < b.X; };
    if (!std::is_sorted(first, last, less)) std::stable_sort(first, last, less);
  } else {
    const auto greater = [](const Tdata& a, const Tdata& b) { return a.X > b.X; };
    if (!std::is_sorted(first, last, greater)) std::stable_sort(first, last, greater);
  }
  XMin = Points.front().X;
  XMax = Points[static_cast<std::size_t>(PointCount - 1)].X;
  if (workspace_.Settings.LogX) {
    for (std::int32_t i = 0; i < PointCount; ++i) {
      XMin = Points[static_cast<std::size_t>(i)].X;
      if (XMin > 0) break;
    }
  }
  FindYExtents();
}

void Series::FindYExtents() {
  if (PointCount < 1) return;
  const bool logY = workspace_.Settings.LogY;
  YMax = Points.front().Y;
  YMin = logY ? EmptyValue : Points.front().Y;
  for (std::int32_t i = 0; i < PointCount; ++i) {
    const Real y = Points[static_cast<std::size_t>(i)].Y;
    if (logY) {
      if (y > 0 && y < YMin) YMin = y;
    } else if (y < YMin) {
      YMin = y;
    }
    if (y > YMax) YMax = y;
  }
  if (YMin > kEmptyThreshold) YMin = 0.1L;
}

void Series::ClearFit() {
  if (!FitActive) return;
  Fit.ClearStoredValues();
  FitHeader = DefaultFitHeader();
  Cells.ClearColumn(kFitColumn);
  for (Tdata& row : Points) {
    row.YFit = 0;
    row.FitValid = false;
  }
  Fit.FitKind = kFitNone;
  if (GraphType == kGraphFit || GraphType == kGraphLineFit) {
    GraphType = kGraphLine;
  } else if (GraphType == kGraphBarFit) {
    GraphType = kGraphBar;
  }
  FitActive = false;
  NotifyGridChanged();
}

void Series::NotifyGridChanged() {
  if (GridChanged) GridChanged();
}

}  // namespace tavel
