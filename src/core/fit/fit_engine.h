#pragma once

#include <array>
#include <cstdint>

#include "core/series/real.h"

namespace tavel {

class Workspace;

// Fit kinds: 0 none, 1..5 polynomial order, 6 power, 7 exponential, 8 natural log.
enum FitKindCode : std::int32_t {
  kFitNone = 0,
  kFitPower = 6,
  kFitExponential = 7,
  kFitNaturalLog = 8,
};

// The least-squares fit of one series. Every data window owns one; it keeps the coefficients,
// the determination and the sums of its last fit.
//
// The sums and Det are kept as they always were (the graph and the fit dialog read them, and
// a zero Det still refuses the fit), but the coefficients do not come from Cramer's rule on
// them: at order 5 the normal equations throw away most of the 19 digits we have. RunFit
// streams the points through a Householder QR of the centred and scaled design matrix in the
// same pass that forms the sums, so the coefficients keep 12 digits or more.
class TFitObj {
 public:
  explicit TFitObj(std::int32_t seriesNumber = 0, Workspace* workspace = nullptr)
      : FitSeriesNumber(seriesNumber), workspace_(workspace) {}

  // Coefficients of X^0..X^5 (for kinds 6 to 8 only A and B).
  Real A = 0, B = 0, C = 0, D = 0, E = 0, F = 0;
  Real R2 = 0;
  // Power sums of the fitted abscissa u: S1..S10 = sum u^k.
  Real S1 = 0, S2 = 0, S3 = 0, S4 = 0, S5 = 0, S6 = 0, S7 = 0, S8 = 0, S9 = 0, S10 = 0;
  Real Sv = 0, Svv = 0;
  // Cross sums T1..T5 = sum u^k * v.
  Real T1 = 0, T2 = 0, T3 = 0, T4 = 0, T5 = 0;
  Real N = 0;
  Real Det = 0;
  std::int32_t FitKind = kFitNone;
  bool FitOk = false;
  bool FitValueOk = true;
  std::int32_t FitSeriesNumber = 0;

  // The seven stored values: coefficients A..F and R2.
  void ClearStoredValues() { A = B = C = D = E = F = R2 = 0; }

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
  static constexpr int kMaxColumns = 7;  // 1, t, ..., t^5 and v

  void Solve(int order);
  void SolveStable(int order, Real (&t)[6]);
  void SolveCramer(int order);
  void ToPowersOfU(int order, Real (&c)[6]) const;
  void Refuse();

  Workspace* workspace_ = nullptr;

  // The triangular factor of [1, t, ..., t^p, v] from the last RunFit pass, where
  // t = (u - qrCenter_) / 2^qrScaleExponent_ lies in [-1, 1].
  int qrOrder_ = -1;  // -1: no pass, the solvers fall back on the sums
  Real qrR_[kMaxColumns][kMaxColumns] = {};
  Real qrCenter_ = 0;
  int qrScaleExponent_ = 0;
  std::int32_t distinctU_ = 0;
  bool allVEqual_ = false;
  Real uLargest_ = 0;  // largest |u| and |v| of the pass
  Real vLargest_ = 0;
};

}  // namespace tavel
