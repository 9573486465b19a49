#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "core/fit/fit_engine.h"
#include "core/graph/draw_pass.h"
#include "core/series/run_parts.h"
#include "core/series/series.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"

namespace tavel {
namespace {

bool HasBars(std::int32_t type) {
  return type == kGraphBar || type == kGraphLineBar || type == kGraphBarFit;
}
bool HasLine(std::int32_t type) {
  return type == kGraphLine || type == kGraphLineBar || type == kGraphLineFit;
}

// The fitted curve, sampled once per pixel column and clipped to the plot: where it leaves
// the plot the trace runs to the edge it crossed and resumes from the edge it comes back
// through; a curve that passes from below to above (or back) between two samples outside the
// plot shows as one vertical stroke through the plot.
void FitCurveTrace(DrawPass& pass, Series& series, const AxisMap& columns, const AxisMap& rows) {
  const PlotLayout& L = pass.layout;
  if (L.PlotWidth <= 0) return;
  Canvas& canvas = pass.canvas;
  const std::int32_t top = L.Top();
  const std::int32_t bottom = L.PlotBottom;
  bool outside = true, above = false, below = false;
  TFitObj fit(series);
  const std::int32_t last = pass.Printer() ? L.Right() : Px(std::int64_t{L.Right()} + 1);
  for (std::int32_t c = L.PlotLeft; c <= last; ++c) {
    // Any floating-point failure abandons this column only.
    Real x = static_cast<Real>(c - L.PlotLeft) * columns.Span / L.PlotWidth + columns.Origin;
    if (columns.Log) x = std::exp(x);
    if (!std::isfinite(x)) continue;
    Real y = fit.YFIT(x);
    if (!series.Fit.FitValueOk || !std::isfinite(y)) continue;
    if (rows.Log) y = y > 0 ? std::log(y) : rows.Origin - 1;
    const std::int64_t r = RowOfUnits(L, rows, y);
    if (r == std::numeric_limits<std::int64_t>::min()) continue;
    if (r >= top && r <= bottom) {
      const CanvasPoint here{c, static_cast<std::int32_t>(r)};
      if (outside) {
        canvas.MoveTo(below ? CanvasPoint{c, bottom} : above ? CanvasPoint{c, top} : here);
        canvas.LineTo(here);
        outside = above = below = false;
      } else {
        canvas.LineTo(here);
      }
    } else {
      const bool isBelow = r > bottom;
      if (!outside) canvas.LineTo({c, isBelow ? bottom : top});
      if (isBelow) {
        below = true;
      } else {
        above = true;
      }
      if (above && below) {
        above = !isBelow;
        below = isBelow;
        canvas.MoveTo({c, bottom});
        canvas.LineTo({c, top});
      }
      outside = true;
    }
  }
}

// The points of a series one pixel column at a time, for a canvas that paints whole pixels, with
// the very pixels the point-by-point drawing leaves. Sorted by X, the points of a column come
// one after the other; drawn point by point, each gets its marker, then its bar and the line
// to it. A marker's pixels are all drawn again by the last marker on the same spot, so only
// that one is stamped. Between two stamps everything drawn is in the series' colour, so the
// bars there are one bar to the highest point, the line inside the column one vertical stroke
// from the lowest to the highest point, and the line into the column runs from the last point
// of the column before to the first of this one.
class ColumnRuns {
 public:
  ColumnRuns(DrawPass& pass, Rgb color, int shape, bool markers, bool bars, bool line)
      : pass_(pass),
        canvas_(pass.canvas),
        color_(color),
        shape_(shape),
        markerSize_(pass.MarkerSize()),
        markers_(markers),
        bars_(bars),
        line_(line),
        top_(pass.layout.Top()),
        lastAt_(markers ? static_cast<std::size_t>(pass.layout.PlotHeight) + 1 : 0) {}

  // The last column's points, and what waits to be painted.
  void Finish() {
    Flush();
    PaintPendingBefore(std::numeric_limits<std::int64_t>::max());
  }

  void Add(CanvasPoint at) {
    if (at.x != x_) {
      Flush();
      x_ = at.x;
    }
    rows_.push_back(at.y);
  }

