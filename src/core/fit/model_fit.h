#pragma once

#include <string>
#include <vector>

#include "core/fit/model_formula.h"

namespace tavel {

// What a fit found, with how well it is determined: each parameter's standard error (from the
// covariance at the solution, scaled by the residual variance), its t value and 95 % interval
// (Student's t), and the measures of the whole fit.
struct ParameterEstimate {
  std::string name;
  double value = 0;
  bool fixed = false;
  double standardError = 0;  // 0 for a fixed parameter
  double tValue = 0;
  double low95 = 0, high95 = 0;
};

struct ModelFitResult {
  bool ok = false;
  std::string why;  // when not ok: what stopped the fit, for the user
  std::vector<ParameterEstimate> parameters;
  double rss = 0;            // residual sum of squares
  double residualSd = 0;     // sqrt(rss / dof)
  int dof = 0;               // points minus free parameters
  double r2 = 0, adjustedR2 = 0;
  int iterations = 0;
  std::string stopReason;
};

// The two-sided 95 % quantile of Student's t with `dof` degrees of freedom.
double StudentT975(int dof);

// The diagonal of (JtJ)^-1 for J of m rows and n columns, given column after column, by a
// Householder QR in extended precision (forming JtJ would square J's condition).
std::vector<double> UnscaledVariances(std::vector<long double> jacobian, int m, int n);

// Fills in standard errors, t values, intervals, the residual measures and R^2 from the
// diagonal of the covariance (JtJ)^-1 of the free parameters, the residuals' sum of squares
// (result.rss) and the Y values. Shared by every kind of fit.
void TakeUncertainties(ModelFitResult& result, const std::vector<double>& unscaledVariances,
                       const std::vector<double>& ys);

// Least squares of the model through the points (x, y) by Levenberg-Marquardt (MINPACK's lmder)
// with the formula's exact derivatives. `start` gives each parameter's start value, `fixed`
// (empty, or one flag each) those held at it. A trial step whose model overflows or is not a
// number is refused and the damping raised; the fit stops when a step no longer changes the sum
// of squares in its last digits.
ModelFitResult FitModel(const ModelFormula& model, const std::vector<double>& xs,
                        const std::vector<double>& ys, const std::vector<double>& start,
                        const std::vector<bool>& fixed = {});

}  // namespace tavel
