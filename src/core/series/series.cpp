#include "core/series/series.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

#include "core/platform/always_inline.h"
#include "core/series/graph_settings.h"
#include "core/series/row_keys.h"
#include "core/series/run_parts.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"

namespace tavel {

Series::Series(Workspace& workspace, std::int32_t seriesNumber, std::int32_t maxIndex,
               std::int32_t printerColor)
    : Points(MakeEmptyRows(static_cast<std::size_t>(maxIndex < 0 ? 0 : maxIndex))),
      workspace_(workspace) {
  Fit.FitSeriesNumber = seriesNumber;
  MaxIndex = maxIndex < 0 ? 0 : maxIndex;
  SeriesNumber = seriesNumber;
  PrinterColor = printerColor;
  FitHeader = DefaultFitHeader();
  Cells.ShareRows(&Points, MaxIndex);
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

RowSplit SplitRows(std::int32_t rows, bool canSplit) {
  RowSplit split;
  split.bounds[1] = rows;
  if (rows >= kSplitRows && canSplit) {
    split.parts = 2;
    split.bounds[1] = rows / 2;
    split.bounds[2] = rows;
  }
  return split;
}

// The rows of a grid that shares them, brought to what ReadGrid gives: free texts parsed into
// their rows, and every value without its flag 0.
void SettleSharedRows(Series& series) {
  std::vector<Tdata>& points = series.Points;
  series.Cells.ForEachText([&](std::int32_t row, int column, const std::string&) {
    if (row < 1 || static_cast<std::size_t>(row) > points.size()) return;
    const CellGrid::Reading reading = series.Cells.Read(row, column);
    Tdata& r = points[static_cast<std::size_t>(row - 1)];
    (column == kXColumn ? r.X : column == kYColumn ? r.Y : r.YFit) = reading.value;
    (column == kXColumn ? r.XValid : column == kYColumn ? r.YValid : r.FitValid) = reading.valid;
  });
}

// Writes only what is not zero already: every redraw settles every row, and a store to each
// would dirty the whole series. Inline, so the sweeps around it keep their values in registers.
TAVEL_INLINE void ClearUnflagged(Tdata& r) {
  if (!r.XValid && !r.X.IsPositiveZero()) r.X = 0;
  if (!r.YValid && !r.Y.IsPositiveZero()) r.Y = 0;
  if (!r.FitValid && !r.YFit.IsPositiveZero()) r.YFit = 0;
}

}  // namespace

void Series::ReadGrid() {
  Points.resize(static_cast<std::size_t>(MaxIndex));
  if (Cells.SharesRows()) {
    SettleSharedRows(*this);
    Tdata* points = Points.data();
    const RowSplit split = SplitRows(MaxIndex, true);
    RunParts(split.parts, [&](int k) {
      for (std::int32_t i = split.bounds[k]; i < split.bounds[k + 1]; ++i)
        ClearUnflagged(points[i]);
    });
    // The caller may now change the rows as it likes; the grid must not change with them.
    Cells.KeepOwnCopy();
    return;
  }
  const RowSplit split = SplitRows(MaxIndex, !Cells.HasTexts());
  RunParts(split.parts, [&](int k) {
    for (std::int32_t i = split.bounds[k]; i < split.bounds[k + 1]; ++i) {
      Tdata& row = Points[static_cast<std::size_t>(i)];
      Cells.ReadRow(i + 1, {&row.X, &row.Y, &row.YFit}, {&row.XValid, &row.YValid, &row.FitValid});
    }
  });
}

void Series::FillGrid() {
  // The rows become the grid as they are: the grid keeps its numbers in them again.
  if (Points.size() < static_cast<std::size_t>(MaxIndex)) {
    Points.resize(static_cast<std::size_t>(MaxIndex));
  }
  Cells.ClearTexts();
  Cells.DropOwnCopy();
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
  // The complete rows are all in front and every other row is empty: packing moves nothing.
  bool packed = true;
  bool anyIncomplete = false;
  Real firstX = 0;
  Real lastX = 0;
  Real firstY = 0;
  Real min = 0;
  Real max = 0;
};

// Takes the rows of one part into its order and extents. The order and the axis are fixed for
// the sweep, and its state stays in registers: with the tests and the five extended values of a
// row all live, a general loop spills them to memory at every row.
template <RowOrder kOrder, bool kLogY>
class PartSweep {
 public:
  explicit PartSweep(PackedPart* out) : out_(out) {}

