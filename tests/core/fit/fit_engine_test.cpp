#include "core/fit/fit_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

__extension__ typedef __float128 Quad;

struct Point {
  Real x, y;
};

class FitFixture {
 public:
  explicit FitFixture(std::int32_t rows = 10) {
    workspace.Settings.NextDataSize = rows;
    series = &workspace.CreateSeries();
  }
  void Load(const std::vector<Point>& points) {
    std::int32_t row = 1;
    for (const Point& p : points) {
      series->Cells.SetNumber(row, kXColumn, p.x);
      series->Cells.SetNumber(row, kYColumn, p.y);
      ++row;
    }
  }
  FitResult& Fit(std::int32_t kind, const std::vector<Point>& points) {
    Load(points);
    series->Fit.FitKind = kind;
    TFitObj(*series).RunFit();
    return series->Fit;
  }

  testing::ScriptedPrompts prompts;
  Workspace workspace{prompts};
  Series* series = nullptr;
};

// Close to the expected value in relative terms, or in absolute terms near 0.
void ExpectNear(Real actual, Real expected, Real tolerance = 1e-15L) {
  const Real scale = std::fabs(expected) > 1 ? std::fabs(expected) : 1;
  EXPECT_LE(std::fabs(actual - expected), tolerance * scale)
      << "actual " << static_cast<double>(actual) << " expected " << static_cast<double>(expected);
}

// ---------------------------------------------------------------------------------------------
// The worked examples

struct WorkedCase {
  const char* name;
  std::int32_t kind;
  std::vector<Point> points;
  bool fitOk;
  bool fitActive;
  int beeps;
  std::vector<Real> coefficients;  // A, B, C, ... (all 0 when refused)
  Real r2;
};

class WorkedExampleTest : public ::testing::TestWithParam<WorkedCase> {};

TEST_P(WorkedExampleTest, GivesTheDocumentedResult) {
  const WorkedCase& c = GetParam();
  FitFixture f;
  const FitResult& fit = f.Fit(c.kind, c.points);
  EXPECT_EQ(fit.FitOk, c.fitOk);
  EXPECT_EQ(f.series->FitActive, c.fitActive);
  EXPECT_EQ(f.prompts.beeps, c.beeps);
  const Real got[6] = {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F};
  for (std::size_t k = 0; k < 6; ++k) {
    SCOPED_TRACE("coefficient " + std::to_string(k));
    ExpectNear(got[k], k < c.coefficients.size() ? c.coefficients[k] : 0);
  }
  ExpectNear(fit.R2, c.r2);
}