  void Flush() {
    if (rows_.empty()) return;
    if (markers_ && !bars_ && !triedUnion_) {
      // Without bars the brush stays as it is for the whole series, so one answer holds.
      triedUnion_ = true;
      union_ = canvas_.MarkerColumnSpans(shape_, markerSize_, spans_);
      if (union_) seen_.assign(lastAt_.size(), 0);
      for (const Canvas::MarkerSpan& span : spans_) reach_ = std::max(reach_, std::abs(span.dx));
    }
    if (union_) {
      FlushUnion();
      return;
    }
    const auto count = static_cast<std::int32_t>(rows_.size());
    // Where each row of the column is marked for the last time.
    if (markers_) {
      for (std::int32_t k = 0; k < count; ++k) lastAt_[Slot(rows_[k])] = k;
    }
    for (std::int32_t k = 0; k < count; ++k) {
      const std::int32_t y = rows_[k];
      if (markers_ && lastAt_[Slot(y)] == k) {
        DrawPiece();
        canvas_.Marker(shape_, {x_, y}, markerSize_);
      }
      if (bars_) barTop_ = std::min(barTop_, y);
      TakeLine(static_cast<std::size_t>(k));
    }
    DrawPiece();
    previous_ = {x_, rows_.back()};
    rows_.clear();
  }

 private:
  static constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();

  std::size_t Slot(std::int32_t row) const { return static_cast<std::size_t>(row - top_); }

  // The line to the column's point k: the join into the column at its first point, then the
  // stroke inside it.
  void TakeLine(std::size_t k) {
    if (!line_) return;
    const std::int32_t y = rows_[k];
    if (k == 0) {
      join_ = started_;
      started_ = true;
    } else if (y != rows_[k - 1]) {
      strokeTop_ = std::min({strokeTop_, y, rows_[k - 1]});
      strokeBottom_ = std::max({strokeBottom_, y, rows_[k - 1]});
    }
  }

  // What was drawn in the series' colour since the last stamp.
  void DrawPiece() {
    const PlotLayout& L = pass_.layout;
    if (barTop_ != kNone) {
      canvas_.SetBrush(color_);
      const std::int64_t half = L.BarHalfWidth;
      const std::int64_t left = x_ == L.PlotLeft ? x_ : x_ - half;
      const std::int64_t right = x_ == L.Right() ? x_ : x_ + half;
      canvas_.Rectangle({Px(left), barTop_}, {Px(right), L.PlotBottom});
      canvas_.SetBrush(pass_.background);
      barTop_ = kNone;
    }
    if (join_) {
      canvas_.Line(previous_, {x_, rows_.front()});
      join_ = false;
    }
    if (strokeTop_ != kNone) {
      canvas_.VerticalLine(x_, strokeTop_, strokeBottom_);
      strokeTop_ = kNone;
      strokeBottom_ = std::numeric_limits<std::int32_t>::min();
    }
  }

  // Markers all in the series' colour, with lines of that colour and no bars: the order of
  // drawing makes no difference to any pixel, so the column's markers are painted as the union
  // they leave, each run of neighbouring rows once per column of the marker.
  void FlushUnion() {
    ++generation_;
    std::int32_t low = std::numeric_limits<std::int32_t>::max();
    std::int32_t high = std::numeric_limits<std::int32_t>::min();
    for (std::size_t k = 0; k < rows_.size(); ++k) {
      const std::int32_t y = rows_[k];
      seen_[Slot(y)] = generation_;
      low = std::min(low, y);
      high = std::max(high, y);
      TakeLine(k);
    }
    DrawPiece();
    // Painting every run of every column straight away would write most pixels many times
    // over, a row apart in memory: the runs wait per pixel column until no later column can
    // add to them, and are painted merged.
    PaintPendingBefore(x_ - reach_);
    for (std::int32_t y = low; y <= high;) {
      if (seen_[Slot(y)] != generation_) {
        ++y;
        continue;
      }
      const std::int32_t first = y;
      while (y <= high && seen_[Slot(y)] == generation_) ++y;
      for (const Canvas::MarkerSpan& span : spans_) {
        Pending(x_ + span.dx).push_back({first + span.top, y - 1 + span.bottom});
      }
    }
    previous_ = {x_, rows_.back()};
    rows_.clear();
  }

