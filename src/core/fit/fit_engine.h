#pragma once

#include <array>
#include <cstdint>

#include "core/series/real.h"

namespace tavel {

class Workspace;

// Why the last RunFit refused to fit; None after a fit that stands.
enum class FitRefusal : std::int32_t {
  None = 0,
  NoSeries,      // no data window to fit
  UnknownKind,   // a kind no law exists for
  Domain,        // an X or Y outside the law's domain (logarithm of a value <= 0)
  TooFewPoints,  // fewer complete points than the law has coefficients (or than 2)
  Singular,      // the normal equations have no unique solution (too few distinct X)
  OutOfRange,    // a coefficient or R2 beyond the extended range
};

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
// them: at order 5 the normal equations in powers of X throw away most of the 19 digits we
// have. RunFit maps the abscissas onto t in [-1, 1] and sums Chebyshev polynomials T_k(t)
// instead: their Gram matrix is well conditioned, so solving it loses next to nothing, and the
// power sums S1..S10, T1..T5 follow from the same sums by exact positive expansions. The
// coefficients keep 12 digits or more and a million points cost a few passes over a small
// block that stays in the cache.
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
  // Set by every RunFit that gets past FitKind 0 (and by the solvers): why the fit was refused.
  FitRefusal LastRefusal = FitRefusal::None;

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

  friend bool operator==(const TFitObj&, const TFitObj&) = default;

 private:
  void Solve(int order);
  void SolveFromPass(int order);
  void SolveCramer(int order);
  void ToPowersOfU(int order, Real (&c)[6]) const;
  void Refuse(FitRefusal reason);

  Workspace* workspace_ = nullptr;

  // What the last RunFit pass gathered, in t = (u - passCenter_) * passScale_ in [-1, 1] and
  // w = (v - passMean_) / 2^passExponent_:
  // Chebyshev moments sum T_k(t) (k = 0..10, passMoments_[0] = N), cross sums sum T_k(t) w
  // (k = 0..5) and sum w^2.
  int passOrder_ = -1;  // -1: no pass, the solvers fall back on the sums
  Real passMoments_[11] = {};
  Real passCross_[6] = {};
  Real passSquares_ = 0;
  Real passMean_ = 0;
  int passExponent_ = 0;
  Real passCenter_ = 0;
  Real passScale_ = 1;
  std::int64_t distinctU_ = 0;
  bool allVEqual_ = false;
  Real uLargest_ = 0;  // largest |u| and |v| of the pass
  Real vLargest_ = 0;
};

}  // namespace tavel