const Real kLn2 = std::log(2.0L);

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkedExampleTest,
    ::testing::Values(
        WorkedCase{"LinearExact", 1, {{1, 2}, {2, 4}, {3, 6}}, true, true, 0, {0, 2}, 1},
        WorkedCase{"LinearScatter",
                   1,
                   {{1, 3}, {2, 5}, {3, 4}, {4, 6}},
                   true,
                   true,
                   0,
                   {2.5L, 0.8L},
                   0.64L},
        WorkedCase{
            "QuadraticExact", 2, {{0, 1}, {1, 3}, {2, 7}, {3, 13}}, true, true, 0, {1, 1, 1}, 1},
        WorkedCase{"ConstantYBeeps", 1, {{1, 5}, {2, 5}, {3, 5}, {4, 5}}, true, true, 1, {5, 0}, 1},
        WorkedCase{"AllXEqualIsSingular", 1, {{2, 1}, {2, 3}, {2, 5}}, false, true, 1, {}, 0},
        // Det of these sums is not exactly 0 after rounding, but the fit is just as singular.
        WorkedCase{"AllXEqualInexact", 1, {{0.1L, 1}, {0.1L, 3}, {0.1L, 7}}, false, true, 1, {}, 0},
        WorkedCase{"CubicThroughThreePoints", 3, {{1, 1}, {2, 3}, {3, 2}}, false, false, 1, {}, 0},
        WorkedCase{"OnePoint", 1, {{1, 1}}, false, false, 1, {}, 0},
        WorkedCase{"PowerWithXZero", 6, {{0, 1}, {1, 2}, {2, 4}}, false, false, 1, {}, 0},
        WorkedCase{
            "ExponentialOfTheSameData", 7, {{0, 1}, {1, 2}, {2, 4}}, true, true, 0, {1, kLn2}, 1},
        WorkedCase{"ExponentialWithYZero", 7, {{0, 1}, {1, 0}, {2, 4}}, false, false, 1, {}, 0},
        WorkedCase{"LogWithXNegative", 8, {{-1, 1}, {1, 2}, {2, 4}}, false, false, 1, {}, 0},
        WorkedCase{"ExponentialTwoAndHalf",
                   7,
                   {{0, 2},
                    {1, 2 * std::exp(0.5L)},
                    {2, 2 * std::exp(1.0L)},
                    {3, 2 * std::exp(1.5L)},
                    {4, 2 * std::exp(2.0L)}},
                   true,
                   true,
                   0,
                   {2, 0.5L},
                   1},
        WorkedCase{
            "PowerLaw", 6, {{1, 3}, {4, 24}, {9, 81}, {16, 192}}, true, true, 0, {3, 1.5L}, 1},
        WorkedCase{"NaturalLog",
                   8,
                   {{1, 1}, {std::exp(1.0L), 3}, {std::exp(2.0L), 5}},
                   true,
                   true,
                   0,
                   {1, 2},
                   1},
        WorkedCase{"SmallTermKept",
                   2,
                   {{0, 0}, {1, 1 + 1e-9L}, {2, 2 + 4e-9L}, {3, 3 + 9e-9L}},
                   true,
                   true,
                   0,
                   {0, 1, 1e-9L},
                   1},
        WorkedCase{"UnknownKind", 9, {{1, 1}, {2, 2}}, false, false, 1, {}, 0}),
    [](const ::testing::TestParamInfo<WorkedCase>& test) { return test.param.name; });

TEST(FitEngineTest, SimpleDataGivesExactCoefficients) {
  // What the fit dialog shows: "0", not a stray 1E-19.
  FitFixture f;
  const FitResult& fit = f.Fit(1, {{1, 2}, {2, 4}, {3, 6}});
  EXPECT_EQ(fit.A, 0);
  ExpectNear(fit.B, 2);
  EXPECT_EQ(fit.R2, 1);
}

TEST(FitEngineTest, KindZeroChangesNothing) {
  FitFixture f;
  f.Fit(1, {{1, 3}, {2, 5}, {3, 4}, {4, 6}});
  f.series->Fit.FitKind = kFitNone;
  TFitObj(*f.series).RunFit();
  EXPECT_TRUE(f.series->Fit.FitOk);
  EXPECT_TRUE(f.series->FitActive);
  ExpectNear(f.series->Fit.A, 2.5L);
}

TEST(FitEngineTest, SingularFitFillsTheColumnWithZeros) {
  FitFixture f;
  f.Fit(1, {{2, 1}, {2, 3}, {2, 5}});
  EXPECT_EQ(f.series->Fit.Det, 0);
  for (std::int32_t row = 1; row <= 3; ++row) {
    EXPECT_EQ(f.series->Cells.StateOf(row, kFitColumn), CellGrid::State::Number);
    EXPECT_EQ(f.series->Cells.Number(row, kFitColumn), 0);
  }
}

TEST(FitEngineTest, RefusalKeepsThePreviousFitAndItsColumn) {
  FitFixture f;
  f.Fit(1, {{1, 2}, {2, 4}, {3, 6}});
  const Real sums = f.series->Fit.S2;
  f.series->Cells.SetNumber(1, kXColumn, -1);  // now out of the log fit's domain
  f.series->Fit.FitKind = kFitNaturalLog;
  TFitObj(*f.series).RunFit();
  EXPECT_FALSE(f.series->Fit.FitOk);
  EXPECT_FALSE(f.series->FitActive);
  ExpectNear(f.series->Fit.B, 2);
  EXPECT_EQ(f.series->Fit.S2, sums);
  ExpectNear(f.series->Cells.Number(3, kFitColumn), 6);
}