  void Complete(Real x, Real y) {
    if (kLogY) {
      if (y > 0 && y < min_) min_ = y;
    } else if (y < min_) {
      min_ = y;
    }
    if (y > max_) max_ = y;
    if (kept_ == 0) {
      out_->firstX = x;
      out_->firstY = y;
    } else if (kOrder != RowOrder::None &&
               (kOrder == RowOrder::Ascending ? x < previous_ : x > previous_)) {
      inOrder_ = false;
    }
    previous_ = x;
    ++kept_;
    packed_ = packed_ && !anyIncomplete_;
  }

  void Incomplete(const Tdata& row) {
    anyIncomplete_ = true;
    if (row.XValid || row.YValid || row.FitValid) packed_ = false;
  }

  std::size_t Kept() const { return kept_; }

  void Finish() {
    out_->kept = kept_;
    out_->inOrder = inOrder_;
    out_->packed = packed_;
    out_->anyIncomplete = anyIncomplete_;
    out_->lastX = previous_;
    out_->min = min_;
    out_->max = max_;
  }

 private:
  PackedPart* out_;
  std::size_t kept_ = 0;
  bool inOrder_ = true;
  bool packed_ = true;
  bool anyIncomplete_ = false;
  Real previous_ = 0;
  Real min_ = kLogY ? EmptyValue : std::numeric_limits<Real>::infinity();
  Real max_ = -std::numeric_limits<Real>::infinity();
};

// Runs body(sweep) with the sweep of this order and axis, and finishes it.
template <typename Body>
void Sweep(RowOrder order, bool logY, PackedPart* out, const Body& body) {
  const auto run = [&](auto sweep) {
    body(sweep);
    sweep.Finish();
  };
  switch (order) {
    case RowOrder::None:
      return logY ? run(PartSweep<RowOrder::None, true>(out))
                  : run(PartSweep<RowOrder::None, false>(out));
    case RowOrder::Ascending:
      return logY ? run(PartSweep<RowOrder::Ascending, true>(out))
                  : run(PartSweep<RowOrder::Ascending, false>(out));
    case RowOrder::Descending:
      return logY ? run(PartSweep<RowOrder::Descending, true>(out))
                  : run(PartSweep<RowOrder::Descending, false>(out));
  }
}

void PackPart(const CellGrid& cells, Tdata* points, std::int32_t first, std::int32_t last,
              RowOrder order, bool logY, PackedPart* out) {
  Tdata* packed = points + first;
  Sweep(order, logY, out, [&](auto& sweep) {
    for (std::int32_t i = first; i < last; ++i) {
      Tdata& row = packed[sweep.Kept()];
      cells.ReadRow(i + 1, {&row.X, &row.Y, &row.YFit}, {&row.XValid, &row.YValid, &row.FitValid});
      if (row.XValid && row.YValid) {
        sweep.Complete(row.X, row.Y);
      } else {
        sweep.Incomplete(row);
      }
    }
  });
}

// The same over rows the grid shares, which must not move: it only finds out whether they are
// packed already, settling each row's unflagged values on the way.
void SweepSharedPart(Tdata* points, std::int32_t first, std::int32_t last, RowOrder order,
                     bool logY, PackedPart* out) {
  Sweep(order, logY, out, [&](auto& sweep) {
    for (std::int32_t i = first; i < last; ++i) {
      Tdata& row = points[i];
      ClearUnflagged(row);
      if (row.XValid && row.YValid) {
        sweep.Complete(row.X, row.Y);
      } else {
        sweep.Incomplete(row);
      }
    }
  });
}

struct JoinedParts {
  std::size_t kept = 0;
  bool inOrder = true;
  bool packed = true;
};

// Joins the parts in order: the packed rows move up behind the previous part's (unless they
// stand there already, or `move` is false for rows that must stay) and the extents and order
// combine as one sweep would have found them.
JoinedParts JoinParts(Tdata* points, const RowSplit& split, const PackedPart (&parts)[2],
                      RowOrder order, YExtents* extents, bool move) {
  JoinedParts joined;
  const bool logY = extents != nullptr && extents->logY;
  Real lastX = 0;
  bool incompleteBefore = false;
  for (int k = 0; k < split.parts; ++k) {
    const PackedPart& part = parts[k];
    if (!part.packed || (incompleteBefore && part.kept > 0)) joined.packed = false;
    incompleteBefore = incompleteBefore || part.anyIncomplete;
    if (part.kept == 0) continue;
    const auto from = static_cast<std::size_t>(split.bounds[k]);
    if (move && from != joined.kept)
      std::copy(points + from, points + from + part.kept, points + joined.kept);
    if (!part.inOrder) joined.inOrder = false;
    if (joined.kept > 0 && order != RowOrder::None &&
        (order == RowOrder::Ascending ? part.firstX < lastX : part.firstX > lastX)) {
      joined.inOrder = false;
    }
    if (extents != nullptr) {
      if (joined.kept == 0) {
        extents->max = part.firstY;
        extents->min = logY ? EmptyValue : part.firstY;
      }
      if (part.max > extents->max) extents->max = part.max;
      if (part.min < extents->min) extents->min = part.min;
    }
    lastX = part.lastX;
    joined.kept += part.kept;
  }
  return joined;
}

// PackPoints, and the first step of SortByX. Rows that are packed and in the wanted order
// already stay where they are, and the grid keeps sharing them; otherwise the grid takes its
// own copy first, since the rows are about to differ from it.
bool PackRows(Series& series, RowOrder order, YExtents* extents = nullptr) {
  series.Points.resize(static_cast<std::size_t>(series.MaxIndex));
  Tdata* points = series.Points.data();
  const bool logY = extents != nullptr && extents->logY;
  CellGrid& cells = series.Cells;
  PackedPart parts[2];
  if (cells.SharesRows()) {
    SettleSharedRows(series);
    const RowSplit split = SplitRows(series.MaxIndex, true);
    RunParts(split.parts, [&](int k) {
      SweepSharedPart(points, split.bounds[k], split.bounds[k + 1], order, logY, &parts[k]);
    });
    YExtents found;
    found.logY = logY;
    const JoinedParts joined = JoinParts(points, split, parts, order, &found, false);
    series.PointCount = static_cast<std::int32_t>(joined.kept);
    if (extents != nullptr) *extents = found;
    if (joined.packed && (order == RowOrder::None || joined.inOrder)) return joined.inOrder;
    // The rows are about to differ from the grid. They hold its values already, settled, so
    // packing them is moving the complete ones up, and the sweep's findings stand.
    cells.KeepOwnCopy();
    if (!joined.packed) {
      std::size_t kept[2] = {0, 0};
      RunParts(split.parts, [&](int k) {
        Tdata* to = points + split.bounds[k];
        for (std::int32_t i = split.bounds[k]; i < split.bounds[k + 1]; ++i) {
          if (!(points[i].XValid && points[i].YValid)) continue;
          if (to != points + i) *to = points[i];
          ++to;
        }
        kept[k] = static_cast<std::size_t>(to - (points + split.bounds[k]));
      });
      if (split.parts == 2 && kept[1] > 0) {
        const Tdata* from = points + split.bounds[1];
        std::copy(from, from + kept[1], points + kept[0]);
      }
      std::fill(series.Points.begin() + static_cast<std::ptrdiff_t>(joined.kept),
                series.Points.end(), Tdata{});
    }
    return joined.inOrder;
  }

  const RowSplit split = SplitRows(series.MaxIndex, !cells.HasTexts());
  RunParts(split.parts, [&](int k) {
    PackPart(cells, points, split.bounds[k], split.bounds[k + 1], order, logY, &parts[k]);
  });
  const JoinedParts joined = JoinParts(points, split, parts, order, extents, true);
  series.PointCount = static_cast<std::int32_t>(joined.kept);
  std::fill(series.Points.begin() + static_cast<std::ptrdiff_t>(joined.kept), series.Points.end(),
            Tdata{});
  // Rows that came out exactly as the grid shows them are the grid's cells again.
  if (joined.packed && (order == RowOrder::None || joined.inOrder)) cells.DropOwnCopy();
  return joined.inOrder;
}

}  // namespace

