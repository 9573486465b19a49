#include "app/fit_command.h"

#include "core/fit/fit_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/files/data_file.h"
#include "core/files/graph_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/test_folder.h"

namespace tavel {
namespace {

namespace fs = std::filesystem;

// The report without the standard errors after the coefficients, which every coefficient line
// must carry: what is left is the report as it always read.
std::string WithoutErrors(const std::string& report) {
  std::istringstream lines(report);
  std::string out, line;
  while (std::getline(lines, line)) {
    const auto mark = line.find(" +- ");
    const bool coefficient = line.size() > 5 && line[0] != 'Y' && line.compare(1, 4, "   =") == 0;
    EXPECT_EQ(coefficient, mark != std::string::npos) << line;
    out += line.substr(0, mark) + "\n";
  }
  return out;
}

class FitReportTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::NewTestFolder("tavel_fit_report_"); }
  void TearDown() override { fs::remove_all(dir_); }

  // A data file of rows "X Y1 Y2 ..." in the written number form; an empty cell is written
  // as the empty value, as the program writes it.
  std::string Put(const std::string& name, const std::vector<std::vector<Real>>& rows) const {
    std::string text;
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) {
        text += (i ? " " : "") + FormatDataFileNumber(row[i]);
      }
      text += "\r\n";
    }
    return PutText(name, text);
  }
  std::string PutText(const std::string& name, const std::string& text) const {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  struct Run {
    int status;
    std::string out;
    std::string err;
  };
  static Run Fit(std::string_view kind, const std::string& path) {
    std::ostringstream out, err;
    const int status = FitDataFile(kind, path, out, err);
    return {status, out.str(), err.str()};
  }

  fs::path dir_;
};

TEST_F(FitReportTest, ReportsEverySeriesOfTheFile) {
  // Series 1: Y = 1 + 2X exactly; series 2: A = 1, B = 0.5, R^2 = 0.25 (every value binary).
  // The same numbers as a ".prn" and as a CSV file.
  for (const std::string& path : {Put("two.prn", {{-1, -1, 0}, {0, 1, 2}, {1, 3, 1}}),
                                  PutText("two.csv", "x,a,b\n-1,-1,0\n0,1,2\n1,3,1\n")}) {
    const Run run = Fit("1", path);
    EXPECT_EQ(run.status, 0) << path;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(WithoutErrors(run.out),
              "Series #1\n"
              "Y   = A + B*X\n"
              "A   = 1\n"
              "B   = 2\n"
              "R^2 = 1\n"
              "Series #2\n"
              "Y   = A + B*X\n"
              "A   = 1\n"
              "B   = 0.5\n"
              "R^2 = 0.25\n");
  }
}

TEST_F(FitReportTest, PrintsTheCoefficientsOfTheKindInFullPrecision) {
  // y = 1 + x + x^2 on 0..3: the quadratic is exact; the line through it is not, and its
  // values need every digit.
  const auto path = Put("quad.prn", {{0, 1}, {1, 3}, {2, 7}, {3, 13}});
  EXPECT_EQ(WithoutErrors(Fit("2", path).out),
            "Series #1\n"
            "Y   = A + B*X + C*X^2\n"
            "A   = 1\n"
            "B   = 1\n"
            "C   = 1\n"
            "R^2 = 1\n");

  testing::ScriptedPrompts prompts;
  Workspace workspace(prompts);
  Series& series = *OpenDataFile(workspace, path).created.front();
  series.Fit.FitKind = 1;
  TFitObj(series).RunFit();
  char b[64];
  std::snprintf(b, sizeof b, "%.21Lg", series.Fit.B);
  EXPECT_EQ(WithoutErrors(FitReport(series)), "Series #1\nY   = A + B*X\nA   = " + FullPrecision(series.Fit.A) +
                                   "\nB   = " + b + "\nR^2 = " + FullPrecision(series.Fit.R2) +
                                   "\n");
  EXPECT_EQ(FullPrecision(0.1L), "0.100000000000000000001");
}