TEST(FitEngineTest, FitReordersTheRowsAndFillsTheFitColumn) {
  FitFixture f(6);
  Series& s = *f.series;
  s.Cells.SetNumber(1, kXColumn, 3);
  s.Cells.SetNumber(1, kYColumn, 9);
  s.Cells.SetNumber(2, kXColumn, 7);  // no Y: kept after the points
  s.Cells.SetNumber(3, kXColumn, 1);
  s.Cells.SetNumber(3, kYColumn, 1);
  s.Cells.SetNumber(5, kXColumn, 2);
  s.Cells.SetNumber(5, kYColumn, 4);
  s.Cells.SetNumber(6, kYColumn, 5);  // no X: kept after the points
  s.Fit.FitKind = 2;
  TFitObj(s).RunFit();
  ASSERT_TRUE(s.Fit.FitOk);
  EXPECT_TRUE(s.FitActive);
  const Real xs[3] = {1, 2, 3};
  for (std::int32_t row = 1; row <= 3; ++row) {
    const Real x = xs[row - 1];
    EXPECT_EQ(s.Cells.Number(row, kXColumn), x);
    EXPECT_EQ(s.Cells.Number(row, kYColumn), x * x);
    ExpectNear(s.Cells.Number(row, kFitColumn), x * x);
    EXPECT_TRUE(s.Points[static_cast<std::size_t>(row - 1)].FitValid);
  }
  // Rows holding only X or only Y are typed data: they follow, cells unchanged.
  EXPECT_EQ(s.Cells.Text(4, kXColumn) + "|" + s.Cells.Text(4, kYColumn), "7|");
  EXPECT_EQ(s.Cells.Text(5, kXColumn) + "|" + s.Cells.Text(5, kYColumn), "|5");
  for (std::int32_t row = 4; row <= 6; ++row) EXPECT_TRUE(s.Cells.IsEmpty(row, kFitColumn)) << row;
  EXPECT_TRUE(s.Cells.IsEmpty(6, kXColumn) && s.Cells.IsEmpty(6, kYColumn));
}

TEST(FitEngineTest, FitsTheSeriesOfItsOwnNumber) {
  FitFixture f;
  f.Load({{1, 1}, {2, 2}});
  Series& second = f.workspace.CreateSeries();
  second.Cells.SetNumber(1, kXColumn, 1);
  second.Cells.SetNumber(1, kYColumn, 10);
  second.Cells.SetNumber(2, kXColumn, 2);
  second.Cells.SetNumber(2, kYColumn, 30);
  second.Fit.FitKind = 1;
  TFitObj(second).RunFit();
  ExpectNear(second.Fit.B, 20);
  EXPECT_TRUE(second.FitActive);
  EXPECT_FALSE(f.series->FitActive);
}

TEST(FitEngineTest, YfitOutsideTheDomain) {
  FitFixture f;
  FitResult& log = f.Fit(8, {{1, 1}, {std::exp(1.0L), 3}});
  EXPECT_EQ(TFitObj(log).YFIT(-1), 0);
  EXPECT_FALSE(log.FitValueOk);
  ExpectNear(TFitObj(log).YFIT(1), 1);
  EXPECT_TRUE(log.FitValueOk);

  FitResult exponential;
  exponential.FitKind = kFitExponential;
  exponential.A = 2;
  exponential.B = 0.5L;
  ExpectNear(TFitObj(exponential).YFIT(-1), 2 * std::exp(-0.5L));
  EXPECT_TRUE(exponential.FitValueOk);

  FitResult power;
  power.FitKind = kFitPower;
  power.A = 3;
  power.B = 2;
  EXPECT_EQ(TFitObj(power).YFIT(0), 0);
  EXPECT_FALSE(power.FitValueOk);
  ExpectNear(TFitObj(power).YFIT(2), 12);
}

