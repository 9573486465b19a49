#pragma once

#include <cstdint>

#include "core/series/real.h"

namespace tavel {

// Fit kinds: 0 none, 1..5 polynomial order, 6 power, 7 exponential, 8 natural log.
enum FitKindCode : std::int32_t {
  kFitNone = 0,
  kFitPower = 6,
  kFitExponential = 7,
  kFitNaturalLog = 8,
};

// The least-squares fit of one series. Every data window owns one; it keeps the coefficients,
// the determination and the sums of its last fit.
class TFitObj {
 public:
  explicit TFitObj(std::int32_t seriesNumber = 0) : FitSeriesNumber(seriesNumber) {}

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
};

}  // namespace tavel
