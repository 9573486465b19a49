#include "core/fit/fit_engine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/fit/model_fit.h"
#include "core/platform/prompts.h"
#include "core/series/run_parts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

bool LogAbscissa(std::int32_t kind) {
  return kind == kFitPower || kind == kFitNaturalLog;
}
bool LogOrdinate(std::int32_t kind) {
  return kind == kFitPower || kind == kFitExponential;
}

// Points are summed a block at a time, and every group of sums takes its own pass over the
// block while it sits in the first-level cache: the x87 unit has eight registers, and sums
// that do not fit in them would go through memory as 80-bit loads and stores, which cost far
// more than the extra passes.
constexpr int kBlock = 512;

// Values in [-1, 1] kept as two doubles whose sum is the extended value exactly (the rest of
// a 64-bit significand after rounding to 53 bits has at most 11 bits): two double loads cost
// a fraction of one 80-bit load.
struct SplitBlock {
  double hi[kBlock];
  double lo[kBlock];

  void Set(int i, Real x) {
    const double h = static_cast<double>(x);
    hi[i] = h;
    lo[i] = static_cast<double>(x - h);
  }
  Real Get(int i) const { return Real{hi[i]} + Real{lo[i]}; }
};

// moments[k] += sum of T_k(t) for k = From..To, T_k the Chebyshev polynomials.
template <int From, int To>
void AddMoments(const SplitBlock& t, int n, Real* moments) {
  static_assert(From >= 1 && From <= To);
  Real sum[To - From + 1] = {};
  for (int i = 0; i < n; ++i) {
    const Real x = t.Get(i);
    const Real twoX = x + x;
    Real previous = 1;
    Real current = x;
    if constexpr (From == 1) sum[0] += current;
#pragma GCC unroll 16
    for (int k = 2; k <= To; ++k) {
      const Real next = twoX * current - previous;
      previous = current;
      current = next;
      if (k >= From) sum[k - From] += current;
    }
  }
  for (int k = From; k <= To; ++k) moments[k] += sum[k - From];
}

// The products of T_3, T_4 and T_5 that give the higher moments through
// T_(j+k) = 2 T_j T_k - T_(j-k): sums[0..2] += T_3^2, T_3 T_4, T_4^2 and sums[3..5] += T_5,
// T_4 T_5, T_5^2. Half the work of running the recurrence up to T_10.
void AddProducts(const SplitBlock& t, int n, Real* sums) {
  Real s33 = 0, s34 = 0, s44 = 0;
  for (int i = 0; i < n; ++i) {
    const Real x = t.Get(i);
    const Real twoX = x + x;
    const Real t2 = twoX * x - 1;
    const Real t3 = twoX * t2 - x;
    const Real t4 = twoX * t3 - t2;
    s33 += t3 * t3;
    s34 += t3 * t4;
    s44 += t4 * t4;
  }
  Real s5 = 0, s45 = 0, s55 = 0;
  for (int i = 0; i < n; ++i) {
    const Real x = t.Get(i);
    const Real twoX = x + x;
    const Real t2 = twoX * x - 1;
    const Real t3 = twoX * t2 - x;
    const Real t4 = twoX * t3 - t2;
    const Real t5 = twoX * t4 - t3;
    s5 += t5;
    s45 += t4 * t5;
    s55 += t5 * t5;
  }
  sums[0] += s33, sums[1] += s34, sums[2] += s44, sums[3] += s5, sums[4] += s45, sums[5] += s55;
}

// Moments T_0..T_10 from T_0..T_4 and the products above.
void CompleteMoments(const Real* products, Real* moments) {
  moments[5] = products[3];
  moments[6] = 2 * products[0] - moments[0];
  moments[7] = 2 * products[1] - moments[1];
  moments[8] = 2 * products[2] - moments[0];
  moments[9] = 2 * products[4] - moments[1];
  moments[10] = 2 * products[5] - moments[0];
}

// cross[k] += sum of T_k(t) * w for k = From..To, and squares += sum of w^2 when asked.
template <int From, int To, bool Squares>
void AddCross(const SplitBlock& t, const SplitBlock& w, int n, Real* cross, Real* squares) {
  Real sum[To - From + 1] = {};
  Real square = 0;
  for (int i = 0; i < n; ++i) {
    const Real y = w.Get(i);
    if constexpr (Squares) square += y * y;
    if constexpr (From == 0) sum[0] += y;
    if constexpr (To >= 1) {
      const Real x = t.Get(i);
      const Real twoX = x + x;
      Real previous = 1;
      Real current = x;
      if constexpr (From <= 1) sum[1 - From] += current * y;
#pragma GCC unroll 16
      for (int k = 2; k <= To; ++k) {
        const Real next = twoX * current - previous;
        previous = current;
        current = next;
        if (k >= From) sum[k - From] += current * y;
      }
    }
  }
  for (int k = From; k <= To; ++k) cross[k] += sum[k - From];
  if constexpr (Squares) *squares += square;
}