TEST_F(FitReportTest, EveryKindHasItsEquationAndCoefficients) {
  const struct {
    std::int32_t kind;
    const char* equation;
    const char* names;
  } kinds[] = {
      {1, "Y   = A + B*X", "AB"},
      {2, "Y   = A + B*X + C*X^2", "ABC"},
      {3, "Y   = A + B*X + C*X^2 + D*X^3", "ABCD"},
      {4, "Y   = A + B*X + C*X^2 + D*X^3 + E*X^4", "ABCDE"},
      {5, "Y   = A + B*X + C*X^2 + D*X^3 + E*X^4 + F*X^5", "ABCDEF"},
      {6, "Y   = A*X^B", "AB"},
      {7, "Y   = A*e^(B*X)", "AB"},
      {8, "Y   = A + B*Ln(X)", "AB"},
  };
  std::vector<std::vector<Real>> rows;
  for (int i = 1; i <= 8; ++i) rows.push_back({static_cast<Real>(i), static_cast<Real>(i * i + 1)});
  const auto path = Put("kinds.prn", rows);
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.kind);
    const Run run = Fit(std::to_string(k.kind), path);
    EXPECT_EQ(run.status, 0);
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Series #1");
    std::getline(lines, line);
    EXPECT_EQ(line, k.equation);
    for (const char* name = k.names; *name; ++name) {
      std::getline(lines, line);
      EXPECT_EQ(line.substr(0, 6), std::string(1, *name) + "   = ");
    }
    std::getline(lines, line);
    EXPECT_EQ(line.substr(0, 6), "R^2 = ");
    EXPECT_FALSE(std::getline(lines, line));
  }
}

TEST_F(FitReportTest, RefusedFitsSayWhyAndTheOthersStillPrint) {
  const Real e = EmptyValue;
  // Series 1 has X = 0 (no power fit), series 2 only two complete points, series 3 one X.
  const auto path = Put("bad.prn", {{0, 1, 5, 7}, {1, 2, e, 8}, {2, 4, 6, 9}});
  const auto power = Fit("6", path);
  EXPECT_EQ(power.status, 1);
  EXPECT_EQ(power.out,
            "Series #1\n"
            "Fit refused: domain: the power fit needs every X and every Y greater than 0\n"
            "Series #2\n"
            "Fit refused: domain: the power fit needs every X and every Y greater than 0\n"
            "Series #3\n"
            "Fit refused: domain: the power fit needs every X and every Y greater than 0\n");

  const auto quadratic = Fit("2", path);
  EXPECT_EQ(quadratic.status, 1);
  EXPECT_NE(quadratic.out.find("Series #2\nFit refused: too few points: the fit needs at least 3 "
                               "complete points, the series has 2\nSeries #3\nY   = "),
            std::string::npos)
      << quadratic.out;

  const auto singular = Fit("1", Put("same.prn", {{2, 1}, {2, 3}, {2, 5}}));
  EXPECT_EQ(singular.status, 1);
  EXPECT_EQ(singular.out,
            "Series #1\n"
            "Fit refused: singular: too few distinct X values to determine the coefficients\n");

  const auto log = Fit("8", Put("negative.prn", {{-1, 1}, {1, 2}, {2, 4}}));
  EXPECT_EQ(log.out,
            "Series #1\nFit refused: domain: the natural log fit needs every X greater than 0\n");
  const auto exponential = Fit("7", Put("zero.prn", {{0, 1}, {1, 0}, {2, 4}}));
  EXPECT_EQ(exponential.out,
            "Series #1\nFit refused: domain: the exponential fit needs every Y greater than 0\n");
}

