#include "core/series/series.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "core/series/graph_settings.h"
#include "core/series/run_parts.h"
#include "core/series/series_options.h"
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
    Cells.ReadRow(i + 1, {&row.X, &row.Y, &row.YFit}, {&row.XValid, &row.YValid, &row.FitValid});
  }
}

namespace {

// A large grid without free texts is read and written in two halves, one on a helper thread:
// each row stands alone then, and the halves depend on the row count alone, so the outcome is
// the same whether the helper runs or not (it runs the second half after the first when no
// thread can be had).
constexpr std::int32_t kSplitRows = 1 << 15;

struct RowSplit {
  int parts = 1;
  std::int32_t bounds[3] = {};  // part k covers the rows [bounds[k], bounds[k + 1]) of Points
};

RowSplit SplitRows(const Series& series) {
  RowSplit split;
  split.bounds[1] = series.MaxIndex;
  if (series.MaxIndex >= kSplitRows && !series.Cells.HasTexts()) {
    split.parts = 2;
    split.bounds[1] = series.MaxIndex / 2;
    split.bounds[2] = series.MaxIndex;
  }
  return split;
}

}  // namespace

void Series::FillGrid() {
  const RowSplit split = SplitRows(*this);
  RunParts(split.parts, [&](int k) {
    for (std::int32_t i = split.bounds[k]; i < split.bounds[k + 1]; ++i) {
      const Tdata& row = Points[static_cast<std::size_t>(i)];
      Cells.WriteRow(i + 1, {&row.X, &row.Y, &row.YFit}, {row.XValid, row.YValid, row.FitValid});
    }
  });
  NotifyGridChanged();
}

namespace {

// ReadGrid and the packing of PackPoints in one sweep over the rows: each row is read straight
// into its packed place. Whether the complete rows already stand in the wanted order is noted
// on the way, so a redraw of sorted data never walks the rows a second time.
enum class RowOrder { None, Ascending, Descending };

// The Y extents as FindYExtents takes them, gathered in the same sweep.
struct YExtents {
  bool logY = false;
  Real min = 0;
  Real max = 0;
};

// One part of the sweep. Its rows are packed to the front of its own stretch of Points; the
// extents start from values every Y passes (a NaN none), so that joining the parts in order,
// from the first kept Y as FindYExtents starts, gives FindYExtents' own result.
struct PackedPart {
  std::size_t kept = 0;
  bool inOrder = true;
  Real firstX = 0;
  Real lastX = 0;
  Real firstY = 0;
  Real min = 0;
  Real max = 0;
};

void PackPart(const CellGrid& cells, Tdata* points, std::int32_t first, std::int32_t last,
              RowOrder order, bool logY, PackedPart* out) {
  Tdata* packed = points + first;
  std::size_t kept = 0;
  bool inOrder = true;
  Real previous = 0;
  Real min = logY ? EmptyValue : std::numeric_limits<Real>::infinity();
  Real max = -std::numeric_limits<Real>::infinity();
  for (std::int32_t i = first; i < last; ++i) {
    Tdata& row = packed[kept];
    cells.ReadRow(i + 1, {&row.X, &row.Y, &row.YFit}, {&row.XValid, &row.YValid, &row.FitValid});
    if (!(row.XValid && row.YValid)) continue;
    const Real x = row.X;
    const Real y = row.Y;
    if (logY) {
      if (y > 0 && y < min) min = y;
    } else if (y < min) {
      min = y;
    }
    if (y > max) max = y;
    if (kept == 0) {
      out->firstX = x;
      out->firstY = y;
    } else if (order != RowOrder::None &&
               (order == RowOrder::Ascending ? x < previous : x > previous)) {
      inOrder = false;
    }
    previous = x;
    ++kept;
  }
  out->kept = kept;
  out->inOrder = inOrder;
  out->lastX = previous;
  out->min = min;
  out->max = max;
}

bool PackRows(Series& series, RowOrder order, YExtents* extents = nullptr) {
  series.Points.resize(static_cast<std::size_t>(series.MaxIndex));
  Tdata* points = series.Points.data();
  const bool logY = extents != nullptr && extents->logY;
  const RowSplit split = SplitRows(series);
  PackedPart parts[2];
  RunParts(split.parts, [&](int k) {
    PackPart(series.Cells, points, split.bounds[k], split.bounds[k + 1], order, logY, &parts[k]);
  });

  std::size_t kept = 0;
  bool inOrder = true;
  Real lastX = 0;
  for (int k = 0; k < split.parts; ++k) {
    const PackedPart& part = parts[k];
    if (part.kept == 0) continue;
    const auto from = static_cast<std::size_t>(split.bounds[k]);
    if (from != kept) std::copy(points + from, points + from + part.kept, points + kept);
    if (!part.inOrder) inOrder = false;
    if (kept > 0 && order != RowOrder::None &&
        (order == RowOrder::Ascending ? part.firstX < lastX : part.firstX > lastX)) {
      inOrder = false;
    }
    if (extents != nullptr) {
      if (kept == 0) {
        extents->max = part.firstY;
        extents->min = logY ? EmptyValue : part.firstY;
      }
      if (part.max > extents->max) extents->max = part.max;
      if (part.min < extents->min) extents->min = part.min;
    }
    lastX = part.lastX;
    kept += part.kept;
  }
  series.PointCount = static_cast<std::int32_t>(kept);
  std::fill(series.Points.begin() + static_cast<std::ptrdiff_t>(kept), series.Points.end(),
            Tdata{});
  return inOrder;
}

}  // namespace

void Series::PackPoints() {
  // Complete rows move to the front in their order; the rest become empty rows at the end.
  PackRows(*this, RowOrder::None);
}

void Series::SortByX(bool ascending) {
  YExtents extents;
  extents.logY = workspace_.Settings.LogY;
  const bool inOrder =
      PackRows(*this, ascending ? RowOrder::Ascending : RowOrder::Descending, &extents);
  if (PointCount < 2) return;
  const auto first = Points.begin();
  const auto last = Points.begin() + PointCount;
  // A stable sort gives exactly the order of a bubble sort that never swaps equal X; rows
  // already in order (every redraw sorts) cost no more than reading them.
  if (!inOrder) {
    if (ascending) {
      std::stable_sort(first, last, [](const Tdata& a, const Tdata& b) { return a.X < b.X; });
    } else {
      std::stable_sort(first, last, [](const Tdata& a, const Tdata& b) { return a.X > b.X; });
    }
  }
  XMin = Points.front().X;
  XMax = Points[static_cast<std::size_t>(PointCount - 1)].X;
  if (workspace_.Settings.LogX) {
    for (std::int32_t i = 0; i < PointCount; ++i) {
      XMin = Points[static_cast<std::size_t>(i)].X;
      if (XMin > 0) break;
    }
  }
  if (!inOrder) {
    FindYExtents();
    return;
  }
  // The sweep met the points in this very order, so its extents are FindYExtents' own.
  YMax = extents.max;
  YMin = extents.min > kEmptyThreshold ? 0.1L : extents.min;
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
  GraphType = GraphTypeWithoutFit(GraphType);
  FitActive = false;
  NotifyGridChanged();
}

void Series::NotifyGridChanged() {
  if (GridChanged) GridChanged();
}

}  // namespace tavel