// YFit of every point for a polynomial of the given order, without YFIT's call and member
// write per point. The coefficients above the order are 0 after a fit, and for a finite x
// leaving them out changes no bit of YFIT's value. Returns the last point's FitValueOk.
template <int Order>
bool FillPolynomial(const Real (&c)[6], Tdata* points, std::int32_t count) {
  bool ok = true;
  for (std::int32_t i = 0; i < count; ++i) {
    const Real x = points[i].X;
    Real y = c[Order];
#pragma GCC unroll 8
    for (int k = Order - 1; k >= 0; --k) y = y * x + c[k];
    ok = std::fabs(y) <= std::numeric_limits<Real>::max();
    points[i].YFit = ok ? y : 0;
    points[i].FitValid = ok;
  }
  return ok;
}

Real Ldexp(Real x, int e) {
  return e == 0 ? x : std::ldexp(x, e);
}

// The sums of the whole pass, with the ordinate taken about its running mean and scaled by
// 2^-exponent so that neither the squares nor the centring lose anything. Blocks join with
// the pairwise update of Chan, Golub and LeVeque, extended to the cross sums.
struct PassTotals {
  Real n = 0;
  Real mean = 0;
  int exponent = 0;
  Real moments[11] = {};
  Real cross[6] = {};
  Real squares = 0;

  void Join(Real blockN, Real blockMean, int blockExponent, const Real (&blockMoments)[11],
            Real (&blockCross)[6], Real blockSquares) {
    if (n == 0) {
      n = blockN;
      mean = blockMean;
      exponent = blockExponent;
      std::copy(blockMoments, blockMoments + 11, moments);
      std::copy(blockCross, blockCross + 6, cross);
      squares = blockSquares;
      return;
    }
    const int top = std::max(exponent, blockExponent);
    if (top != exponent) {
      for (Real& c : cross) c = Ldexp(c, exponent - top);
      squares = Ldexp(squares, 2 * (exponent - top));
      exponent = top;
    }
    if (top != blockExponent) {
      for (Real& c : blockCross) c = Ldexp(c, blockExponent - top);
      blockSquares = Ldexp(blockSquares, 2 * (blockExponent - top));
    }
    const Real total = n + blockN;
    const Real step = blockMean - mean;
    const Real delta = Ldexp(step, -top);
    for (int k = 0; k < 6; ++k) {
      cross[k] += blockCross[k] + delta * (n * blockMoments[k] - blockN * moments[k]) / total;
    }
    squares += blockSquares + delta * delta * (n * blockN / total);
    mean += step * (blockN / total);
    for (int k = 0; k < 11; ++k) moments[k] += blockMoments[k];
    n = total;
  }
};

// Sums of t^j (j = 0..highest) from sums of T_j(t): t^j = 2^(1-j) sum_k C(j, k) T_(j-2k), the
// T_0 term halved for even j. Every coefficient is positive, so nothing cancels.
void ChebyshevToPowerSums(const Real* chebyshev, int highest, Real* powers) {
  for (int j = 0; j <= highest; ++j) {
    Real sum = 0;
    Real binomial = 1;
    for (int k = 0; 2 * k <= j; ++k) {
      const Real term = binomial * chebyshev[j - 2 * k];
      sum += 2 * k == j ? term / 2 : term;
      binomial = binomial * (j - k) / (k + 1);
    }
    powers[j] = std::ldexp(sum, 1 - j);
  }
}

// Sums of u^k (k = 0..highest) for u = center + width * t from the sums of t^j.
void ShiftPowerSums(const Real* tSums, int highest, Real center, Real width, Real* uSums) {
  Real centerPower[11];
  Real widthPower[11];
  centerPower[0] = widthPower[0] = 1;
  for (int k = 1; k <= highest; ++k) {
    centerPower[k] = centerPower[k - 1] * center;
    widthPower[k] = widthPower[k - 1] * width;
  }
  for (int k = 0; k <= highest; ++k) {
    Real sum = 0;
    Real binomial = 1;
    for (int j = 0; j <= k; ++j) {
      sum += binomial * centerPower[k - j] * widthPower[j] * tSums[j];
      binomial = binomial * (k - j) / (j + 1);
    }
    uSums[k] = sum;
  }
}

// The n x n matrix at m, row by row, as the helper of that size takes it.
template <std::size_t n>
std::array<Real, n * n> AsArray(const Real* m) {
  std::array<Real, n * n> a;
  std::copy(m, m + n * n, a.begin());
  return a;
}

// The determinant of a general n x n matrix from the helpers of that size.
Real GeneralDeterminant(int n, const Real* m) {
  switch (n) {
    case 3:
      return TFitObj::MX3(AsArray<3>(m));
    case 4:
      return TFitObj::MX4(AsArray<4>(m));
    case 5:
      return TFitObj::MX5(AsArray<5>(m));
    case 6:
      return TFitObj::MX6(AsArray<6>(m));
    default:
      return 0;
  }
}