TEST(FitEngineTest, YfitBeyondTheRangeIsNoValue) {
  FitResult poly;
  poly.FitKind = 5;
  poly.F = 1;
  EXPECT_EQ(TFitObj(poly).YFIT(1e1000L), 0);
  EXPECT_FALSE(poly.FitValueOk);

  // A huge factor times a tiny exponential is still an ordinary number.
  FitResult exponential;
  exponential.FitKind = kFitExponential;
  exponential.A = 1e4000L;
  exponential.B = -1;
  ExpectNear(TFitObj(exponential).YFIT(20000), std::exp(std::log(1e4000L) - 20000), 1e-12L);
  EXPECT_TRUE(exponential.FitValueOk);
}

// ---------------------------------------------------------------------------------------------
// Overflow: sums beyond the range, e^A beyond the range

TEST(FitEngineTest, OverflowingSumsDoNotStopTheFit) {
  // u^4 is beyond the extended range, so S4 and Det are not numbers; the coefficients need
  // neither.
  FitFixture f;
  std::vector<Point> points;
  for (int i = 1; i <= 5; ++i) {
    const Real x = i * 1e1500L;
    points.push_back({x, 7 + x * x});
  }
  const FitResult& fit = f.Fit(2, points);
  EXPECT_FALSE(std::isfinite(fit.S4));
  EXPECT_TRUE(fit.FitOk);
  ExpectNear(fit.C, 1, 1e-15L);
  ExpectNear(f.series->Cells.Number(5, kFitColumn), points[4].y, 1e-15L);
}

TEST(FitEngineTest, ExponentialFactorBeyondTheRangeIsRefused) {
  FitFixture f;
  std::vector<Point> points;
  for (int i = 0; i <= 5; ++i) points.push_back({20000.0L + i, std::exp(-1.0L * i)});
  const FitResult& fit = f.Fit(7, points);
  EXPECT_FALSE(fit.FitOk);
  EXPECT_EQ(fit.A, 0);
  EXPECT_EQ(f.prompts.beeps, 1);
}

// ---------------------------------------------------------------------------------------------
// Accuracy against a reference computed in 113-bit arithmetic

// Least squares by Householder QR on the columns 1, x, ..., x^p in quad precision.
std::vector<Quad> ReferenceFit(const std::vector<Point>& points, int order) {
  const std::size_t rows = points.size();
  const std::size_t cols = static_cast<std::size_t>(order) + 1;
  std::vector<std::vector<Quad>> a(rows, std::vector<Quad>(cols + 1));
  for (std::size_t i = 0; i < rows; ++i) {
    Quad power = 1;
    for (std::size_t j = 0; j < cols; ++j) {
      a[i][j] = power;
      power *= static_cast<Quad>(points[i].x);
    }
    a[i][cols] = static_cast<Quad>(points[i].y);
  }
  for (std::size_t k = 0; k < cols; ++k) {
    Quad norm2 = 0;
    for (std::size_t i = k; i < rows; ++i) norm2 += a[i][k] * a[i][k];
    // Newton's iteration for the square root, from a long double start.
    Quad norm = std::sqrt(static_cast<Real>(norm2));
    for (int it = 0; it < 4; ++it) norm = (norm + norm2 / norm) / 2;
    const Quad beta = a[k][k] > 0 ? -norm : norm;
    std::vector<Quad> v(rows, 0);
    v[k] = a[k][k] - beta;
    for (std::size_t i = k + 1; i < rows; ++i) v[i] = a[i][k];
    Quad vv = 0;
    for (std::size_t i = k; i < rows; ++i) vv += v[i] * v[i];
    for (std::size_t j = k; j <= cols; ++j) {
      Quad dot = 0;
      for (std::size_t i = k; i < rows; ++i) dot += v[i] * a[i][j];
      for (std::size_t i = k; i < rows; ++i) a[i][j] -= 2 * dot / vv * v[i];
    }
  }
  std::vector<Quad> c(cols);
  for (std::size_t i = cols; i-- > 0;) {
    Quad s = a[i][cols];
    for (std::size_t j = i + 1; j < cols; ++j) s -= a[i][j] * c[j];
    c[i] = s / a[i][i];
  }
  return c;
}

