#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/fit/fit_engine.h"
#include "core/series/cell_grid.h"
#include "core/series/real.h"
#include "core/series/series.h"

namespace tavel {

// What the fit dialog and the "&Regression" commands do to a series, apart from the window.

// Label1..Label7 of the fit dialog for the fit's kind: "A = " and A, "B = " and B, then C..F
// as far as the kind has them, and "R^2 = " and R2 last; the others empty.
std::array<std::string, 7> FitLabelTexts(const FitResult& fit);
// The sample equation of a kind, "Y = A + B*X" and its kin; empty for none.
std::string SampleEquation(std::int32_t kind);

// "&Clear Fit": ClearFit, and the fit graph types fall back even when no fit was active.
void ClearFitAndGraphType(Series& series);

// The heading of the fit column while it lists the errors.
inline constexpr char kFitErrorHeader[] = "   % Error YFit";
// The error of a fitted value in percent of the value; a value of 0 gives +-1e100 with the
// sign of the fitted value, or 1e1000 when both are 0.
Real FitErrorPercent(Real y, Real yFit);

enum class FitErrorOutcome { NoFit, Refused, Listed };
// "Fit &Error %": fits the series again and lists the error of every complete row in the fit
// column. A fit the run refuses is cleared and nothing is listed: the refused run already
// sorted the points, and errors of a failed fit would mean nothing.
FitErrorOutcome ListFitError(Series& series);

// Everything trying a law may change in a series (the rows, which a fit packs and sorts, the
// cells it rewrites, the fit, the graph type), kept so a dialog that is not confirmed can put
// the series back exactly as it found it.
class FitSnapshot {
 public:
  explicit FitSnapshot(const Series& series);
  void Restore(Series& series) const;

 private:
  std::vector<Tdata> points_;
  CellGrid cells_;
  FitResult fit_;
  std::string fitHeader_;
  std::int32_t pointCount_;
  Real xMax_, xMin_, yMax_, yMin_;
  std::int32_t graphType_;
  bool fitActive_;
};

}  // namespace tavel
