#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/series/real.h"

namespace tavel {

// Why the last fit was refused; None after a fit that stands.
enum class FitRefusal : std::int32_t {
  None = 0,
  NoSeries,      // no data window to fit
  UnknownKind,   // a kind no law exists for
  Domain,        // an X or Y outside the law's domain (logarithm of a value <= 0)
  TooFewPoints,  // fewer complete points than the law has coefficients (or than 2)
  Singular,      // the normal equations have no unique solution (too few distinct X)
  OutOfRange,    // a coefficient or R2 beyond the extended range
  Model,         // the user's model could not be fitted: UserModel::Why says why
};

// Fit kinds: 0 none, 1..5 polynomial order, 6 power, 7 exponential, 8 natural log, 9 a model
// the user typed.
enum FitKindCode : std::int32_t {
  kFitNone = 0,
  kFitPower = 6,
  kFitExponential = 7,
  kFitNaturalLog = 8,
  kFitUserModel = 9,
};

// A model of the user's own: the formula with its parameters as the user set them, and what the
// last fit of it found.
struct UserModel {
  std::string Formula;
  // In the order they first appear in the formula; Start and Fixed have one entry each.
  std::vector<std::string> Names;
  std::vector<double> Start;
  std::vector<bool> Fixed;
  // Of the last fit that stood: the values (a fixed parameter keeps its start) and standard
  // errors, the residual sum of squares and its degrees of freedom, how the solver ended.
  std::vector<double> Values;
  std::vector<double> Errors;
  double Rss = 0;
  std::int32_t Dof = 0;
  std::int32_t Iterations = 0;
  std::string StopReason;
  // Of the last fit that was refused.
  std::string Why;

  friend bool operator==(const UserModel&, const UserModel&) = default;
};

// What a least-squares pass over the points gathered, in t = (u - center) * scale in [-1, 1]
// and w = (v - mean) / 2^exponent: Chebyshev moments sum T_k(t) (k = 0..10, moments[0] = N),
// cross sums sum T_k(t) w (k = 0..5) and sum w^2. It belongs to one fit only.
struct FitPass {
  int order = -1;  // -1: no pass, the solvers fall back on the sums
  Real moments[11] = {};
  Real cross[6] = {};
  Real squares = 0;
  Real mean = 0;
  int exponent = 0;
  Real center = 0;
  Real scale = 1;
  std::int64_t distinctU = 0;
  bool allVEqual = false;
  Real uLargest = 0;  // largest |u| and |v| of the pass
  Real vLargest = 0;

  friend bool operator==(const FitPass&, const FitPass&) = default;
};

// The fit of one series as it stands: the kind, the coefficients, the determination and the
// sums of its last fit. The fit engine computes it; the series only keeps it.
struct FitResult {
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
  // Set by every fit that gets past FitKind 0 (and by the solvers): why the fit was refused.
  FitRefusal LastRefusal = FitRefusal::None;
  // The model of kind kFitUserModel; kept through other kinds, so choosing it again finds it.
  UserModel Model;
  FitPass Pass;

  // The seven stored values: coefficients A..F and R2.
  void ClearStoredValues() { A = B = C = D = E = F = R2 = 0; }

  friend bool operator==(const FitResult&, const FitResult&) = default;
};

}  // namespace tavel