// The matrix m without the given row and column.
template <std::size_t n>
std::array<Real, (n - 1) * (n - 1)> Minor(const std::array<Real, n * n>& m, std::size_t row,
                                          std::size_t column) {
  std::array<Real, (n - 1) * (n - 1)> minor{};
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i == row) continue;
    for (std::size_t j = 0; j < n; ++j) {
      if (j != column) minor[k++] = m[i * n + j];
    }
  }
  return minor;
}

// The symmetric matrix whose entry (i, j) is s[i + j].
template <std::size_t n>
std::array<Real, n * n> Hankel(const std::array<Real, 2 * n - 1>& s) {
  std::array<Real, n * n> m{};
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) m[i * n + j] = s[i + j];
  }
  return m;
}

template <std::size_t n, typename Smaller>
Real ExpandFirstColumn(const std::array<Real, n * n>& m, Smaller smaller) {
  Real det = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const Real term = m[i * n] * smaller(Minor<n>(m, i, 0));
    det += i % 2 == 0 ? term : -term;
  }
  return det;
}

// Along the first row: the leading minor of a Hankel matrix is again one (values 2..2n-2).
template <std::size_t n, typename Symmetric, typename General>
Real ExpandHankel(const std::array<Real, 2 * n - 1>& s, Symmetric symmetric, General general) {
  const auto m = Hankel<n>(s);
  Real det = s[0] * symmetric(s);
  for (std::size_t j = 1; j < n; ++j) {
    const Real term = m[j] * general(Minor<n>(m, 0, j));
    det += j % 2 == 0 ? term : -term;
  }
  return det;
}

// factor * e^exponent, going through logarithms when the plain product would leave the range
// although the result need not.
Real ScaledExp(Real factor, Real exponent) {
  const Real plain = factor * std::exp(exponent);
  if ((std::isfinite(plain) && plain != 0) || !(factor > 0)) return plain;
  return std::exp(std::log(factor) + exponent);
}

// The fitted law of a kind at x, as YFIT gives it; ok tells whether it is a value.
Real FitValue(std::int32_t kind, const Real (&c)[6], Real x, bool* ok) {
  *ok = true;
  Real y = 0;
  switch (kind) {
    case kFitPower:
      if (!(x > 0)) {
        *ok = false;
        return 0;
      }
      y = ScaledExp(c[0], c[1] * std::log(x));
      break;
    case kFitExponential:
      y = ScaledExp(c[0], c[1] * x);
      break;
    case kFitNaturalLog:
      if (!(x > 0)) {
        *ok = false;
        return 0;
      }
      y = c[0] + c[1] * std::log(x);
      break;
    default:
      y = ((((c[5] * x + c[4]) * x + c[3]) * x + c[2]) * x + c[1]) * x + c[0];
      break;
  }
  // An overflowed value is no value: the graph skips it and the cell stays empty.
  if (!std::isfinite(y)) {
    *ok = false;
    return 0;
  }
  return y;
}

// Large series are summed in two contiguous parts, one on a helper thread, and the parts are
// joined first to second. How the points split depends on their count alone, never on the
// processor, so a fit gives the same bits on every machine and on every run; if no thread can
// be had the second part simply runs after the first, with the same result.
constexpr std::int32_t kSplitPoints = 1 << 15;

struct Split {
  int parts = 1;
  std::int32_t bounds[3] = {};  // part k covers [bounds[k], bounds[k + 1])
};

Split SplitPoints(std::int32_t count) {
  Split split;
  split.bounds[1] = count;
  if (count >= kSplitPoints) {
    split.parts = 2;
    split.bounds[1] = count / 2 / kBlock * kBlock;
    split.bounds[2] = count;
  }
  return split;
}

// What one part of the points contributes to the pass.
struct PassSetup {
  const Tdata* points = nullptr;
  bool logU = false;
  bool logV = false;
  Real center = 0;
  Real scale = 1;
  Real vFirst = 0;
};

struct PartSums {
  PassTotals totals;
  std::int64_t distinct = 0;
  bool allVEqual = true;
  Real vLargest = 0;
};