TEST_F(FitReportTest, CommandLineErrorsGiveOneLineAndStatusTwo) {
  const auto good = Put("good.prn", {{1, 1}, {2, 2}});
  const auto onlyX = PutText("onlyx.prn", "1\r\n2\r\n");
  const struct {
    const char* kind;
    std::string path;
    const char* fragment;
  } cases[] = {
      {"0", good, "KIND must be a number from 1 to 8"},
      {"9", good, "KIND must be a number from 1 to 8"},
      {"x", good, "KIND must be a number from 1 to 8"},
      {"", good, "KIND must be a number from 1 to 8"},
      {"12", good, "KIND must be a number from 1 to 8"},
      {"1", (dir_ / "missing.prn").string(), "cannot be read as a data file"},
      {"1", dir_.string(), "cannot be read as a data file"},
      {"1", onlyX, "holds no series"},
      {"1", PutText("empty.prn", ""), "holds no series"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + c.path);
    const Run run = Fit(c.kind, c.path);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.fragment), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

TEST_F(FitReportTest, GraphFileReportsItsStoredFitsOrFitsWithTheKindGiven) {
  // Series 1 with an active linear fit, series 2 without one; both Y = 1 + 2X.
  QuietPrompts prompts;
  Workspace workspace(prompts);
  for (int n = 0; n < 2; ++n) {
    workspace.Settings.NextDataSize = 3;
    Series& s = workspace.CreateSeries();
    for (int row = 1; row <= 3; ++row) {
      s.Cells.SetNumber(row, kXColumn, row);
      s.Cells.SetNumber(row, kYColumn, 1 + 2 * row);
    }
  }
  workspace.DataWindows[0]->Fit.FitKind = 1;
  TFitObj(*workspace.DataWindows[0]).RunFit();
  const std::string graph = PutText("two.gra", GraphFileText(workspace));
  const std::string linear = "Y   = A + B*X\nA   = 1\nB   = 2\nR^2 = 1\n";

  std::ostringstream out, err;
  EXPECT_EQ(RunFitCommand({graph}, out, err), 0) << err.str();
  EXPECT_EQ(WithoutErrors(out.str()), "Series #1\n" + linear + "Series #2\nNo fit\n");
  out.str({});
  EXPECT_EQ(RunFitCommand({"1", graph}, out, err), 0) << err.str();
  EXPECT_EQ(WithoutErrors(out.str()), "Series #1\n" + linear + "Series #2\n" + linear);
  EXPECT_EQ(err.str(), "");

  const struct {
    std::vector<std::string> args;
    const char* says;
  } failures[] = {
      {{PutText("bad.gra", "1\r\n")}, "cannot be read as a graph file"},
      {{"1", PutText("bad.gra", "x\r\n")}, "cannot be read as a graph file"},
      {{(dir_ / "missing.gra").string()}, "cannot be read as a graph file"},
      {{PutText("data.prn", "1 2\r\n")}, "usage:"},
  };
  for (const auto& f : failures) {
    std::ostringstream fout, ferr;
    EXPECT_EQ(RunFitCommand(f.args, fout, ferr), 2) << f.says;
    EXPECT_NE(ferr.str().find(f.says), std::string::npos) << ferr.str();
    EXPECT_EQ(fout.str(), "");
  }
}

TEST(FitRefusalTest, RunFitRecordsTheReason) {
  testing::ScriptedPrompts prompts;
  Workspace workspace(prompts);
  workspace.Settings.NextDataSize = 4;
  Series& series = workspace.CreateSeries();
  series.Cells.SetNumber(1, kXColumn, 1);
  series.Cells.SetNumber(1, kYColumn, 1);
  series.Fit.FitKind = 1;
  TFitObj(series).RunFit();
  EXPECT_EQ(series.Fit.LastRefusal, FitRefusal::TooFewPoints);
  series.Cells.SetNumber(2, kXColumn, 2);
  series.Cells.SetNumber(2, kYColumn, 3);
  TFitObj(series).RunFit();
  EXPECT_TRUE(series.Fit.FitOk);
  EXPECT_EQ(series.Fit.LastRefusal, FitRefusal::None);
  series.Fit.FitKind = 10;
  TFitObj(series).RunFit();
  EXPECT_EQ(series.Fit.LastRefusal, FitRefusal::UnknownKind);
  EXPECT_EQ(prompts.beeps, 2);  // the refusals still beep
}

}  // namespace
}  // namespace tavel

namespace tavel {
namespace {

// The model fit's lines for each series, 17 digits each, and its three statuses.
TEST_F(FitReportTest, FitModelPrintsEachParameterWithItsErrorAndTellsEveryFailure) {
  const std::string path = PutText("line.dat", "1 2.1\n2 3.9\n3 6.2\n4 7.8\n5 10.1\n");
  const auto run = [](std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunFitModelCommand(args, out, err);
    return Run{status, out.str(), err.str()};
  };
  const Run fit = run({"a + b*x", "--start", "a=0,b=2", path});
  EXPECT_EQ(fit.status, 0) << fit.err;
  // Full precision: the last digits depend on rounding, the first 14 do not.
  double a = 0, aError = 0, b = 0, bError = 0, rss = 0, r2 = 0;
  ASSERT_EQ(std::sscanf(fit.out.c_str(),
                        "Series #1\na = %lf +- %lf\nb = %lf +- %lf\nRSS = %lf\nR^2 = %lf\n", &a,
                        &aError, &b, &bError, &rss, &r2),
            6)
      << fit.out;
  EXPECT_NEAR(a, 0.05, 1e-14);
  EXPECT_NEAR(aError, 0.19807406022327, 1e-13);
  EXPECT_NEAR(b, 1.99, 1e-14);
  EXPECT_NEAR(bError, 0.059721576223896, 1e-14);
  EXPECT_NEAR(rss, 0.107, 1e-14);
  EXPECT_NEAR(r2, 0.99730532890098, 1e-13);
  EXPECT_EQ(run({"log(a*x-10)", path}).status, 1);
  EXPECT_EQ(run({"a*(x", path}).err, "tavel: --fit-model: the formula does not parse at "
                                      "character 5: ')' expected\n");
  EXPECT_EQ(run({"a*x", "--start", "c=1", path}).status, 2);
  EXPECT_EQ(run({"a*x", "--start", "a", path}).status, 2);
}

}  // namespace
}  // namespace tavel
