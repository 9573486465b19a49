#include "core/fit/fit_engine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/platform/prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

constexpr int kBlockRows = 64;
constexpr int kColumns = 7;

bool LogAbscissa(std::int32_t kind) {
  return kind == kFitPower || kind == kFitNaturalLog;
}
bool LogOrdinate(std::int32_t kind) {
  return kind == kFitPower || kind == kFitExponential;
}

// Below this a sum of squares may have lost bits to underflow.
constexpr Real kTinySquare =
    std::numeric_limits<Real>::min() / std::numeric_limits<Real>::epsilon();

// sqrt(alpha^2 + sum x^2) without overflow or underflow on the way.
Real SafeNorm(Real alpha, const Real* x, int n, Real sigma, Real amax) {
  const Real total = alpha * alpha + sigma;
  if (std::isfinite(total) && total > kTinySquare) return std::sqrt(total);
  amax = std::max(amax, std::fabs(alpha));
  if (!std::isfinite(amax)) return amax;
  const int e = std::ilogb(amax);
  Real scaled = std::ldexp(alpha, -e) * std::ldexp(alpha, -e);
  for (int b = 0; b < n; ++b) {
    const Real s = std::ldexp(x[b], -e);
    scaled += s * s;
  }
  return std::ldexp(std::sqrt(scaled), e);
}

// Householder QR of a tall matrix fed a row at a time. Rows wait in a small block and are
// folded into the triangular factor 64 at a time, so the square roots and divisions are paid
// per block, not per row, and the memory does not grow with the number of rows.
class StreamingQr {
 public:
  explicit StreamingQr(int columns) : columns_(columns) {}

  Real* Row(int column) { return &block_[column][rows_]; }
  void RowDone() {
    if (++rows_ == kBlockRows) Fold();
  }

  void Fold() {
    const int n = rows_;
    rows_ = 0;
    if (n == 0) return;
    for (int k = 0; k < columns_; ++k) {
      Real* x = block_[k];
      Real sigma0 = 0;
      Real sigma1 = 0;
      int b = 0;
      for (; b + 1 < n; b += 2) {
        sigma0 += x[b] * x[b];
        sigma1 += x[b + 1] * x[b + 1];
      }
      if (b < n) sigma0 += x[b] * x[b];
      const Real sigma = sigma0 + sigma1;
      const Real alpha = r_[k][k];
      Real norm = 0;
      if (std::isfinite(sigma) && sigma > kTinySquare && std::isfinite(alpha * alpha)) {
        norm = std::sqrt(alpha * alpha + sigma);
      } else {
        // Rare: entries so large or so small that their squares leave the range.
        Real amax = 0;
        for (b = 0; b < n; ++b) amax = std::max(amax, std::fabs(x[b]));
        if (amax == 0) continue;
        norm = SafeNorm(alpha, x, n, sigma, amax);
      }
      const Real beta = alpha > 0 ? -norm : norm;
      r_[k][k] = beta;
      if (k + 1 == columns_) break;
      const Real tau = (beta - alpha) / beta;
      const Real scale = 1 / (alpha - beta);
      for (int b = 0; b < n; ++b) x[b] *= scale;
      for (int j = k + 1; j < columns_; ++j) {
        Real* y = block_[j];
        // Two partial sums keep the adds from waiting on one another.
        Real dot0 = r_[k][j];
        Real dot1 = 0;
        b = 0;
        for (; b + 1 < n; b += 2) {
          dot0 += x[b] * y[b];
          dot1 += x[b + 1] * y[b + 1];
        }
        if (b < n) dot0 += x[b] * y[b];
        const Real step = tau * (dot0 + dot1);
        r_[k][j] -= step;
        for (b = 0; b < n; ++b) y[b] -= step * x[b];
      }
    }
  }

  Real r_[kColumns][kColumns] = {};

 private:
  int columns_;
  int rows_ = 0;
  Real block_[kColumns][kBlockRows] = {};
};