void Series::PackPoints() {
  // Complete rows move to the front in their order; the rest become empty rows at the end.
  PackRows(*this, RowOrder::None);
}

namespace {

// Rows 0..count-1 in a stable order by X: their keys are sorted and each row moved once,
// where sorting the rows themselves would move 64 bytes a row at every merge step.
void SortRowsByX(std::vector<Tdata>& points, std::int32_t count, bool ascending) {
  std::vector<RowKey> keys;
  keys.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    keys.push_back(MakeKey(points[static_cast<std::size_t>(i)].X, i, !ascending));
  }
  SortKeys(keys);
  // The reads go in random order, so two halves run at once.
  std::vector<Tdata> sorted = MakeEmptyRows(keys.size());
  const RowSplit split = SplitRows(count, true);
  RunParts(split.parts, [&](int part) {
    for (std::int32_t j = split.bounds[part]; j < split.bounds[part + 1]; ++j) {
      sorted[static_cast<std::size_t>(j)] =
          points[static_cast<std::size_t>(keys[static_cast<std::size_t>(j)].index)];
    }
  });
  std::copy(sorted.begin(), sorted.end(), points.begin());
}

}  // namespace

void Series::SortByX(bool ascending) {
  YExtents extents;
  extents.logY = workspace_.Settings.LogY;
  const bool inOrder =
      PackRows(*this, ascending ? RowOrder::Ascending : RowOrder::Descending, &extents);
  if (PointCount < 2) return;
  // A stable sort gives exactly the order of a bubble sort that never swaps equal X; rows
  // already in order (every redraw sorts) cost no more than reading them.
  if (!inOrder) SortRowsByX(Points, PointCount, ascending);
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

void Series::KeepIncompleteRows() {
  // Rows the grid still shares were found packed: no row of them is incomplete.
  if (Cells.SharesRows()) return;
  auto to = static_cast<std::size_t>(PointCount);
  for (std::int32_t row = 1; row <= MaxIndex && to < Points.size(); ++row) {
    Tdata r;
    Cells.ReadRow(row, {&r.X, &r.Y, &r.YFit}, {&r.XValid, &r.YValid, &r.FitValid});
    if (r.XValid != r.YValid) Points[to++] = r;
  }
}

void Series::FindYExtents() {
  if (PointCount < 1) return;
  const bool logY = workspace_.Settings.LogY;
  YMax = Points.front().Y;
  YMin = logY ? EmptyValue : Real{Points.front().Y};
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
  // While the grid shares the rows, emptying the rows' fitted values empties the Fit cells too,
  // without the grid taking a copy of a million cells first.
  bool fitTexts = false;
  Cells.ForEachText([&](std::int32_t, int column, const std::string&) {
    if (column == kFitColumn) fitTexts = true;
  });
  if (!Cells.SharesRows() || fitTexts) Cells.ClearColumn(kFitColumn);
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
