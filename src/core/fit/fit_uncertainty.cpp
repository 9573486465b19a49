#include "core/fit/fit_uncertainty.h"

#include <cmath>

#include "core/fit/fit_engine.h"
#include "core/fit/fit_report.h"
#include "core/series/series.h"

namespace tavel {

namespace {

ModelFitResult ModelMeasures(const FitResult& fit) {
  ModelFitResult result;
  const UserModel& model = fit.Model;
  if (model.Values.size() != model.Names.size()) return result;
  const double t = StudentT975(model.Dof);
  int free = 0;
  for (std::size_t k = 0; k < model.Names.size(); ++k) {
    ParameterEstimate p;
    p.name = model.Names[k];
    p.value = model.Values[k];
    p.fixed = k < model.Fixed.size() && model.Fixed[k];
    free += !p.fixed;
    if (!p.fixed) {
      p.standardError = k < model.Errors.size() ? model.Errors[k] : 0;
      p.tValue = p.standardError > 0 ? p.value / p.standardError : 0;
      p.low95 = p.value - t * p.standardError;
      p.high95 = p.value + t * p.standardError;
    }
    result.parameters.push_back(p);
  }
  result.rss = model.Rss;
  result.dof = model.Dof;
  result.residualSd = model.Dof > 0 ? std::sqrt(model.Rss / model.Dof) : 0;
  result.r2 = static_cast<double>(fit.R2);
  const int points = model.Dof + free;
  result.adjustedR2 =
      result.dof > 0 && points > 1 ? 1 - (1 - result.r2) * (points - 1) / result.dof : result.r2;
  result.iterations = model.Iterations;
  result.stopReason = model.StopReason;
  result.ok = true;
  return result;
}

}  // namespace

ModelFitResult FitUncertainties(const Series& series) {
  ModelFitResult result;
  const FitResult& fit = series.Fit;
  if (fit.FitKind == kFitUserModel) return fit.FitOk ? ModelMeasures(fit) : result;
  const int count = FitCoefficientCount(fit.FitKind);
  if (!fit.FitOk || count == 0) return result;
  const bool logU = fit.FitKind == kFitPower || fit.FitKind == kFitNaturalLog;
  const bool logV = fit.FitKind == kFitPower || fit.FitKind == kFitExponential;
  const Real given[6] = {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F};
  // The coefficients of the line or polynomial in u the fit solved for.
  Real c[6];
  for (int k = 0; k < count; ++k) c[k] = given[k];
  if (logV) c[0] = std::log(fit.A);

  std::vector<long double> u, v;
  for (std::int32_t row = 1; row <= series.Cells.RowCount(); ++row) {
    const CellGrid::Reading x = series.Cells.Read(row, kXColumn);
    const CellGrid::Reading y = series.Cells.Read(row, kYColumn);
    if (!x.valid || !y.valid) continue;
    u.push_back(logU ? std::log(x.value) : x.value);
    v.push_back(logV ? std::log(y.value) : y.value);
  }
  const int m = static_cast<int>(u.size());
  if (m < count) return result;
  std::vector<long double> jacobian(static_cast<std::size_t>(m) * static_cast<std::size_t>(count));
  long double rss = 0;
  std::vector<double> ys;
  ys.reserve(v.size());
  for (int i = 0; i < m; ++i) {
    const auto at = static_cast<std::size_t>(i);
    long double power = 1, fitted = 0;
    for (int k = 0; k < count; ++k) {
      jacobian[at + static_cast<std::size_t>(k) * static_cast<std::size_t>(m)] = power;
      fitted += c[k] * power;
      power *= u[at];
    }
    rss += (v[at] - fitted) * (v[at] - fitted);
    ys.push_back(static_cast<double>(v[at]));
  }
  for (int k = 0; k < count; ++k) {
    ParameterEstimate p;
    p.name = std::string(1, FitCoefficientName(k));
    p.value = static_cast<double>(c[k]);
    result.parameters.push_back(p);
  }
  result.rss = static_cast<double>(rss);
  TakeUncertainties(result, UnscaledVariances(std::move(jacobian), m, count), ys);
  // R^2 as the fit gives it; the adjusted one from it.
  result.r2 = static_cast<double>(fit.R2);
  result.adjustedR2 = result.dof > 0 ? 1 - (1 - result.r2) * (m - 1) / result.dof : result.r2;
  if (logV) {
    ParameterEstimate& a = result.parameters[0];
    const double lineSe = a.standardError;
    a.value = static_cast<double>(fit.A);
    a.standardError = a.value * lineSe;  // to first order, as e^intercept moves
    a.low95 = std::exp(a.low95);
    a.high95 = std::exp(a.high95);
    a.tValue = lineSe > 0 ? a.value / a.standardError : 0;
  }
  result.ok = true;
  return result;
}

}  // namespace tavel