Quad ReferenceR2(const std::vector<Point>& points, const std::vector<Quad>& c) {
  Quad mean = 0;
  for (const Point& p : points) mean += static_cast<Quad>(p.y);
  mean /= static_cast<Quad>(points.size());
  Quad total = 0, residual = 0;
  for (const Point& p : points) {
    Quad fit = 0;
    for (std::size_t k = c.size(); k-- > 0;) fit = fit * static_cast<Quad>(p.x) + c[k];
    const Quad d = static_cast<Quad>(p.y) - mean;
    const Quad r = static_cast<Quad>(p.y) - fit;
    total += d * d;
    residual += r * r;
  }
  return 1 - residual / total;
}

Real CorrectDigits(Real actual, Quad reference) {
  const Quad error = static_cast<Quad>(actual) - reference;
  const Real relative = std::fabs(static_cast<Real>(error / reference));
  return relative == 0 ? 30 : -std::log10(relative);
}

std::vector<Point> FifthOrderData(Real noise) {
  std::mt19937_64 random(20240531);
  std::uniform_real_distribution<double> uniform(-1, 1);
  std::vector<Point> points;
  for (int i = 0; i <= 20; ++i) {
    const Real x = i;
    const Real y = 1 + x + x * x + x * x * x + x * x * x * x + x * x * x * x * x;
    points.push_back({x, y + noise * static_cast<Real>(uniform(random))});
  }
  return points;
}

struct AccuracyCase {
  const char* name;
  Real noise;
};

class AccuracyTest : public ::testing::TestWithParam<AccuracyCase> {};

TEST_P(AccuracyTest, EveryCoefficientHasElevenDigits) {
  const auto points = FifthOrderData(GetParam().noise);
  FitFixture f(static_cast<std::int32_t>(points.size()));
  const FitResult& fit = f.Fit(5, points);
  ASSERT_TRUE(fit.FitOk);
  const auto reference = ReferenceFit(points, 5);
  const Real got[6] = {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F};
  for (std::size_t k = 0; k < 6; ++k) {
    const Real digits = CorrectDigits(got[k], reference[k]);
    EXPECT_GE(digits, 11) << "coefficient " << k;
    RecordProperty("digits" + std::to_string(k), std::to_string(static_cast<double>(digits)));
  }
  const Real r2Digits = CorrectDigits(fit.R2, ReferenceR2(points, reference));
  EXPECT_GE(r2Digits, 15);
  RecordProperty("digitsR2", std::to_string(static_cast<double>(r2Digits)));
}

INSTANTIATE_TEST_SUITE_P(Data, AccuracyTest,
                         ::testing::Values(AccuracyCase{"Exact", 0}, AccuracyCase{"Noisy", 5},
                                           AccuracyCase{"VeryNoisy", 20000}),
                         [](const auto& test) { return test.param.name; });

TEST(FitEngineTest, DataFarFromTheOriginKeepsItsDigits) {
  // Here the normal equations are hopeless and the textbook R2 formula subtracts sums that
  // agree to most of their digits.
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> uniform(-1, 1);
  std::vector<Point> points;
  for (int i = 0; i <= 40; ++i) {
    const Real s = i * 0.5L;
    points.push_back({1000 + s, 3 + 2 * s + 0.3L * s * s + 0.01L * s * s * s +
                                    0.5L * static_cast<Real>(uniform(random))});
  }
  for (int order = 1; order <= 5; ++order) {
    SCOPED_TRACE("order " + std::to_string(order));
    FitFixture f(41);
    const FitResult& fit = f.Fit(order, points);
    const auto reference = ReferenceFit(points, order);
    const Real got[6] = {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F};
    for (std::size_t k = 0; k <= static_cast<std::size_t>(order); ++k) {
      EXPECT_GE(CorrectDigits(got[k], reference[k]), 12) << "coefficient " << k;
    }
    EXPECT_GE(CorrectDigits(fit.R2, ReferenceR2(points, reference)), 15);
  }
}

// Large series are read, summed and written in two halves; the seams must not show.