void SumPart(const PassSetup& setup, std::int32_t first, std::int32_t last, PartSums* out) {
  const bool logU = setup.logU;
  const bool logV = setup.logV;
  const Real center = setup.center;
  const Real scale = setup.scale;
  const Real vFirst = setup.vFirst;
  PassTotals& totals = out->totals;
  SplitBlock tBlock;
  SplitBlock wBlock;
  Real logs[kBlock];
  std::int64_t distinct = 0;
  bool allVEqual = true;
  Real vLargest = 0;
  // A part after the first goes on from the abscissa before it, so a run of equal X across
  // the seam counts once.
  Real previousU = std::numeric_limits<Real>::quiet_NaN();
  if (first > 0) {
    previousU = logU ? std::log(setup.points[first - 1].X) : Real{setup.points[first - 1].X};
  }
  for (std::int32_t begin = first; begin < last; begin += kBlock) {
    const int n = static_cast<int>(std::min<std::int32_t>(kBlock, last - begin));
    const Tdata* p = setup.points + begin;
    for (int i = 0; i < n; ++i) {
      const Real u = logU ? std::log(p[i].X) : Real{p[i].X};
      distinct += u != previousU;
      previousU = u;
      tBlock.Set(i, (u - center) * scale);
    }
    Real sum = 0;
    Real largest = 0;
    bool equal = true;
    for (int i = 0; i < n; ++i) {
      Real v = p[i].Y;
      if (logV) v = logs[i] = std::log(v);
      sum += v;
      largest = std::max(largest, std::fabs(v));
      equal &= v == vFirst;
    }
    allVEqual = allVEqual && equal;
    vLargest = std::max(vLargest, largest);
    const Real mean = sum / n;
    // w = (v - mean) / 2^exponent stays within [-1, 1].
    const int exponent = largest > 0 && std::isfinite(largest) ? std::ilogb(largest) + 2 : 0;
    const Real toW = std::ldexp(Real{1}, -exponent);
    for (int i = 0; i < n; ++i) wBlock.Set(i, ((logV ? logs[i] : Real{p[i].Y}) - mean) * toW);

    Real moments[11] = {static_cast<Real>(n)};
    Real cross[6] = {};
    Real squares = 0;
    Real products[6] = {};
    AddMoments<1, 4>(tBlock, n, moments);
    AddProducts(tBlock, n, products);
    CompleteMoments(products, moments);
    AddCross<0, 1, true>(tBlock, wBlock, n, cross, &squares);
    AddCross<2, 3, false>(tBlock, wBlock, n, cross, &squares);
    AddCross<4, 5, false>(tBlock, wBlock, n, cross, &squares);
    totals.Join(n, mean, exponent, moments, cross, squares);
  }
  out->distinct = distinct;
  out->allVEqual = allVEqual;
  out->vLargest = vLargest;
}

}  // namespace

