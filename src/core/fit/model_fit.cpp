#include "core/fit/model_fit.h"

#include <cminpack-1/cminpack.h>

#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>
#include <numeric>
#include <sstream>

#include "core/series/run_parts.h"

namespace tavel {

namespace {

// The residual every point gets when a trial step leaves the model's range: a sum of squares
// no real step has, so the step is refused and the damping raised.
constexpr double kRefused = 1e100;

// Above this many points the residuals and derivatives are worked out in two halves at once,
// each with a formula of its own (evaluating one keeps scratch values in it). Every point's
// numbers stand alone, so the halves give the same bits as one pass.
constexpr int kSplitPoints = 1 << 14;

struct Problem {
  const ModelFormula& model;
  const std::vector<double>& xs;
  const std::vector<double>& ys;
  std::vector<double> all;     // every parameter, the fixed ones at their values
  std::vector<int> freeIndex;  // the solver's k-th unknown is parameter freeIndex[k]
  ModelFormula second;         // the formula the second half evaluates
};

int Residuals(void* data, int m, int n, const double* x, double* fvec, double* fjac, int ldfjac,
              int iflag) {
  auto& p = *static_cast<Problem*>(data);
  for (int k = 0; k < n; ++k)
    p.all[static_cast<std::size_t>(p.freeIndex[static_cast<std::size_t>(k)])] = x[k];
  const int parts = m >= kSplitPoints ? 2 : 1;
  const int half = m / 2;
  bool finite[2] = {true, true};
  RunParts(parts, [&](int part) {
    const ModelFormula& model = part == 0 ? p.model : p.second;
    const int first = parts == 1 || part == 0 ? 0 : half;
    const int last = parts == 1 || part == 1 ? m : half;
    std::vector<double> gradient;
    bool allFinite = true;
    for (int i = first; i < last; ++i) {
      const auto at = static_cast<std::size_t>(i);
      if (iflag == 1) {
        fvec[i] = model.Evaluate(p.xs[at], p.all.data()) - p.ys[at];
        allFinite = allFinite && std::isfinite(fvec[i]);
      } else if (iflag == 2) {
        model.Evaluate(p.xs[at], p.all.data(), &gradient);
        for (int k = 0; k < n; ++k) {
          const double g =
              gradient[static_cast<std::size_t>(p.freeIndex[static_cast<std::size_t>(k)])];
          fjac[i + static_cast<std::ptrdiff_t>(k) * ldfjac] = std::isfinite(g) ? g : 0;
        }
      }
    }
    finite[part] = allFinite;
  });
  if (iflag == 1 && !(finite[0] && finite[1])) std::fill(fvec, fvec + m, kRefused);
  return 0;
}

std::string Number(double value) {
  std::ostringstream out;
  out.precision(17);
  out << value;
  return out.str();
}

const char* StopReason(int info) {
  switch (info) {
    case 1:
      return "the sum of squares no longer falls in its last digits";
    case 2:
      return "the parameters no longer change in their last digits";
    case 3:
      return "neither the sum of squares nor the parameters change in their last digits";
    case 4:
      return "the residuals stand at right angles to every parameter's direction";
    case 6:
      return "the sum of squares cannot fall any further in double precision";
    case 7:
      return "the parameters cannot change any further in double precision";
    case 8:
      return "the residuals stand at right angles to every parameter's direction";
    default:
      return "";
  }
}

// The Gauss-Newton step -J^+ r and the diagonal of (JtJ)^-1, for J (m rows, n columns, column
// after column) and the residuals r, by a Householder QR of [J r] in extended precision:
// forming JtJ would square J's condition and lose half the digits.
struct GaussNewton {
  std::vector<long double> step;
  std::vector<double> variances;
};

// `a` holds J column after column and the residuals as its last column.
GaussNewton SolveByQR(std::vector<long double> a, int m, int n) {
  const auto rows = static_cast<std::size_t>(m);
  const auto cols = static_cast<std::size_t>(n);
  const auto at = [&](std::size_t i, std::size_t j) -> long double& { return a[i + j * rows]; };
  for (std::size_t k = 0; k < cols; ++k) {
    long double norm = 0;
    for (std::size_t i = k; i < rows; ++i) norm += at(i, k) * at(i, k);
    norm = std::sqrt(norm);
    if (norm == 0) continue;
    const long double alpha = at(k, k) > 0 ? -norm : norm;
    // v = column - alpha e_k, kept in place; H = I - 2 v v^t / v^t v.
    at(k, k) -= alpha;
    long double vv = 0;
    for (std::size_t i = k; i < rows; ++i) vv += at(i, k) * at(i, k);
    for (std::size_t j = k + 1; j <= cols; ++j) {
      long double dot = 0;
      for (std::size_t i = k; i < rows; ++i) dot += at(i, k) * at(i, j);
      const long double f = 2 * dot / vv;
      for (std::size_t i = k; i < rows; ++i) at(i, j) -= f * at(i, k);
    }
    at(k, k) = alpha;
  }
  GaussNewton out;
  // R^-1 by back substitution; the step is -R^-1 (Q^t r), the variances diag(R^-1 R^-t).
  std::vector<long double> inverse(cols * cols, 0);
  const auto inv = [&](std::size_t i, std::size_t j) -> long double& {
    return inverse[i * cols + j];
  };
  for (std::size_t j = 0; j < cols; ++j) {
    inv(j, j) = 1 / at(j, j);
    for (std::size_t i = j; i-- > 0;) {
      long double sum = 0;
      for (std::size_t k = i + 1; k <= j; ++k) sum += at(i, k) * inv(k, j);
      inv(i, j) = -sum / at(i, i);
    }
  }
  out.step.assign(cols, 0);
  out.variances.assign(cols, 0);
  for (std::size_t i = 0; i < cols; ++i) {
    long double step = 0, variance = 0;
    for (std::size_t k = i; k < cols; ++k) {
      step -= inv(i, k) * at(k, cols);
      variance += inv(i, k) * inv(i, k);
    }
    out.step[i] = step;
    out.variances[i] = static_cast<double>(variance);
  }
  return out;
}

GaussNewton SolveByQR(const std::vector<double>& jacobian, const std::vector<double>& residuals,
                      int m, int n) {
  const auto rows = static_cast<std::size_t>(m);
  const auto cols = static_cast<std::size_t>(n);
  std::vector<long double> a(rows * (cols + 1));
  std::copy(jacobian.begin(), jacobian.begin() + static_cast<std::ptrdiff_t>(rows * cols),
            a.begin());
  std::copy(residuals.begin(), residuals.begin() + static_cast<std::ptrdiff_t>(rows),
            a.begin() + static_cast<std::ptrdiff_t>(rows * cols));
  return SolveByQR(std::move(a), m, n);
}

}  // namespace

std::vector<double> UnscaledVariances(std::vector<long double> jacobian, int m, int n) {
  jacobian.resize(static_cast<std::size_t>(m) * static_cast<std::size_t>(n + 1), 0);
  return SolveByQR(std::move(jacobian), m, n).variances;
}

double StudentT975(int dof) {
  if (dof < 1) return std::numeric_limits<double>::quiet_NaN();
  return boost::math::quantile(boost::math::students_t(dof), 0.975);
}

void TakeUncertainties(ModelFitResult& result, const std::vector<double>& unscaledVariances,
                       const std::vector<double>& ys) {
  const int free = static_cast<int>(unscaledVariances.size());
  const int points = static_cast<int>(ys.size());
  result.dof = points - free;
  const double variance = result.dof > 0 ? result.rss / result.dof : 0;
  result.residualSd = std::sqrt(variance);
  const double t = StudentT975(result.dof);
  std::size_t k = 0;
  for (ParameterEstimate& p : result.parameters) {
    if (p.fixed) continue;
    p.standardError = std::sqrt(std::max(0.0, unscaledVariances[k++] * variance));
    p.tValue = p.standardError > 0 ? p.value / p.standardError : 0;
    p.low95 = p.value - t * p.standardError;
    p.high95 = p.value + t * p.standardError;
  }
  const double mean = points > 0 ? std::accumulate(ys.begin(), ys.end(), 0.0) / points : 0;
  double total = 0;
  for (const double y : ys) total += (y - mean) * (y - mean);
  result.r2 = total > 0 ? 1 - result.rss / total : 0;
  result.adjustedR2 =
      result.dof > 0 && points > 1 ? 1 - (1 - result.r2) * (points - 1) / result.dof : result.r2;
}

ModelFitResult FitModel(const ModelFormula& model, const std::vector<double>& xs,
                        const std::vector<double>& ys, const std::vector<double>& start,
                        const std::vector<bool>& fixed) {
  ModelFitResult result;
  const std::vector<std::string>& names = model.Parameters();
  Problem problem{model, xs, ys, start, {}, model};
  problem.all.resize(names.size(), 1.0);
  for (std::size_t k = 0; k < names.size(); ++k) {
    ParameterEstimate p;
    p.name = names[k];
    p.value = problem.all[k];
    p.fixed = k < fixed.size() && fixed[k];
    if (!p.fixed) problem.freeIndex.push_back(static_cast<int>(k));
    result.parameters.push_back(p);
  }
  const int m = static_cast<int>(std::min(xs.size(), ys.size()));
  const int n = static_cast<int>(problem.freeIndex.size());
  if (m < std::max(n, 1)) {
    result.why = "the model has " + std::to_string(n) + " free parameters but the series only " +
                 std::to_string(m) + " complete points";
    return result;
  }
  for (int i = 0; i < m; ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (!std::isfinite(model.Evaluate(xs[at], problem.all.data()))) {
      result.why = "the model cannot be evaluated at the start values: it has no value at x = " +
                   Number(xs[at]) + " (point " + std::to_string(i + 1) + ")";
      return result;
    }
  }

  std::vector<double> x(static_cast<std::size_t>(n)), fvec(static_cast<std::size_t>(m));
  for (int k = 0; k < n; ++k)
    x[static_cast<std::size_t>(k)] =
        problem.all[static_cast<std::size_t>(problem.freeIndex[static_cast<std::size_t>(k)])];
  int info = 1, njev = 0;
  if (n > 0) {
    std::vector<double> fjac(static_cast<std::size_t>(m) * static_cast<std::size_t>(n));
    std::vector<double> diag(static_cast<std::size_t>(n)), qtf(static_cast<std::size_t>(n));
    std::vector<double> wa1(static_cast<std::size_t>(n)), wa2(static_cast<std::size_t>(n)),
        wa3(static_cast<std::size_t>(n)), wa4(static_cast<std::size_t>(m));
    std::vector<int> ipvt(static_cast<std::size_t>(n));
    int nfev = 0;
    const double tolerance = 4 * std::numeric_limits<double>::epsilon();
    info = lmder(Residuals, &problem, m, n, x.data(), fvec.data(), fjac.data(), m, tolerance,
                 tolerance, 0.0, 4000 * (n + 1), diag.data(), 1, 100.0, 0, &nfev, &njev,
                 ipvt.data(), qtf.data(), wa1.data(), wa2.data(), wa3.data(), wa4.data());
    if (info == 0 || info == 5 || info < 0) {
      result.why = info == 5 ? "the fit did not settle within " + std::to_string(nfev) +
                                   " evaluations of the model"
                             : "the solver was given what it cannot work on";
      return result;
    }
    // Where the solver stopped the sum of squares no longer moves, but the parameters may still
    // be short of their last digits: Gauss-Newton steps from there, solved in extended
    // precision, take them the rest of the way, as long as each step lowers the sum.
    const auto sumOfSquares = [&] {
      double sum = 0;
      for (const double f : fvec) sum += f * f;
      return sum;
    };
    Residuals(&problem, m, n, x.data(), fvec.data(), nullptr, m, 1);
    double rss = sumOfSquares();
    // Near the minimum the sum of squares is flat to its last digit while the parameters still
    // move, so a step is taken while it shrinks (Gauss-Newton's own sign of convergence) and the
    // sum does not rise beyond its rounding.
    long double lastSize = std::numeric_limits<long double>::infinity();
    for (int polish = 0; polish < 10; ++polish) {
      Residuals(&problem, m, n, x.data(), fvec.data(), fjac.data(), m, 2);
      const GaussNewton solved = SolveByQR(fjac, fvec, m, n);
      std::vector<double> trial(x);
      long double size = 0;
      for (int k = 0; k < n; ++k) {
        const auto at = static_cast<std::size_t>(k);
        trial[at] = static_cast<double>(x[at] + solved.step[at]);
        const long double scale = std::max<long double>(std::fabs(x[at]), 1e-300L);
        size = std::max(size, std::fabs(solved.step[at]) / scale);
      }
      if (trial == x || !(size < lastSize)) break;
      std::vector<double> kept(fvec);
      Residuals(&problem, m, n, trial.data(), fvec.data(), nullptr, m, 1);
      const double trialRss = sumOfSquares();
      if (!(trialRss <= rss * (1 + 64 * std::numeric_limits<double>::epsilon()))) {
        fvec = kept;
        break;
      }
      x = trial;
      rss = std::min(rss, trialRss);
      lastSize = size;
    }
    Residuals(&problem, m, n, x.data(), fvec.data(), nullptr, m, 1);
    Residuals(&problem, m, n, x.data(), fvec.data(), fjac.data(), m, 2);
    const std::vector<double> variances = SolveByQR(fjac, fvec, m, n).variances;
    // The parameters may stop moving where the sum could still fall (a parameter whose every
    // derivative vanished): at a minimum the residuals stand at right angles to each column.
    double rNorm = 0;
    for (const double f : fvec) rNorm += f * f;
    rNorm = std::sqrt(rNorm);
    double yNorm = 0;
    for (int i = 0; i < m; ++i)
      yNorm += ys[static_cast<std::size_t>(i)] * ys[static_cast<std::size_t>(i)];
    // Residuals at the rounding of the data: the model goes through every point, no angle to
    // speak of.
    const bool exact = rNorm <= 1e-10 * std::sqrt(yNorm);
    for (int k = 0; k < n && !exact; ++k) {
      double dot = 0, norm = 0;
      for (int i = 0; i < m; ++i) {
        const double j = fjac[static_cast<std::size_t>(i + k * m)];
        dot += j * fvec[static_cast<std::size_t>(i)];
        norm += j * j;
      }
      if (norm > 0 && std::fabs(dot) / (std::sqrt(norm) * rNorm) > 1e-4) {
        result.why =
            "the fit stopped short of a minimum: the sum of squares could still fall by "
            "changing " +
            result
                .parameters[static_cast<std::size_t>(
                    problem.freeIndex[static_cast<std::size_t>(k)])]
                .name +
            "; try other start values";
        return result;
      }
    }
    for (int k = 0; k < n; ++k) {
      result.parameters[static_cast<std::size_t>(problem.freeIndex[static_cast<std::size_t>(k)])]
          .value = x[static_cast<std::size_t>(k)];
    }
    result.rss = 0;
    for (const double f : fvec) result.rss += f * f;
    TakeUncertainties(result, variances, ys);
  } else {
    Residuals(&problem, m, 0, x.data(), fvec.data(), nullptr, m, 1);
    for (const double f : fvec) result.rss += f * f;
    TakeUncertainties(result, {}, ys);
  }
  if (!std::isfinite(result.rss) || result.rss >= kRefused) {
    result.why = "the model has no value at some point for every step the solver tried";
    return result;
  }
  result.ok = true;
  result.iterations = njev;
  result.stopReason = StopReason(info);
  return result;
}

}  // namespace tavel