TEST(FitEngineTest, LargeSeriesFitsAcrossTheSeamOfItsHalves) {
  // The grid's first half holds the larger abscissas and the second half the smaller, each
  // half ascending, so only the seam is out of order; the first half has gaps, so the packed
  // second half has to move down.
  constexpr std::int32_t kRows = 70001;
  FitFixture f(kRows);
  Series& s = *f.series;
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> uniform(-1, 1);
  std::vector<Point> points;
  for (std::int32_t row = 1; row <= kRows; ++row) {
    if (row <= kRows / 2 && row % 7 == 0) continue;
    const Real x = row <= kRows / 2 ? 1000 + row * 0.25L : (row - kRows / 2) * 0.01L;
    const Real y = 5 - 0.5L * x + 0.002L * x * x + static_cast<Real>(uniform(random));
    s.Cells.SetNumber(row, kXColumn, x);
    s.Cells.SetNumber(row, kYColumn, y);
    points.push_back({x, y});
  }
  s.Fit.FitKind = 2;
  TFitObj(s).RunFit();
  ASSERT_TRUE(s.Fit.FitOk);
  const std::int32_t count = static_cast<std::int32_t>(points.size());
  EXPECT_EQ(s.PointCount, count);

  const auto reference = ReferenceFit(points, 2);
  const Real got[3] = {s.Fit.A, s.Fit.B, s.Fit.C};
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_GE(CorrectDigits(got[k], reference[k]), 12) << "coefficient " << k;
  }
  EXPECT_GE(CorrectDigits(s.Fit.R2, ReferenceR2(points, reference)), 14);

  Real yMin = points[0].y, yMax = points[0].y;
  for (const Point& p : points) yMin = std::min(yMin, p.y), yMax = std::max(yMax, p.y);
  EXPECT_EQ(s.YMin, yMin);
  EXPECT_EQ(s.YMax, yMax);
  int misplaced = 0, wrongFits = 0;
  for (std::int32_t row = 2; row <= count; ++row) {
    misplaced += s.Cells.Number(row, kXColumn) < s.Cells.Number(row - 1, kXColumn);
  }
  for (std::int32_t row = 1; row <= count; ++row) {
    wrongFits += s.Cells.Number(row, kFitColumn) != TFitObj(s).YFIT(s.Cells.Number(row, kXColumn));
  }
  EXPECT_EQ(misplaced, 0);
  EXPECT_EQ(wrongFits, 0);
  for (std::int32_t row = count + 1; row <= kRows; ++row) {
    ASSERT_TRUE(s.Cells.IsEmpty(row, kXColumn)) << row;
    ASSERT_TRUE(s.Cells.IsEmpty(row, kFitColumn)) << row;
  }

  // The same points in another grid order give the same bits.
  const Real first[5] = {s.Fit.A, s.Fit.B, s.Fit.C, s.Fit.R2, s.Fit.S10};
  TFitObj(s).RunFit();
  const Real second[5] = {s.Fit.A, s.Fit.B, s.Fit.C, s.Fit.R2, s.Fit.S10};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(first[k], second[k]) << k;
}

TEST(FitEngineTest, TwoAbscissasInALargeSeriesHaveNoParabola) {
  // Two distinct X over enough points to be summed in halves: a parabola has no unique fit.
  constexpr std::int32_t kRows = 70000;
  FitFixture f(kRows);
  for (std::int32_t row = 1; row <= kRows; ++row) {
    f.series->Cells.SetNumber(row, kXColumn, row <= 50000 ? 1 : 2);
    f.series->Cells.SetNumber(row, kYColumn, row % 3);
  }
  f.series->Fit.FitKind = 2;
  TFitObj(*f.series).RunFit();
  EXPECT_FALSE(f.series->Fit.FitOk);
  EXPECT_EQ(f.series->Fit.LastRefusal, FitRefusal::Singular);
}

// ---------------------------------------------------------------------------------------------
// Solving from sums alone: Cramer's rule

