#include "core/fit/fit_choice.h"

#include <cmath>

#include "core/fit/fit_report.h"
#include "core/series/number_text.h"
#include "core/series/series_options.h"

namespace tavel {

std::array<std::string, 7> FitLabelTexts(const FitResult& fit) {
  std::array<std::string, 7> labels;
  if (fit.FitKind == kFitUserModel) {
    // The first six parameters; the report has them all.
    const UserModel& model = fit.Model;
    for (std::size_t i = 0; i < 6 && i < model.Names.size() && i < model.Values.size(); ++i) {
      labels[i] = model.Names[i] + " = " + FormatNumber(model.Values[i], 14);
    }
    labels[6] = "R^2 = " + FormatNumber(fit.R2, 14);
    return labels;
  }
  const int shown = FitCoefficientCount(fit.FitKind);
  if (shown == 0) return labels;
  const Real values[6] = {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F};
  for (int i = 0; i < shown; ++i) {
    labels[static_cast<std::size_t>(i)] =
        std::string(1, FitCoefficientName(i)) + " = " + FormatNumber(values[i], 14);
  }
  labels[6] = "R^2 = " + FormatNumber(fit.R2, 14);
  return labels;
}

std::string SampleEquation(std::int32_t kind) {
  // The printout's equation line with the "=" closed up to the "Y".
  std::string line = FitEquationLine(kind);
  if (!line.empty()) line.replace(0, 5, "Y =");
  return line;
}

void ClearFitAndGraphType(Series& series) {
  series.ClearFit();
  series.GraphType = GraphTypeWithoutFit(series.GraphType);
}

Real FitErrorPercent(Real y, Real yFit) {
  if (y != 0) return (yFit - y) * 100 / y;
  if (yFit != 0) return std::copysign(1e100L, yFit);
  return 1e1000L;
}

FitErrorOutcome ListFitError(Series& series) {
  if (series.Fit.FitKind == kFitNone) return FitErrorOutcome::NoFit;
  TFitObj(series).RunFit();
  if (!series.Fit.FitOk) {
    // The run has beeped. A refusal also switched FitActive off, which ClearFit would read as
    // "nothing to clear", yet the old fit's values and column are still there.
    series.FitActive = true;
    series.ClearFit();
    return FitErrorOutcome::Refused;
  }
  series.FitHeader = kFitErrorHeader;
  for (std::int32_t row = 1; row <= series.MaxIndex; ++row) {
    const Tdata& p = series.Points[static_cast<std::size_t>(row - 1)];
    if (p.XValid && p.YValid) {
      series.Cells.SetNumber(row, kFitColumn, FitErrorPercent(p.Y, p.YFit));
    } else {
      series.Cells.Clear(row, kFitColumn);
    }
  }
  series.NotifyGridChanged();
  return FitErrorOutcome::Listed;
}

FitSnapshot::FitSnapshot(const Series& series)
    : points_(series.Points),
      cells_(series.Cells),
      fit_(series.Fit),
      fitHeader_(series.FitHeader),
      pointCount_(series.PointCount),
      xMax_(series.XMax),
      xMin_(series.XMin),
      yMax_(series.YMax),
      yMin_(series.YMin),
      graphType_(series.GraphType),
      fitActive_(series.FitActive) {}

void FitSnapshot::Restore(Series& series) const {
  series.Points = points_;
  series.Cells = cells_;
  series.Fit = fit_;
  series.FitHeader = fitHeader_;
  series.PointCount = pointCount_;
  series.XMax = xMax_;
  series.XMin = xMin_;
  series.YMax = yMax_;
  series.YMin = yMin_;
  series.GraphType = graphType_;
  series.FitActive = fitActive_;
  series.NotifyGridChanged();
}

}  // namespace tavel