// The determinant of a general n x n matrix from the helpers of that size.
Real GeneralDeterminant(int n, const Real* m) {
  switch (n) {
    case 3: {
      std::array<Real, 9> a;
      std::copy(m, m + 9, a.begin());
      return TFitObj::MX3(a);
    }
    case 4: {
      std::array<Real, 16> a;
      std::copy(m, m + 16, a.begin());
      return TFitObj::MX4(a);
    }
    case 5: {
      std::array<Real, 25> a;
      std::copy(m, m + 25, a.begin());
      return TFitObj::MX5(a);
    }
    case 6: {
      std::array<Real, 36> a;
      std::copy(m, m + 36, a.begin());
      return TFitObj::MX6(a);
    }
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

Real TFitObj::YFIT(Real x) {
  FitValueOk = true;
  Real y = 0;
  switch (FitKind) {
    case kFitPower:
      if (!(x > 0)) {
        FitValueOk = false;
        return 0;
      }
      y = ScaledExp(A, B * std::log(x));
      break;
    case kFitExponential:
      y = ScaledExp(A, B * x);
      break;
    case kFitNaturalLog:
      if (!(x > 0)) {
        FitValueOk = false;
        return 0;
      }
      y = A + B * std::log(x);
      break;
    default:
      y = ((((F * x + E) * x + D) * x + C) * x + B) * x + A;
      break;
  }
  // An overflowed value is no value: the graph skips it and the cell stays empty.
  if (!std::isfinite(y)) {
    FitValueOk = false;
    return 0;
  }
  return y;
}

// ---------------------------------------------------------------------------------------------
// Fitting

void TFitObj::RunFit() {
  FitOk = true;
  if (FitKind == kFitNone) return;
  const int order = FitOrder(FitKind);
  if (workspace_ == nullptr || workspace_->DataWindows.empty()) {
    FitOk = false;
    return;
  }
  Prompts& prompts = workspace_->prompts();
  if (order == 0) {  // a kind no fit exists for, from a damaged graph file
    prompts.Beep();
    FitOk = false;
    return;
  }
  Series* series = workspace_->FindSeries(FitSeriesNumber);
  if (series == nullptr) series = workspace_->DataWindows.front();

  series->FitActive = false;
  series->SortByX(true);
  const std::int32_t count = series->PointCount;
  Tdata* points = series->Points.data();

  const bool logU = LogAbscissa(FitKind);
  const bool logV = LogOrdinate(FitKind);
  for (std::int32_t i = 0; i < count; ++i) {
    if ((logU && !(points[i].X > 0)) || (logV && !(points[i].Y > 0))) {
      prompts.Beep();
      FitOk = false;
      return;
    }
  }
  if (count < std::max(2, order + 1)) {
    prompts.Beep();
    FitOk = false;
    return;
  }

  // The rows are in ascending X, so u runs from the first row to the last. Centring on the
  // middle of that range and dividing by a power of two (exact) keeps t within [-1, 1].
  const Real uFirst = logU ? std::log(points[0].X) : points[0].X;
  const Real uLast = logU ? std::log(points[count - 1].X) : points[count - 1].X;
  const Real center = uFirst / 2 + uLast / 2;
  int scaleExponent = 0;
  std::frexp(uLast / 2 - uFirst / 2, &scaleExponent);
  const Real inverseScale = std::ldexp(Real{1}, -scaleExponent);

  Real s1 = 0, s2 = 0, s3 = 0, s4 = 0, s5 = 0, s6 = 0, s7 = 0, s8 = 0, s9 = 0, s10 = 0;
  Real sv = 0, svv = 0, t1 = 0, t2 = 0, t3 = 0, t4 = 0, t5 = 0;
  StreamingQr qr(order + 2);
  std::int32_t distinct = 0;
  bool allVEqual = true;
  const Real vFirst = logV ? std::log(points[0].Y) : points[0].Y;
  Real previousU = 0;
  Real vLargest = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const Real u = logU ? std::log(points[i].X) : points[i].X;
    const Real v = logV ? std::log(points[i].Y) : points[i].Y;
    if (i == 0 || u != previousU) ++distinct;
    previousU = u;
    if (v != vFirst) allVEqual = false;
    vLargest = std::max(vLargest, std::fabs(v));

    const Real u2 = u * u, u3 = u2 * u, u4 = u3 * u, u5 = u4 * u;
    const Real u6 = u5 * u, u7 = u6 * u, u8 = u7 * u, u9 = u8 * u, u10 = u9 * u;
    s1 += u;
    s2 += u2;
    s3 += u3;
    s4 += u4;
    s5 += u5;
    s6 += u6;
    s7 += u7;
    s8 += u8;
    s9 += u9;
    s10 += u10;
    sv += v;
    svv += v * v;
    t1 += v * u;
    t2 += v * u2;
    t3 += v * u3;
    t4 += v * u4;
    t5 += v * u5;

    const Real t = (u - center) * inverseScale;
    Real power = 1;
    for (int k = 0; k <= order; ++k) {
      *qr.Row(k) = power;
      power *= t;
    }
    *qr.Row(order + 1) = v;
    qr.RowDone();
  }
  qr.Fold();

  S1 = s1, S2 = s2, S3 = s3, S4 = s4, S5 = s5, S6 = s6, S7 = s7, S8 = s8, S9 = s9, S10 = s10;
  Sv = sv, Svv = svv, T1 = t1, T2 = t2, T3 = t3, T4 = t4, T5 = t5;
  N = count;
  Det = 0;
  qrOrder_ = order;
  for (int i = 0; i < kMaxColumns; ++i) {
    for (int j = 0; j < kMaxColumns; ++j) qrR_[i][j] = qr.r_[i][j];
  }
  qrCenter_ = center;
  qrScaleExponent_ = scaleExponent;
  distinctU_ = distinct;
  allVEqual_ = allVEqual;
  uLargest_ = std::max(std::fabs(uFirst), std::fabs(uLast));
  vLargest_ = vLargest;

  ClearStoredValues();
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
  qrOrder_ = -1;

  series->FitActive = true;
  for (std::int32_t i = 0; i < count; ++i) {
    points[i].YFit = YFIT(points[i].X);
    points[i].FitValid = FitValueOk;
  }
  series->FillGrid();
}

void TFitObj::LINEAR() {
  Solve(1);
  if (!FitOk || (FitKind != kFitPower && FitKind != kFitExponential)) return;
  A = std::exp(A);
  // e^A beyond the extended range either way would make every fitted value 0 or infinite.
  if (!(A > 0) || !std::isfinite(A)) Refuse();
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

void TFitObj::Refuse() {
  if (workspace_ != nullptr) workspace_->prompts().Beep();
  FitOk = false;
  ClearStoredValues();
}

void TFitObj::Solve(int order) {
  FitOk = true;
  switch (order) {
    case 1:
      Det = N * S2 - S1 * S1;
      break;
    case 2:
      Det = MX33(N, S1, S2, S3, S4);
      break;
    case 3:
      Det = MX44(N, S1, S2, S3, S4, S5, S6);
      break;
    case 4:
      Det = MX55(N, S1, S2, S3, S4, S5, S6, S7, S8);
      break;
    default:
      Det = MX66(N, S1, S2, S3, S4, S5, S6, S7, S8, S9, S10);
      break;
  }
  if (Det == 0) {
    Refuse();
    return;
  }
  if (qrOrder_ == order) {
    Real t[6] = {};
    SolveStable(order, t);
  } else {
    SolveCramer(order);
  }
  if (!FitOk) return;
  for (const Real c : {A, B, C, D, E, F, R2}) {
    if (!std::isfinite(c)) {
      Refuse();
      return;
    }
  }
}

void TFitObj::SolveStable(int order, Real (&t)[6]) {
  const int v = order + 1;
  // Fewer distinct abscissas than coefficients: singular, however the rounding fell in Det.
  if (distinctU_ < order + 1) {
    Refuse();
    return;
  }
  for (int i = order; i >= 0; --i) {
    if (qrR_[i][i] == 0) {
      Refuse();
      return;
    }
    Real s = qrR_[i][v];
    for (int j = i + 1; j <= order; ++j) s -= qrR_[i][j] * t[j];
    t[i] = s / qrR_[i][i];
  }
  Real c[6] = {t[0], t[1], t[2], t[3], t[4], t[5]};
  ToPowersOfU(order, c);
  // A term that stays below the rounding of the largest ordinate over the whole range of the
  // data is rounding itself: the line through (1, 2), (2, 4), (3, 6) has A = 0, not 1E-19.
  const Real noise = 8 * std::numeric_limits<Real>::epsilon() * vLargest_;
  Real reach = 1;
  for (int k = 0; k <= order; ++k, reach *= uLargest_) {
    if (std::fabs(c[k]) * reach <= noise) c[k] = 0;
  }
  A = c[0], B = c[1], C = c[2], D = c[3], E = c[4], F = c[5];

  // R2 from the rotated ordinate: its parts along t..t^p are what the fit explains and the
  // last diagonal entry is the residual norm, so nothing cancels (the textbook
  // (sum c_k T_k - Sv^2/N) / Stot subtracts numbers that agree to most of their digits).
  if (allVEqual_) {
    R2 = 1;
    workspace_->prompts().Beep();
    return;
  }
  Real largest = 0;
  for (int i = 1; i <= v; ++i) largest = std::max(largest, std::fabs(qrR_[i][v]));
  if (largest == 0 || !std::isfinite(largest)) {
    R2 = largest == 0 ? 1 : 0;
    if (largest == 0) workspace_->prompts().Beep();
    return;
  }
  const int e = std::ilogb(largest);
  Real explained = 0;
  for (int i = 1; i <= order; ++i) {
    const Real s = std::ldexp(qrR_[i][v], -e);
    explained += s * s;
  }
  const Real residual = std::ldexp(qrR_[v][v], -e);
  R2 = explained / (explained + residual * residual);
}

// From powers of t = (u - center) / 2^e to powers of u: scale, then shift by the centre.
void TFitObj::ToPowersOfU(int order, Real (&c)[6]) const {
  for (int j = 0; j <= order; ++j) c[j] = std::ldexp(c[j], -j * qrScaleExponent_);
  for (int i = 0; i < order; ++i) {
    for (int j = order - 1; j >= i; --j) c[j] -= qrCenter_ * c[j + 1];
  }
}

// Cramer's rule on the normal equations, for sums that came without a pass over the points.
void TFitObj::SolveCramer(int order) {
  const int n = order + 1;
  const Real s[11] = {N, S1, S2, S3, S4, S5, S6, S7, S8, S9, S10};
  const Real rhs[6] = {Sv, T1, T2, T3, T4, T5};
  Real c[6] = {};
  if (order == 1) {
    c[0] = (Sv * S2 - S1 * T1) / Det;
    c[1] = (N * T1 - S1 * Sv) / Det;
  } else {
    for (int k = 0; k < n; ++k) {
      Real m[36];
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) m[i * n + j] = j == k ? rhs[i] : s[i + j];
      }
      c[k] = GeneralDeterminant(n, m) / Det;
    }
  }
  A = c[0], B = c[1], C = c[2], D = c[3], E = c[4], F = c[5];

  const Real stot = Svv - Sv * Sv / N;
  if (stot == 0) {
    R2 = 1;
    if (workspace_ != nullptr) workspace_->prompts().Beep();
    return;
  }
  Real explained = 0;
  for (int k = 0; k < n; ++k) explained += c[k] * rhs[k];
  R2 = (explained - Sv * Sv / N) / stot;
}

}  // namespace tavel