TEST(FitEngineTest, SolversWithoutAPassUseTheSums) {
  // (1, 3), (2, 5), (3, 4), (4, 6)
  FitResult fit;
  fit.FitKind = 1;
  fit.N = 4, fit.S1 = 10, fit.S2 = 30, fit.Sv = 18, fit.T1 = 49, fit.Svv = 86;
  TFitObj(fit).LINEAR();
  EXPECT_TRUE(fit.FitOk);
  ExpectNear(fit.A, 2.5L);
  ExpectNear(fit.B, 0.8L);
  ExpectNear(fit.R2, 0.64L);

  // (0, 1), (1, 3), (2, 7), (3, 13)
  FitResult quad;
  quad.FitKind = 2;
  quad.N = 4, quad.S1 = 6, quad.S2 = 14, quad.S3 = 36, quad.S4 = 98;
  quad.Sv = 24, quad.T1 = 56, quad.T2 = 148, quad.Svv = 228;
  TFitObj(quad).QUAD();
  EXPECT_TRUE(quad.FitOk);
  for (Real c : {quad.A, quad.B, quad.C, quad.R2}) ExpectNear(c, 1, 1e-17L);
}

// ---------------------------------------------------------------------------------------------
// A model of the user's own

// The model is fitted, drawn and listed through the same fit as the laws; a model that cannot
// be fitted is refused with its reason and leaves no fit behind.
TEST(FitEngineTest, UserModelFitsLikeALaw) {
  const struct {
    const char* formula;
    std::vector<std::string> names;  // as the user last listed them
    std::vector<double> start;
    std::vector<bool> fixed;
    int points;
    const char* why;  // empty: the fit stands
  } cases[] = {
      {"a*exp(b*x)", {"a", "b"}, {1, 1}, {}, 6, ""},
      // Names the user set keep their values when the formula now lists them in another order.
      {"b*x + a*exp(0*x)", {"a", "b"}, {1, 3}, {true, false}, 6, ""},
      {"a*exp(b*x", {}, {}, {}, 6, "the formula does not read as a model"},
      {"a*exp(b*x)+c+d", {}, {}, {}, 3, "free parameters"},
      {"log(a-x)", {}, {}, {}, 6, "cannot be evaluated at the start values"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formula);
    FitFixture f(8);
    std::vector<Point> points;
    for (int i = 0; i < c.points; ++i)
      points.push_back({i + 0.5L, 2 * std::exp(0.3L * (i + 0.5L))});
    f.Load(points);
    Series& s = *f.series;
    s.Fit.FitKind = kFitUserModel;
    s.Fit.Model.Formula = c.formula;
    s.Fit.Model.Names = c.names;
    s.Fit.Model.Start = c.start;
    s.Fit.Model.Fixed = c.fixed;
    TFitObj(s).RunFit();
    if (*c.why != 0) {
      EXPECT_FALSE(s.FitActive);
      EXPECT_FALSE(s.Fit.FitOk);
      EXPECT_EQ(s.Fit.LastRefusal, FitRefusal::Model);
      EXPECT_NE(s.Fit.Model.Why.find(c.why), std::string::npos) << s.Fit.Model.Why;
      continue;
    }
    ASSERT_TRUE(s.FitActive) << s.Fit.Model.Why;
    const UserModel& m = s.Fit.Model;
    ASSERT_EQ(m.Values.size(), m.Names.size());
    if (m.Names[0] == "a") {
      EXPECT_NEAR(m.Values[0], 2, 1e-12);
      EXPECT_NEAR(m.Values[1], 0.3, 1e-12);
      EXPECT_NEAR(static_cast<double>(s.Fit.R2), 1, 1e-12);
    } else {  // b, then a held at 1
      EXPECT_EQ(m.Names, (std::vector<std::string>{"b", "a"}));
      EXPECT_EQ(m.Start, (std::vector<double>{3, 1}));
      EXPECT_EQ(m.Values[1], 1);
      EXPECT_EQ(m.Errors[1], 0);
    }
    TFitObj fit(s);
    for (std::int32_t row = 1; row <= c.points; ++row) {
      ASSERT_FALSE(s.Cells.IsEmpty(row, kFitColumn));
      EXPECT_EQ(s.Cells.Number(row, kFitColumn), fit.YFIT(s.Cells.Number(row, kXColumn)));
    }
    EXPECT_TRUE(s.Cells.IsEmpty(c.points + 1, kFitColumn));
  }
}