  struct Run {
    std::int32_t top, bottom;
  };

  std::vector<Run>& Pending(std::int32_t x) {
    if (pending_.empty()) pendingFrom_ = x;
    if (x < pendingFrom_) {
      pending_.insert(pending_.begin(), static_cast<std::size_t>(pendingFrom_ - x), {});
      pendingFrom_ = x;
    }
    const auto at = static_cast<std::size_t>(x - pendingFrom_);
    if (at >= pending_.size()) pending_.resize(at + 1);
    return pending_[at];
  }

  // Paints the waiting runs of the pixel columns left of x.
  void PaintPendingBefore(std::int64_t x) {
    std::size_t done = 0;
    for (; done < pending_.size() && pendingFrom_ + static_cast<std::int64_t>(done) < x; ++done) {
      std::vector<Run>& runs = pending_[done];
      std::sort(runs.begin(), runs.end(), [](Run a, Run b) { return a.top < b.top; });
      const auto column = static_cast<std::int32_t>(pendingFrom_ + static_cast<std::int64_t>(done));
      for (std::size_t i = 0; i < runs.size();) {
        Run merged = runs[i];
        for (++i; i < runs.size() && runs[i].top <= merged.bottom + 1; ++i) {
          merged.bottom = std::max(merged.bottom, runs[i].bottom);
        }
        canvas_.PaintColumn(column, merged.top, merged.bottom);
      }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(done));
    pendingFrom_ += static_cast<std::int64_t>(done);
  }