int TFitObj::FitOrder(std::int32_t kind) {
  if (kind >= 1 && kind <= 5) return kind;
  if (kind >= kFitPower && kind <= kFitNaturalLog) return 1;
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Determinant helpers

Real TFitObj::MX3(const std::array<Real, 9>& m) {
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
         m[2] * (m[3] * m[7] - m[4] * m[6]);
}

Real TFitObj::MX4(const std::array<Real, 16>& m) {
  return ExpandFirstColumn<4>(m, [](const std::array<Real, 9>& a) { return MX3(a); });
}

Real TFitObj::MX5(const std::array<Real, 25>& m) {
  return ExpandFirstColumn<5>(m, [](const std::array<Real, 16>& a) { return MX4(a); });
}

Real TFitObj::MX6(const std::array<Real, 36>& m) {
  return ExpandFirstColumn<6>(m, [](const std::array<Real, 25>& a) { return MX5(a); });
}

Real TFitObj::MX33(Real a, Real b, Real c, Real d, Real e) {
  return a * (c * e - d * d) - b * (b * e - d * c) + c * (b * d - c * c);
}

Real TFitObj::MX44(Real a, Real b, Real c, Real d, Real e, Real f, Real g) {
  return ExpandHankel<4>(
      std::array<Real, 7>{a, b, c, d, e, f, g},
      [](const std::array<Real, 7>& s) { return MX33(s[2], s[3], s[4], s[5], s[6]); },
      [](const std::array<Real, 9>& m) { return MX3(m); });
}

Real TFitObj::MX55(Real a, Real b, Real c, Real d, Real e, Real f, Real g, Real h, Real i) {
  return ExpandHankel<5>(
      std::array<Real, 9>{a, b, c, d, e, f, g, h, i},
      [](const std::array<Real, 9>& s) { return MX44(s[2], s[3], s[4], s[5], s[6], s[7], s[8]); },
      [](const std::array<Real, 16>& m) { return MX4(m); });
}

Real TFitObj::MX66(Real a, Real b, Real c, Real d, Real e, Real f, Real g, Real h, Real i, Real j,
                   Real k) {
  return ExpandHankel<6>(
      std::array<Real, 11>{a, b, c, d, e, f, g, h, i, j, k},
      [](const std::array<Real, 11>& s) {
        return MX55(s[2], s[3], s[4], s[5], s[6], s[7], s[8], s[9], s[10]);
      },
      [](const std::array<Real, 25>& m) { return MX5(m); });
}

// ---------------------------------------------------------------------------------------------
// Evaluation

TFitObj::TFitObj(Series& series) : fit_(series.Fit), workspace_(&series.Owner()) {}

bool TFitObj::ParseModel() {
  if (!formulaRead_) {
    formulaRead_ = true;
    formula_ = ModelFormula::Parse(fit_.Model.Formula);
    parameters_ = fit_.Model.Values;
    if (formula_) parameters_.resize(formula_->Parameters().size(), 1.0);
  }
  return formula_.has_value();
}

Real TFitObj::YFIT(Real x) {
  if (fit_.FitKind == kFitUserModel) {
    // A refused model keeps the values of its last fit for the user, not for the curve.
    fit_.FitValueOk = false;
    if (!fit_.FitOk || !ParseModel()) return 0;
    const double y = formula_->Evaluate(static_cast<double>(x), parameters_.data());
    if (!std::isfinite(y)) return 0;
    fit_.FitValueOk = true;
    return y;
  }
  const Real c[6] = {fit_.A, fit_.B, fit_.C, fit_.D, fit_.E, fit_.F};
  return FitValue(fit_.FitKind, c, x, &fit_.FitValueOk);
}

// ---------------------------------------------------------------------------------------------
// Fitting

void TFitObj::RunFit() {
  fit_.FitOk = true;
  if (fit_.FitKind == kFitNone) return;
  fit_.LastRefusal = FitRefusal::None;
  const int order = FitOrder(fit_.FitKind);
  if (workspace_ == nullptr || workspace_->DataWindows.empty()) {
    fit_.FitOk = false;
    fit_.LastRefusal = FitRefusal::NoSeries;
    return;
  }
  Prompts& prompts = workspace_->prompts();
  if (order == 0 && fit_.FitKind != kFitUserModel) {  // a kind no fit exists for
    prompts.Beep();
    fit_.FitOk = false;
    fit_.LastRefusal = FitRefusal::UnknownKind;
    return;
  }
  Series* series = workspace_->FindSeries(fit_.FitSeriesNumber);
  if (series == nullptr) series = workspace_->DataWindows.front();
  if (fit_.FitKind == kFitUserModel) {
    RunModelFit(*series);
    return;
  }

  series->FitActive = false;
  series->SortByX(true);
  const std::int32_t count = series->PointCount;
  Tdata* points = series->Points.data();

  const bool logU = LogAbscissa(fit_.FitKind);
  const bool logV = LogOrdinate(fit_.FitKind);
  if (logU || logV) {
    for (std::int32_t i = 0; i < count; ++i) {
      if ((logU && !(points[i].X > 0)) || (logV && !(points[i].Y > 0))) {
        prompts.Beep();
        fit_.FitOk = false;
        fit_.LastRefusal = FitRefusal::Domain;
        return;
      }
    }
  }
  if (count < std::max(2, order + 1)) {
    prompts.Beep();
    fit_.FitOk = false;
    fit_.LastRefusal = FitRefusal::TooFewPoints;
    return;
  }

  // The rows are in ascending X, so u runs from the first row to the last; t = (u - center) *
  // scale maps that range onto [-1, 1], where the Chebyshev polynomials are nearly orthogonal.
  const Real uFirst = logU ? std::log(points[0].X) : Real{points[0].X};
  const Real uLast = logU ? std::log(points[count - 1].X) : Real{points[count - 1].X};
  const Real center = uFirst / 2 + uLast / 2;
  const Real halfRange = uLast / 2 - uFirst / 2;
  Real scale = halfRange > 0 ? 1 / halfRange : 1;
  if (!std::isfinite(scale)) scale = std::numeric_limits<Real>::max();
  const Real vFirst = logV ? std::log(points[0].Y) : Real{points[0].Y};

  const PassSetup setup{points, logU, logV, center, scale, vFirst};
  const Split split = SplitPoints(count);
  PartSums parts[2];
  RunParts(split.parts,
           [&](int k) { SumPart(setup, split.bounds[k], split.bounds[k + 1], &parts[k]); });
  PassTotals& totals = parts[0].totals;
  std::int64_t distinct = parts[0].distinct;
  bool allVEqual = parts[0].allVEqual;
  Real vLargest = parts[0].vLargest;
  for (int k = 1; k < split.parts; ++k) {
    PassTotals& more = parts[k].totals;
    totals.Join(more.n, more.mean, more.exponent, more.moments, more.cross, more.squares);
    distinct += parts[k].distinct;
    allVEqual = allVEqual && parts[k].allVEqual;
    vLargest = std::max(vLargest, parts[k].vLargest);
  }

  // The documented sums follow from the pass: powers of t, then powers of u = center + t / scale.
  Real tPowers[11];
  Real tCross[6];
  ChebyshevToPowerSums(totals.moments, 10, tPowers);
  ChebyshevToPowerSums(totals.cross, 5, tCross);
  const Real width = 1 / scale;
  Real uPowers[11];
  Real uCross[6];
  ShiftPowerSums(tPowers, 10, center, width, uPowers);
  ShiftPowerSums(tCross, 5, center, width, uCross);
  const Real mean = totals.mean;
  const int e = totals.exponent;
  fit_.N = count;
  Real* const powerSums[] = {&fit_.S1, &fit_.S2, &fit_.S3, &fit_.S4, &fit_.S5,
                             &fit_.S6, &fit_.S7, &fit_.S8, &fit_.S9, &fit_.S10};
  for (int k = 1; k <= 10; ++k) *powerSums[k - 1] = uPowers[k];
  const Real deviations = Ldexp(totals.cross[0], e);
  fit_.Sv = fit_.N * mean + deviations;
  fit_.Svv = fit_.N * mean * mean + 2 * mean * deviations + Ldexp(totals.squares, 2 * e);
  fit_.T1 = mean * fit_.S1 + Ldexp(uCross[1], e);
  fit_.T2 = mean * fit_.S2 + Ldexp(uCross[2], e);
  fit_.T3 = mean * fit_.S3 + Ldexp(uCross[3], e);
  fit_.T4 = mean * fit_.S4 + Ldexp(uCross[4], e);
  fit_.T5 = mean * fit_.S5 + Ldexp(uCross[5], e);
  fit_.Det = 0;

  fit_.Pass.order = order;
  std::copy(totals.moments, totals.moments + 11, fit_.Pass.moments);
  std::copy(totals.cross, totals.cross + 6, fit_.Pass.cross);
  fit_.Pass.squares = totals.squares;
  fit_.Pass.mean = mean;
  fit_.Pass.exponent = e;
  fit_.Pass.center = center;
  fit_.Pass.scale = scale;
  fit_.Pass.distinctU = distinct;
  fit_.Pass.allVEqual = allVEqual;
  fit_.Pass.uLargest = std::max(std::fabs(uFirst), std::fabs(uLast));
  fit_.Pass.vLargest = vLargest;

  fit_.ClearStoredValues();
  switch (order) {
    case 1:
      LINEAR();
      break;
    case 2:
      QUAD();
      break;
    case 3:
      CUBIC();
      break;
    case 4:
      FORTH();
      break;
    default:
      FIFTH();
      break;
  }
  // The pass belongs to this fit only; solving again later must not reuse it with other sums.
  fit_.Pass.order = -1;

  series->FitActive = true;
  // Every row's fitted value stands alone, so the parts of the pass fill them too; the last
  // part holds the last point, whose FitValueOk is the one that stays.
  const Real c[6] = {fit_.A, fit_.B, fit_.C, fit_.D, fit_.E, fit_.F};
  const std::int32_t kind = fit_.FitKind;
  bool lastOk[2] = {true, true};
  RunParts(split.parts, [&](int k) {
    Tdata* first = points + split.bounds[k];
    const std::int32_t n = split.bounds[k + 1] - split.bounds[k];
    switch (kind) {
      case 1:
        lastOk[k] = FillPolynomial<1>(c, first, n);
        break;
      case 2:
        lastOk[k] = FillPolynomial<2>(c, first, n);
        break;
      case 3:
        lastOk[k] = FillPolynomial<3>(c, first, n);
        break;
      case 4:
        lastOk[k] = FillPolynomial<4>(c, first, n);
        break;
      case 5:
        lastOk[k] = FillPolynomial<5>(c, first, n);
        break;
      default:
        for (std::int32_t i = 0; i < n; ++i) {
          bool ok = true;
          first[i].YFit = FitValue(kind, c, first[i].X, &ok);
          first[i].FitValid = ok;
          lastOk[k] = ok;
        }
        break;
    }
  });
  fit_.FitValueOk = lastOk[split.parts - 1];
  series->KeepIncompleteRows();
  series->FillGrid();
}

// The model through the complete points by FitModel. The formula and the solver work in
// doubles, so the parameters and the fit column carry a double's digits.
void TFitObj::RunModelFit(Series& series) {
  UserModel& model = fit_.Model;
  series.FitActive = false;
  fit_.ClearStoredValues();
  const std::optional<ModelFormula> formula = ModelFormula::Parse(model.Formula);
  if (!formula) {
    model.Why = "the formula does not read as a model";
    Refuse(FitRefusal::Model);
    return;
  }
  const std::size_t count = formula->Parameters().size();
  // Names the user set values for keep them wherever they now stand in the formula.
  std::vector<double> start(count, 1.0);
  std::vector<bool> fixed(count, false);
  for (std::size_t k = 0; k < count; ++k) {
    for (std::size_t j = 0; j < model.Names.size(); ++j) {
      if (model.Names[j] != formula->Parameters()[k]) continue;
      if (j < model.Start.size()) start[k] = model.Start[j];
      if (j < model.Fixed.size()) fixed[k] = model.Fixed[j];
    }
  }
  model.Names = formula->Parameters();
  model.Start = start;
  model.Fixed = fixed;

  series.SortByX(true);
  const auto points = static_cast<std::size_t>(series.PointCount);
  std::vector<double> xs(points), ys(points);
  for (std::size_t i = 0; i < points; ++i) {
    xs[i] = static_cast<double>(series.Points[i].X);
    ys[i] = static_cast<double>(series.Points[i].Y);
  }
  const ModelFitResult result = FitModel(*formula, xs, ys, start, fixed);
  if (!result.ok) {
    model.Why = result.why;
    Refuse(FitRefusal::Model);
    return;
  }
  model.Why.clear();
  model.Values.clear();
  model.Errors.clear();
  for (const ParameterEstimate& p : result.parameters) {
    model.Values.push_back(p.value);
    model.Errors.push_back(p.standardError);
  }
  model.Rss = result.rss;
  model.Dof = result.dof;
  model.Iterations = result.iterations;
  model.StopReason = result.stopReason;
  fit_.R2 = result.r2;
  fit_.N = static_cast<Real>(points);

  formula_ = formula;
  formulaRead_ = true;
  parameters_ = model.Values;
  series.FitActive = true;
  for (std::size_t i = 0; i < points; ++i) {
    Tdata& p = series.Points[i];
    p.YFit = YFIT(p.X);
    p.FitValid = fit_.FitValueOk;
  }
  series.KeepIncompleteRows();
  series.FillGrid();
}

void TFitObj::LINEAR() {
  Solve(1);
  if (!fit_.FitOk || (fit_.FitKind != kFitPower && fit_.FitKind != kFitExponential)) return;
  fit_.A = std::exp(fit_.A);
  // e^A beyond the extended range either way would make every fitted value 0 or infinite.
  if (!(fit_.A > 0) || !std::isfinite(fit_.A)) Refuse(FitRefusal::OutOfRange);
}

void TFitObj::QUAD() {
  Solve(2);
}
void TFitObj::CUBIC() {
  Solve(3);
}
void TFitObj::FORTH() {
  Solve(4);
}
void TFitObj::FIFTH() {
  Solve(5);
}

void TFitObj::Refuse(FitRefusal reason) {
  if (workspace_ != nullptr) workspace_->prompts().Beep();
  fit_.FitOk = false;
  fit_.LastRefusal = reason;
  fit_.ClearStoredValues();
}

void TFitObj::Solve(int order) {
  fit_.FitOk = true;
  fit_.LastRefusal = FitRefusal::None;
  switch (order) {
    case 1:
      fit_.Det = fit_.N * fit_.S2 - fit_.S1 * fit_.S1;
      break;
    case 2:
      fit_.Det = MX33(fit_.N, fit_.S1, fit_.S2, fit_.S3, fit_.S4);
      break;
    case 3:
      fit_.Det = MX44(fit_.N, fit_.S1, fit_.S2, fit_.S3, fit_.S4, fit_.S5, fit_.S6);
      break;
    case 4:
      fit_.Det =
          MX55(fit_.N, fit_.S1, fit_.S2, fit_.S3, fit_.S4, fit_.S5, fit_.S6, fit_.S7, fit_.S8);
      break;
    default:
      fit_.Det = MX66(fit_.N, fit_.S1, fit_.S2, fit_.S3, fit_.S4, fit_.S5, fit_.S6, fit_.S7,
                      fit_.S8, fit_.S9, fit_.S10);
      break;
  }
  if (fit_.Det == 0) {
    Refuse(FitRefusal::Singular);
    return;
  }
  if (fit_.Pass.order == order) {
    SolveFromPass(order);
  } else {
    SolveCramer(order);
  }
  if (!fit_.FitOk) return;
  for (const Real c : {fit_.A, fit_.B, fit_.C, fit_.D, fit_.E, fit_.F, fit_.R2}) {
    if (!std::isfinite(c)) {
      Refuse(FitRefusal::OutOfRange);
      return;
    }
  }
}

void TFitObj::SolveFromPass(int order) {
  const int n = order + 1;
  // Fewer distinct abscissas than coefficients: singular, however the rounding fell in Det.
  if (fit_.Pass.distinctU < n) {
    Refuse(FitRefusal::Singular);
    return;
  }
  // The Gram matrix of T_0..T_p over the points: T_j T_k = (T_(j+k) + T_|j-k|) / 2.
  Real g[6][6];
  for (int j = 0; j < n; ++j) {
    for (int k = 0; k < n; ++k) {
      g[j][k] = (fit_.Pass.moments[j + k] + fit_.Pass.moments[j > k ? j - k : k - j]) / 2;
    }
  }
  // g = l d l^T with a unit lower triangular l: no square roots, so a diagonal g (points
  // symmetric about the centre) gives the plain quotients b_k / g_kk.
  Real l[6][6] = {};
  Real d[6] = {};
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < i; ++j) {
      Real s = g[i][j];
      for (int k = 0; k < j; ++k) s -= l[i][k] * d[k] * l[j][k];
      l[i][j] = s / d[j];
    }
    Real diagonal = g[i][i];
    for (int k = 0; k < i; ++k) diagonal -= l[i][k] * d[k] * l[i][k];
    if (!(diagonal > 0)) {
      Refuse(FitRefusal::Singular);
      return;
    }
    d[i] = diagonal;
  }
  Real z[6] = {};
  for (int i = 0; i < n; ++i) {
    Real s = fit_.Pass.cross[i];
    for (int k = 0; k < i; ++k) s -= l[i][k] * z[k];
    z[i] = s;
  }
  Real y[6] = {};
  for (int i = n; i-- > 0;) {
    Real s = z[i] / d[i];
    for (int k = i + 1; k < n; ++k) s -= l[k][i] * y[k];
    y[i] = s;
  }

  // From T_0..T_p to powers of t (T_(k+1) = 2t T_k - T_(k-1)), then back to v's own units.
  Real c[6] = {};
  Real previous[6] = {1};
  Real current[6] = {0, 1};
  c[0] = y[0];
  for (int k = 1; k < n; ++k) {
    for (int j = 0; j <= k; ++j) c[j] += y[k] * current[j];
    Real next[6] = {};
    for (int j = 0; j < 6; ++j) next[j] = (j > 0 ? 2 * current[j - 1] : 0) - previous[j];
    std::copy(current, current + 6, previous);
    std::copy(next, next + 6, current);
  }
  for (int j = 0; j < n; ++j) c[j] = Ldexp(c[j], fit_.Pass.exponent);
  c[0] += fit_.Pass.mean;
  ToPowersOfU(order, c);
  // A term that stays below the rounding of the largest ordinate over the whole range of the
  // data is rounding itself: the line through (1, 2), (2, 4), (3, 6) has A = 0, not 1E-19.
  const Real noise = 8 * std::numeric_limits<Real>::epsilon() * fit_.Pass.vLargest;
  Real reach = 1;
  for (int k = 0; k <= order; ++k, reach *= fit_.Pass.uLargest) {
    if (std::fabs(c[k]) * reach <= noise) c[k] = 0;
  }
  fit_.A = c[0], fit_.B = c[1], fit_.C = c[2], fit_.D = c[3], fit_.E = c[4], fit_.F = c[5];

  if (fit_.Pass.allVEqual) {
    fit_.R2 = 1;
    workspace_->prompts().Beep();
    return;
  }
  // Both in the units of w^2; the explained part is sum b_k y_k less what the mean explains.
  const Real total =
      fit_.Pass.squares - fit_.Pass.cross[0] * fit_.Pass.cross[0] / fit_.Pass.moments[0];
  Real explained = -fit_.Pass.cross[0] * fit_.Pass.cross[0] / fit_.Pass.moments[0];
  for (int k = 0; k < n; ++k) explained += fit_.Pass.cross[k] * y[k];
  if (!(total > 0)) {
    fit_.R2 = 1;
    workspace_->prompts().Beep();
    return;
  }
  fit_.R2 = std::clamp(explained / total, Real{0}, Real{1});
}