// ---------------------------------------------------------------------------------------------
// Determinant helpers

// (prod over i < j of (j - i))^2 for the points 0..n-1: the Gram determinant of a Vandermonde.
TEST(DeterminantTest, HankelOfPowerSumsIsTheSquaredVandermonde) {
  auto sums = [](int points) {
    std::vector<Real> v(11, 0);
    for (int x = 0; x < points; ++x) {
      Real power = 1;
      for (int k = 0; k <= 10; ++k, power *= x) v[static_cast<std::size_t>(k)] += power;
    }
    return v;
  };
  const auto s3 = sums(3), s4 = sums(4), s5 = sums(5), s6 = sums(6);
  EXPECT_EQ(TFitObj::MX33(s3[0], s3[1], s3[2], s3[3], s3[4]), 4);
  EXPECT_EQ(TFitObj::MX44(s4[0], s4[1], s4[2], s4[3], s4[4], s4[5], s4[6]), 144);
  EXPECT_EQ(TFitObj::MX55(s5[0], s5[1], s5[2], s5[3], s5[4], s5[5], s5[6], s5[7], s5[8]), 82944);
  EXPECT_EQ(
      TFitObj::MX66(s6[0], s6[1], s6[2], s6[3], s6[4], s6[5], s6[6], s6[7], s6[8], s6[9], s6[10]),
      1194393600.0L);
  EXPECT_EQ(TFitObj::MX33(1, 2, 3, 4, 5), 0);
}

// Gaussian elimination with pivoting, for comparison.
Real EliminationDeterminant(std::vector<Real> m, std::size_t n) {
  Real det = 1;
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t pivot = k;
    for (std::size_t i = k + 1; i < n; ++i) {
      if (std::fabs(m[i * n + k]) > std::fabs(m[pivot * n + k])) pivot = i;
    }
    if (m[pivot * n + k] == 0) return 0;
    if (pivot != k) {
      for (std::size_t j = 0; j < n; ++j) std::swap(m[k * n + j], m[pivot * n + j]);
      det = -det;
    }
    det *= m[k * n + k];
    for (std::size_t i = k + 1; i < n; ++i) {
      const Real factor = m[i * n + k] / m[k * n + k];
      for (std::size_t j = k; j < n; ++j) m[i * n + j] -= factor * m[k * n + j];
    }
  }
  return det;
}

template <std::size_t n, typename Helper>
void CheckGeneralHelper(Helper helper) {
  std::mt19937 random(n);
  std::uniform_int_distribution<int> entry(-9, 9);
  for (int trial = 0; trial < 20; ++trial) {
    std::array<Real, n * n> m;
    for (Real& x : m) x = entry(random);
    const Real expected = EliminationDeterminant(std::vector<Real>(m.begin(), m.end()), n);
    EXPECT_NEAR(static_cast<double>(helper(m)), static_cast<double>(expected),
                1e-9 * (1 + std::fabs(static_cast<double>(expected))))
        << n << "x" << n << " trial " << trial;
  }
  // Swapping the first two rows of the identity.
  std::array<Real, n * n> swapped{};
  for (std::size_t i = 0; i < n; ++i) swapped[i * n + (i < 2 ? 1 - i : i)] = 1;
  EXPECT_EQ(helper(swapped), -1);
}

TEST(DeterminantTest, GeneralHelpersMatchElimination) {
  CheckGeneralHelper<3>([](const std::array<Real, 9>& m) { return TFitObj::MX3(m); });
  CheckGeneralHelper<4>([](const std::array<Real, 16>& m) { return TFitObj::MX4(m); });
  CheckGeneralHelper<5>([](const std::array<Real, 25>& m) { return TFitObj::MX5(m); });
  CheckGeneralHelper<6>([](const std::array<Real, 36>& m) { return TFitObj::MX6(m); });
}

}  // namespace
}  // namespace tavel