  DrawPass& pass_;
  Canvas& canvas_;
  const Rgb color_;
  const int shape_, markerSize_;
  const bool markers_, bars_, line_;
  const std::int32_t top_;
  std::vector<std::int32_t> lastAt_;
  bool triedUnion_ = false, union_ = false;
  std::vector<Canvas::MarkerSpan> spans_;
  // The rows marked in the current column: those holding its generation.
  std::vector<std::uint32_t> seen_;
  std::uint32_t generation_ = 0;
  // The runs waiting for the pixel columns from pendingFrom_ on; a marker reaches reach_
  // columns to either side.
  std::vector<std::vector<Run>> pending_;
  std::int64_t pendingFrom_ = 0;
  std::int32_t reach_ = 0;
  // The rows of the column's points in order.
  std::vector<std::int32_t> rows_;
  std::int32_t x_ = std::numeric_limits<std::int32_t>::min();
  CanvasPoint previous_;
  bool started_ = false, join_ = false;
  std::int32_t barTop_ = kNone;
  std::int32_t strokeTop_ = kNone, strokeBottom_ = std::numeric_limits<std::int32_t>::min();
};

}  // namespace

PixelMap::PixelMap(const PlotLayout& layout, const AxisMap& map, bool columns)
    : layout_(layout),
      map_(map),
      columns_(columns),
      extent_(static_cast<Real>(columns ? layout.PlotWidth : layout.PlotHeight)),
      inverse_(1 / map.Span),
      origin_(static_cast<double>(map.Origin)),
      scale_(static_cast<double>(extent_ * inverse_)),
      base_(columns ? layout.PlotLeft : layout.PlotBottom) {}

bool PixelMap::MapExactly(Real value, std::int64_t& pixel) const {
  if (!std::isfinite(value) || (map_.Log && !(value > 0))) return false;
  const Real units = map_.Log ? std::log(value) : value;
  // The division gives f = extent * (units - Origin) / Span; g below is within 2^-62 of f
  // relative, so where g lies at least 2^-20 from every whole number (and |g| < 2^40) f lies
  // between the same two whole numbers and truncates alike.
  const Real g = extent_ * (units - map_.Origin) * inverse_;
  if (std::fabs(g) < 0x1p40L) {
    // Adding 1.5 * 2^63 rounds to a whole number and leaves it in the low mantissa bits.
    constexpr Real kBias = 0x1.8p63L;
    const Real biased = g + kBias;
    const Real fraction = g - (biased - kBias);
    if (std::fabs(fraction) >= 0x1p-20L) {
      std::uint64_t bits = 0;
      std::memcpy(&bits, &biased, sizeof bits);
      const auto nearest = static_cast<std::int64_t>(bits - 0xC000000000000000ull);
      const std::int64_t offset =
          g > 0 ? (fraction > 0 ? nearest : nearest - 1) : (fraction < 0 ? nearest : nearest + 1);
      pixel = columns_ ? offset + layout_.PlotLeft : layout_.PlotBottom - offset;
      return true;
    }
  }
  return columns_ ? MapColumn(layout_, map_, value, pixel) : MapRow(layout_, map_, value, pixel);
}

Rgb SeriesPenColor(const DrawPass& pass, const Series& series) {
  if (!pass.PaperColours()) return SeriesColor(series.SeriesNumber);
  return PrintSeriesColor(series.PrinterColor == kPrinterDefault ? series.SeriesNumber
                                                                 : series.PrinterColor);
}

AxisMap ExtentMap(bool logarithmic, Real max, Real min) {
  AxisMap map = RangeUnits(logarithmic, max, min);
  if (!std::isfinite(map.Origin) || !std::isfinite(map.Span)) map = AxisMap{};
  return map;
}

void DrawSeries(DrawPass& pass, Series& series) {
  const GraphSettings& s = pass.settings;
  const PlotLayout& L = pass.layout;
  Canvas& canvas = pass.canvas;

  const Rgb color = SeriesPenColor(pass, series);
  const int penWidth = L.CanvasWidth < 701 ? 1 : 2;
  canvas.SetPen(color, penWidth, PenStyle::Solid);
  canvas.SetFontColor(color);

  if (!series.SeriesTitle.empty()) DrawLegendEntry(pass, series, pass.legendEntries++);

  series.SortByX(true);

  // A series is drawn against its own extents on an axis in per-series mode; the Y flag is the
  // one of the series' own axis.
  const bool perSeriesY = series.LeftAxis ? s.MultiScaleYL : s.MultiScaleYR;
  const AxisMap columns = s.MultiScaleX ? ExtentMap(s.LogX, series.XMax, series.XMin) : pass.xMap;
  const AxisMap rows = perSeriesY ? ExtentMap(s.LogY, series.YMax, series.YMin)
                                  : (series.LeftAxis ? pass.ylMap : pass.yrMap);

  if (s.MultiScaleX && series.XMax == series.XMin) return;
  if (perSeriesY && series.YMax == series.YMin) return;
  if (series.GraphType == kGraphNone && !series.ShowPoints) return;

  if (GraphTypeDrawsFit(series.GraphType)) FitCurveTrace(pass, series, columns, rows);

  const bool bars = HasBars(series.GraphType);
  const bool line = HasLine(series.GraphType);
  const bool markers = series.ShowPoints;
  const int shape = (series.SeriesNumber == 2 && pass.MonochromePrinter()) ? kPentagonMarker
                                                                           : series.SeriesNumber;
  const int markerSize = pass.MarkerSize();
  const std::int32_t top = L.Top(), bottom = L.PlotBottom;
  const std::int32_t left = L.PlotLeft, right = L.Right();
  const bool logX = s.LogX, logY = s.LogY;
  // Where a point lands, or false when it is not drawn: off a logarithmic axis, unmappable, or
  // outside the plot (the line then passes over it). First the column a value lands on, the one
  // beside the plot for any off its sides, or kNotDrawn.x; then the point in the column.
  const PixelMap columnOf(L, columns, true), rowOf(L, rows, false);
  constexpr CanvasPoint kNotDrawn{std::numeric_limits<std::int32_t>::min(), 0};
  const auto columnKey = [=, &columnOf](Real x) {
    std::int64_t c;
    if ((logX && x <= 0) || !columnOf.Map(x, c)) return std::int64_t{kNotDrawn.x};
    return std::clamp<std::int64_t>(c, std::int64_t{left} - 1, std::int64_t{right} + 1);
  };
  // The point comes back by value: written through a reference half by half and read back
  // whole, it would wait at every point for its two stores.
  const auto placeIn = [=, &rowOf](std::int64_t c, const Tdata& point) {
    std::int64_t r;
    if (c < left || c > right || (logY && point.Y <= 0) || !rowOf.Map(point.Y, r)) {
      return kNotDrawn;
    }
    if (r < top || r > bottom) return kNotDrawn;
    return CanvasPoint{static_cast<std::int32_t>(c), static_cast<std::int32_t>(r)};
  };
  // Sorted by X, the points of a column follow each other: the end of a column is found by a
  // galloping search, and a point before it lies in the column when its X lies between the
  // column's first and last one (a value that is not a number lies nowhere, and is placed alone).
  const auto placeByColumns = [&](const Tdata* block, std::int32_t first, std::int32_t last,
                                  CanvasPoint* out) {
    for (std::int32_t i = first; i < last;) {
      const std::int64_t c = columnKey(block[i].X);
      std::int32_t inside = i, outside = i + 1;
      if (c != kNotDrawn.x) {
        outside = last;
        for (std::int32_t step = 1; step < last - inside; step *= 2) {
          if (columnKey(block[inside + step].X) != c) {
            outside = inside + step;
            break;
          }
          inside += step;
        }
        while (outside - inside > 1) {
          const std::int32_t middle = inside + (outside - inside) / 2;
          (columnKey(block[middle].X) == c ? inside : outside) = middle;
        }
      }
      const Real low = block[i].X, high = block[inside].X;
      for (; i < outside; ++i) {
        const Real x = block[i].X;
        out[i] = placeIn(x >= low && x <= high ? c : columnKey(x), block[i]);
      }
    }
  };

  // The mapping of each point stands alone, so a large series is mapped a block at a time in two
  // halves at once; the drawing then follows in order.
  constexpr std::int32_t kBlock = 1 << 16;
  std::vector<CanvasPoint> placed(
      static_cast<std::size_t>(std::min<std::int32_t>(series.PointCount, kBlock)));
  const Tdata* points = series.Points.data();
  std::optional<ColumnRuns> runs;
  if (canvas.PaintsWholePixels()) runs.emplace(pass, color, shape, markers, bars, line);
  bool firstLine = true;
  CanvasPoint previous;
  for (std::int32_t from = 0; from < series.PointCount; from += kBlock) {
    const std::int32_t count = std::min(kBlock, series.PointCount - from);
    const int parts = count >= kBlock / 2 ? 2 : 1;
    RunParts(parts, [&](int k) {
      const std::int32_t first = k == 0 ? 0 : count / 2;
      const std::int32_t last = k == 0 && parts == 2 ? count / 2 : count;
      const Tdata* block = points + from;
      CanvasPoint* out = placed.data();
      if (runs) {
        placeByColumns(block, first, last, out);
        return;
      }
      for (std::int32_t i = first; i < last; ++i) out[i] = placeIn(columnKey(block[i].X), block[i]);
    });
    if (runs) {
      for (std::int32_t i = 0; i < count; ++i) {
        const CanvasPoint at = placed[static_cast<std::size_t>(i)];
        if (at.x != kNotDrawn.x) runs->Add(at);
      }
      continue;
    }
    for (std::int32_t i = 0; i < count; ++i) {
      const CanvasPoint at = placed[static_cast<std::size_t>(i)];
      if (at.x == kNotDrawn.x) continue;
      if (markers) canvas.Marker(shape, at, markerSize);
      if (bars) {
        canvas.SetBrush(color);
        const std::int64_t half = L.BarHalfWidth;
        const std::int64_t barLeft = at.x == left ? at.x : at.x - half;
        const std::int64_t barRight = at.x == right ? at.x : at.x + half;
        canvas.Rectangle({Px(barLeft), at.y}, {Px(barRight), bottom});
        canvas.SetBrush(pass.background);
      }
      if (line) {
        // Consecutive points on one pixel add nothing to the line.
        if (firstLine) {
          firstLine = false;
        } else if (!(at == previous)) {
          canvas.Line(previous, at);
        }
        previous = at;
      }
    }
  }
  if (runs) runs->Finish();
}

}  // namespace tavel
