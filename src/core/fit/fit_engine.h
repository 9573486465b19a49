#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/fit/model_formula.h"
#include "core/series/fit_result.h"
#include "core/series/real.h"

namespace tavel {

class Series;
class Workspace;

// The least-squares fit of one series, worked on the FitResult the series keeps: kinds 1..8
// by the linear least squares below, kind 9 (a model of the user's own) by FitModel.
//
// The sums and Det are kept as they always were (the graph and the fit dialog read them, and
// a zero Det still refuses the fit), but the coefficients do not come from Cramer's rule on
// them: at order 5 the normal equations in powers of X throw away most of the 19 digits we
// have. RunFit maps the abscissas onto t in [-1, 1] and sums Chebyshev polynomials T_k(t)
// instead: their Gram matrix is well conditioned, so solving it loses next to nothing, and the
// power sums S1..S10, T1..T5 follow from the same sums by exact positive expansions. The
// coefficients keep 12 digits or more and a million points cost a few passes over a small
// block that stays in the cache.
class TFitObj {
 public:
  // Works on `fit`; a fit that reaches a series finds it through `workspace`.
  explicit TFitObj(FitResult& fit, Workspace* workspace = nullptr)
      : fit_(fit), workspace_(workspace) {}
  // Works on the series' own fit.
  explicit TFitObj(Series& series);

  // Fits the series numbered FitSeriesNumber (or the first one) with FitKind, writes the fitted
  // values into its fit column and refills its grid in ascending X. A refusal beeps and leaves
  // FitOk false.
  void RunFit();

  // The fitted law at x. Outside the law's domain, or where the value is beyond the extended
  // range, the result is 0 and FitValueOk false.
  Real YFIT(Real x);

  // Solvers for the kinds 1 and 6..8 (LINEAR) and the orders 2..5. They set Det from the sums
  // and take the coefficients from the QR of the last RunFit pass; with sums set by hand and
  // no such pass they fall back on Cramer's rule.
  void LINEAR();
  void QUAD();
  void CUBIC();
  void FORTH();
  void FIFTH();

  // Determinants of the symmetric matrices whose entry (i, j) is value number i + j.
  static Real MX33(Real a, Real b, Real c, Real d, Real e);
  static Real MX44(Real a, Real b, Real c, Real d, Real e, Real f, Real g);
  static Real MX55(Real a, Real b, Real c, Real d, Real e, Real f, Real g, Real h, Real i);
  static Real MX66(Real a, Real b, Real c, Real d, Real e, Real f, Real g, Real h, Real i, Real j,
                   Real k);
  // Determinants of general matrices given row by row.
  static Real MX3(const std::array<Real, 9>& m);
  static Real MX4(const std::array<Real, 16>& m);
  static Real MX5(const std::array<Real, 25>& m);
  static Real MX6(const std::array<Real, 36>& m);

  // The polynomial order a kind is solved with: 1..5 for kinds 1..5, 1 for kinds 6..8 and 0
  // for none or an unknown kind.
  static int FitOrder(std::int32_t kind);

 private:
  void Solve(int order);
  void SolveFromPass(int order);
  void SolveCramer(int order);
  void ToPowersOfU(int order, Real (&c)[6]) const;
  void Refuse(FitRefusal reason);
  void RunModelFit(Series& series);
  bool ParseModel();

  FitResult& fit_;
  Workspace* workspace_ = nullptr;
  // The model's formula, read once for all the values asked of it.
  std::optional<ModelFormula> formula_;
  bool formulaRead_ = false;
  std::vector<double> parameters_;
};

}  // namespace tavel