// From powers of t = (u - center) * scale to powers of u: scale, then shift by the centre.
void TFitObj::ToPowersOfU(int order, Real (&c)[6]) const {
  // scale = fraction * 2^exponent; powers of the fraction stay small, the power of two is exact
  // and applied in one step so that no intermediate power leaves the range.
  const int exponent = std::ilogb(fit_.Pass.scale);
  const Real fraction = std::ldexp(fit_.Pass.scale, -exponent);
  Real power = 1;
  for (int j = 0; j <= order; ++j, power *= fraction) c[j] = Ldexp(c[j] * power, j * exponent);
  for (int i = 0; i < order; ++i) {
    for (int j = order - 1; j >= i; --j) c[j] -= fit_.Pass.center * c[j + 1];
  }
}

// Cramer's rule on the normal equations, for sums that came without a pass over the points.
void TFitObj::SolveCramer(int order) {
  const int n = order + 1;
  const Real s[11] = {fit_.N,  fit_.S1, fit_.S2, fit_.S3, fit_.S4, fit_.S5,
                      fit_.S6, fit_.S7, fit_.S8, fit_.S9, fit_.S10};
  const Real rhs[6] = {fit_.Sv, fit_.T1, fit_.T2, fit_.T3, fit_.T4, fit_.T5};
  Real c[6] = {};
  if (order == 1) {
    c[0] = (fit_.Sv * fit_.S2 - fit_.S1 * fit_.T1) / fit_.Det;
    c[1] = (fit_.N * fit_.T1 - fit_.S1 * fit_.Sv) / fit_.Det;
  } else {
    for (int k = 0; k < n; ++k) {
      Real m[36];
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) m[i * n + j] = j == k ? rhs[i] : s[i + j];
      }
      c[k] = GeneralDeterminant(n, m) / fit_.Det;
    }
  }
  fit_.A = c[0], fit_.B = c[1], fit_.C = c[2], fit_.D = c[3], fit_.E = c[4], fit_.F = c[5];

  const Real stot = fit_.Svv - fit_.Sv * fit_.Sv / fit_.N;
  if (stot == 0) {
    fit_.R2 = 1;
    if (workspace_ != nullptr) workspace_->prompts().Beep();
    return;
  }
  Real explained = 0;
  for (int k = 0; k < n; ++k) explained += c[k] * rhs[k];
  fit_.R2 = (explained - fit_.Sv * fit_.Sv / fit_.N) / stot;
}

}  // namespace tavel
