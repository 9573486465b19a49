#include "core/fit/fit_uncertainty.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/fit/fit_engine.h"
#include "core/fit/fit_report.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

using Quad = __float128;

// The standard errors of a polynomial fit worked out the plain way, in quadruple precision:
// the normal equations solved by Gauss-Jordan, with digits enough to spare for their squared
// condition.
std::vector<double> ReferenceErrors(const std::vector<double>& xs, const std::vector<double>& ys,
                                    int order) {
  const int p = order + 1;
  std::vector<Quad> a(static_cast<std::size_t>(p * 2 * p), 0), b(static_cast<std::size_t>(p), 0);
  for (std::size_t i = 0; i < xs.size(); ++i) {
    Quad power[12];
    power[0] = 1;
    for (int k = 1; k < 2 * p; ++k) power[k] = power[k - 1] * xs[i];
    for (int r = 0; r < p; ++r) {
      for (int c = 0; c < p; ++c) a[static_cast<std::size_t>(r * 2 * p + c)] += power[r + c];
      b[static_cast<std::size_t>(r)] += power[r] * ys[i];
    }
  }
  for (int r = 0; r < p; ++r) a[static_cast<std::size_t>(r * 2 * p + p + r)] = 1;
  for (int k = 0; k < p; ++k) {
    const Quad pivot = a[static_cast<std::size_t>(k * 2 * p + k)];
    for (int c = 0; c < 2 * p; ++c) a[static_cast<std::size_t>(k * 2 * p + c)] /= pivot;
    for (int r = 0; r < p; ++r) {
      if (r == k) continue;
      const Quad f = a[static_cast<std::size_t>(r * 2 * p + k)];
      for (int c = 0; c < 2 * p; ++c)
        a[static_cast<std::size_t>(r * 2 * p + c)] -= f * a[static_cast<std::size_t>(k * 2 * p + c)];
    }
  }
  std::vector<Quad> coefficient(static_cast<std::size_t>(p), 0);
  for (int r = 0; r < p; ++r)
    for (int c = 0; c < p; ++c)
      coefficient[static_cast<std::size_t>(r)] += a[static_cast<std::size_t>(r * 2 * p + p + c)] * b[static_cast<std::size_t>(c)];
  Quad rss = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    Quad fitted = 0, power = 1;
    for (int k = 0; k < p; ++k, power *= xs[i]) fitted += coefficient[static_cast<std::size_t>(k)] * power;
    rss += (ys[i] - fitted) * (ys[i] - fitted);
  }
  const Quad variance = rss / static_cast<Quad>(static_cast<int>(xs.size()) - p);
  std::vector<double> errors;
  for (int k = 0; k < p; ++k)
    errors.push_back(std::sqrt(static_cast<double>(variance * a[static_cast<std::size_t>(k * 2 * p + p + k)])));
  return errors;
}

// Polynomials of every order on ill-conditioned abscissas (0..20 for the fifth order) keep ten
// digits of every standard error; the power law's A takes its error through e^intercept.
TEST(FitUncertaintyTest, PolynomialErrorsKeepTenDigitsAndTheLawsTheirLines) {
  testing::ScriptedPrompts prompts;
  Workspace ws(prompts);
  ws.Settings.NextDataSize = 21;
  Series& s = ws.CreateSeries();
  std::vector<double> xs, ys;
  for (int i = 0; i <= 20; ++i) {
    const double x = i;
    xs.push_back(x);
    ys.push_back(1 + x + x * x + x * x * x + x * x * x * x + x * x * x * x * x +
                 (i % 2 == 0 ? 100.0 : -100.0) * (1 + i % 3));
    s.Cells.SetNumber(i + 1, kXColumn, x);
    s.Cells.SetNumber(i + 1, kYColumn, ys.back());
  }
  for (int order = 1; order <= 5; ++order) {
    SCOPED_TRACE(order);
    s.Fit.FitKind = order;
    TFitObj(s).RunFit();
    const ModelFitResult measured = FitUncertainties(s);
    ASSERT_TRUE(measured.ok);
    EXPECT_EQ(measured.dof, 21 - order - 1);
    const std::vector<double> reference = ReferenceErrors(xs, ys, order);
    for (int k = 0; k <= order; ++k) {
      const double error = measured.parameters[static_cast<std::size_t>(k)].standardError;
      EXPECT_NEAR(error, reference[static_cast<std::size_t>(k)], 1e-10 * reference[static_cast<std::size_t>(k)]);
    }
  }
  // y = 2 x^1.5 with a wobble: the line ln y = ln 2 + 1.5 ln x has its own errors.
  for (int i = 0; i <= 20; ++i) {
    const double x = i + 1;
    s.Cells.SetNumber(i + 1, kXColumn, x);
    s.Cells.SetNumber(i + 1, kYColumn, 2 * std::pow(x, 1.5) * (1 + 0.01 * ((i % 3) - 1)));
  }
  s.Fit.FitKind = kFitPower;
  TFitObj(s).RunFit();
  const ModelFitResult power = FitUncertainties(s);
  ASSERT_TRUE(power.ok);
  const ParameterEstimate& a = power.parameters[0];
  EXPECT_NEAR(a.value, 2, 0.01);
  EXPECT_LT(a.low95, a.value);
  EXPECT_GT(a.high95, a.value);
  EXPECT_NEAR(std::log(a.high95 / a.value), std::log(a.value / a.low95), 1e-12);
}

// The report gives every measure of each fitted series and leaves the others out.
TEST(FitUncertaintyTest, TheReportListsEveryFittedSeriesWithItsMeasures) {
  testing::ScriptedPrompts prompts;
  Workspace ws(prompts);
  ws.Settings.NextDataSize = 4;
  Series& s = ws.CreateSeries();
  for (int i = 1; i <= 4; ++i) {
    s.Cells.SetNumber(i, kXColumn, i);
    s.Cells.SetNumber(i, kYColumn, i * i);
  }
  EXPECT_EQ(FullFitReport(ws), "No series has a fit.\n");
  s.Fit.FitKind = kFitExponential;
  TFitObj(s).RunFit();
  const std::string report = FullFitReport(ws);
  for (const char* part :
       {"Series Number: 1\nY   = A*e^(B*X)\nfitted as the straight line Ln(Y) = Ln(A) + B*X",
        "\nA = ", "\nB = ", "\n    standard error ", ", t value ", ", 95 % interval ",
        "adjusted R^2 = ", "degrees of freedom = 2\n", "Residual sum of squares = "}) {
    EXPECT_NE(report.find(part), std::string::npos) << part << "\n" << report;
  }
}

}  // namespace
}  // namespace tavel
