#include "core/files/graph_file.h"
#include "core/fit/fit_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/files/atomic_file.h"
#include "core/series/graph_settings.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/test_folder.h"

namespace tavel {
namespace {

namespace fs = std::filesystem;

constexpr char kEmpty[] = " 1.00000000000000E+4932";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

class GraphFileTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::NewTestFolder("tavel_graph_file_"); }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Put(const std::string& text) const {
    const std::string path = (dir_ / "put.gra").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  static Series& NewSeries(Workspace& ws, std::int32_t rows) {
    ws.Settings.NextDataSize = rows;
    Series& series = ws.CreateSeries();
    ws.SortDataWindows();
    return series;
  }

  // Writes `from` and reads the file into `to`.
  GraphFileReadResult RoundTrip(Workspace& from, Workspace& to) {
    const std::string path = (dir_ / "round.gra").string();
    WriteGraphFile(from, path);
    return ReadGraphFile(to, path);
  }

  fs::path dir_;
  testing::ScriptedPrompts prompts_;
  Workspace ws_{prompts_};
  Workspace read_{prompts_};
};

TEST_F(GraphFileTest, ThreeRowExampleWritesEveryItemAndReadsBack) {
  Series& s = NewSeries(ws_, 3);
  s.Cells.SetNumber(1, kXColumn, 1.5L);
  s.Cells.SetNumber(1, kYColumn, 2);
  s.Cells.SetNumber(2, kXColumn, -0.00225L);
  s.Cells.SetNumber(2, kYColumn, 4);
  s.LeftAxis = false;
  s.ShowPoints = false;
  s.GraphType = kGraphBar;
  s.SeriesTitle = " first series";
  s.PrinterColor = kPrinterBlue;
  s.Fit.FitKind = 2;
  s.Fit.A = 0.5L, s.Fit.B = -1, s.Fit.R2 = 0.25L;
  ws_.Settings.PrinterOptions = 5;

  const auto lines = Lines(GraphFileText(ws_));
  // clang-format off
  const std::vector<std::string> block = {
      "1", "3", "1", " 1.50000000000000E+0000  2.00000000000000E+0000",
      "-2.25000000000000E-0003  4.00000000000000E+0000", std::string(kEmpty) + " " + kEmpty, "1",
      "1", "2", " first series", "1", "2", " 5.00000000000000E-0001", "-1.00000000000000E+0000",
      " 0.00000000000000E+0000", " 0.00000000000000E+0000", " 0.00000000000000E+0000",
      " 0.00000000000000E+0000", " 2.50000000000000E-0001", "16", "7"};
  // clang-format on
  ASSERT_GE(lines.size(), block.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + block.size()), block);
  EXPECT_EQ(lines.size(), block.size() + 32 + 30);

  ASSERT_TRUE(RoundTrip(ws_, read_).ok);
  ASSERT_EQ(read_.DataWindows.size(), 1u);
  const Series& r = *read_.DataWindows[0];
  EXPECT_EQ(r.MaxIndex, 3);
  EXPECT_EQ(r.Cells.Number(1, kXColumn), 1.5L);
  EXPECT_EQ(r.Cells.Number(2, kXColumn), -0.00225L);
  EXPECT_EQ(r.Cells.Number(2, kYColumn), 4);
  EXPECT_TRUE(r.Cells.IsEmpty(3, kXColumn));
  EXPECT_TRUE(r.Cells.IsEmpty(3, kYColumn));
  EXPECT_FALSE(r.LeftAxis);
  EXPECT_FALSE(r.ShowPoints);
  EXPECT_EQ(r.GraphType, kGraphBar);
  EXPECT_EQ(r.SeriesTitle, " first series");
  EXPECT_EQ(r.PrinterColor, kPrinterBlue);
  EXPECT_EQ(r.Fit.FitKind, 2);
  EXPECT_EQ(r.Fit.B, -1);
  EXPECT_EQ(r.Fit.R2, 0.25L);
  EXPECT_TRUE(r.Fit.FitOk);
  EXPECT_FALSE(r.FitActive);
  EXPECT_EQ(read_.Settings.PrinterOptions, 5);
  EXPECT_EQ(read_.Settings.GraphFileName, (dir_ / "round.gra").string());
  EXPECT_TRUE(read_.Settings.GraphJustCreated);
  EXPECT_FALSE(read_.Settings.GraphLoadFailed);
}

// The settings part in file order, for a graph without series; read back it gives the same text.
TEST_F(GraphFileTest, EverySettingInOrderAndRoundTrip) {
  GraphSettings& s = ws_.Settings;
  s.XScaleMax = 10, s.XScaleMin = -1, s.YLScaleMax = 20, s.YLScaleMin = 2;
  s.YRScaleMax = 30, s.YRScaleMin = 3;
  s.MultiScaleX = false, s.MultiScaleYL = true, s.MultiScaleYR = false;
  s.CalcX = 1.0L / 3;
  s.LogX = true, s.LogExponential = false, s.LogY = true;
  s.MaxDataIndex = 250, s.BarWidth = 4, s.PrinterOptions = 6;
  s.XMajorGrid = 5, s.XMinorGrid = 2, s.YMajorGrid = 6, s.YMinorGrid = 3;
  s.XTicks = 7, s.YLTicks = 8, s.YRTicks = 9;
  s.XDecimals = -1, s.YLDecimals = 4, s.YRDecimals = 12;  // -1 and 12 come from the auto grid
  s.MainTitles = {"", "M1", "M2", "M3"};
  s.XTitles = {"", "X1", "", "X3"};
  s.LeftYTitle = "Left", s.RightYTitle = "Right";
  for (std::size_t i = 1; i <= MaxFloatTitles; ++i) {
    s.FloatTitleText[i] = "F" + std::to_string(i);
    s.FloatTitleX[i] = static_cast<Real>(i);
    s.FloatTitleY[i] = -static_cast<Real>(i) / 7;
  }
  const std::string text = GraphFileText(ws_);
  const auto lines = Lines(text);
  // clang-format off
  const std::vector<std::string> head = {
      "0", " 1.00000000000000E+0001", "-1.00000000000000E+0000", " 2.00000000000000E+0001",
      " 2.00000000000000E+0000", " 3.00000000000000E+0001", " 3.00000000000000E+0000", "1", "0",
      "1", FormatGraphFileNumber(1.0L / 3), "2", "0", "250", "4", "5", "2", "6", "3", "7", "8",
      "9", "-1", "4", "12", "M1", "M2", "M3", "X1", "", "X3", "Left", "Right", "F1",
      " 1.00000000000000E+0000", FormatGraphFileNumber(-1.0L / 7)};
  // clang-format on
  ASSERT_EQ(lines.size(), 33u + 30u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);

  ASSERT_TRUE(RoundTrip(ws_, read_).ok);
  EXPECT_EQ(GraphFileText(read_), text);
  EXPECT_EQ(read_.Settings.PrinterOptions, 0) << "no series block carries it";
  EXPECT_EQ(read_.Settings.FloatTitleY[10], -10.0L / 7);
}

TEST_F(GraphFileTest, LogCodes) {
  const struct {
    bool logX, exponential;
    const char* code;
  } cases[] = {{true, true, "0"}, {false, true, "1"}, {true, false, "2"}, {false, false, "3"}};
  for (const auto& c : cases) {
    ws_.Settings.LogX = c.logX;
    ws_.Settings.LogExponential = c.exponential;
    EXPECT_EQ(Lines(GraphFileText(ws_))[11], c.code);
    read_.Settings.LogX = !c.logX;
    read_.Settings.LogExponential = !c.exponential;
    ASSERT_TRUE(RoundTrip(ws_, read_).ok);
    EXPECT_EQ(read_.Settings.LogX, c.logX) << c.code;
    EXPECT_EQ(read_.Settings.LogExponential, c.exponential) << c.code;
  }
}

// Cells and fit values come back bit for bit, also where 15 digits do not hold them.
TEST_F(GraphFileTest, CellsKeepFullPrecision) {
  std::vector<Real> values = {1.0L / 3,
                              0.1L,
                              -0.0L,
                              std::numeric_limits<Real>::denorm_min(),
                              -std::numeric_limits<Real>::min(),
                              1e4931L,
                              123456789.123456789L};
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> unit(-1, 1);
  std::uniform_int_distribution<int> decade(-300, 300);
  for (int i = 0; i < 2000; ++i) {
    values.push_back(static_cast<Real>(unit(random)) * std::pow(10.0L, decade(random)) *
                     (1 + 1.0L / 3));
  }
  Series& s = NewSeries(ws_, static_cast<std::int32_t>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto row = static_cast<std::int32_t>(i + 1);
    s.Cells.SetNumber(row, kXColumn, values[i]);
    s.Cells.SetNumber(row, kYColumn, -values[i]);
  }
  s.Fit.C = 1.0L / 7;
  ASSERT_TRUE(RoundTrip(ws_, read_).ok);
  const Series& r = *read_.DataWindows.at(0);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto row = static_cast<std::int32_t>(i + 1);
    const Real x = r.Cells.Number(row, kXColumn);
    ASSERT_TRUE(x == values[i] && std::signbit(x) == std::signbit(values[i])) << i;
    ASSERT_EQ(r.Cells.Number(row, kYColumn), -values[i]) << i;
  }
  EXPECT_EQ(r.Fit.C, 1.0L / 7);
  EXPECT_EQ(FormatGraphFileNumber(1.5L), " 1.50000000000000E+0000");
  EXPECT_EQ(FormatGraphFileNumber(-1.0L / 3), "-3.33333333333333333342E-0001");
}

// Texts other writers produce and the reader's tolerances.
TEST_F(GraphFileTest, ReadingTolerances) {
  NewSeries(ws_, 2);
  auto lines = Lines(GraphFileText(ws_));
  const std::size_t color = 3 + 2 + 13, options = color + 1;
  const struct {
    const char* colorCode;
    const char* optionsCode;
    std::int32_t printerColor, printerOptions;
  } cases[] = {{"0", "0", kPrinterDefault, 0},
               {"1", "1", kPrinterDefault, 0},
               {"16", "9", kPrinterBlue, 7},
               {"2", "2", kPrinterBlack, 0}};
  for (const auto& c : cases) {
    lines[color] = c.colorCode;
    lines[options] = c.optionsCode;
    ASSERT_TRUE(ReadGraphFile(read_, Put(Join(lines))).ok);
    EXPECT_EQ(read_.DataWindows.at(0)->PrinterColor, c.printerColor) << c.colorCode;
    EXPECT_EQ(read_.Settings.PrinterOptions, c.printerOptions) << c.optionsCode;
  }

  // Series number 7 alone; a negative Y after an empty X; LF line ends and blanks around items.
  lines = Lines(GraphFileText(ws_));
  lines[2] = " 7 ";
  lines[3] = std::string(kEmpty) + " -2.50000000000000E+0000";
  lines[4] = "\t3\t-4e-2 ";
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  ASSERT_TRUE(ReadGraphFile(read_, Put(text)).ok);
  ASSERT_EQ(read_.DataWindows.size(), 1u);
  const Series& r = *read_.DataWindows[0];
  EXPECT_EQ(r.Caption(), "Series Number: 7");
  EXPECT_TRUE(r.Cells.IsEmpty(1, kXColumn));
  EXPECT_EQ(r.Cells.Number(1, kYColumn), -2.5L);
  EXPECT_EQ(r.Cells.Number(2, kXColumn), 3);
  EXPECT_EQ(r.Cells.Number(2, kYColumn), -0.04L);
}

TEST_F(GraphFileTest, NoSeriesReplacesTheSeriesAndTheSettings) {
  ws_.Settings.MainTitles[1] = "from the file";
  NewSeries(read_, 4);
  read_.Settings.MainTitles[1] = "before";
  ASSERT_TRUE(RoundTrip(ws_, read_).ok);
  EXPECT_TRUE(read_.DataWindows.empty());
  EXPECT_EQ(read_.Settings.MainTitles[1], "from the file");
}

TEST_F(GraphFileTest, ActiveFitIsRunAgainAndRefillsTheFitColumn) {
  Series& s = NewSeries(ws_, 4);
  for (std::int32_t row = 1; row <= 3; ++row) {
    s.Cells.SetNumber(row, kXColumn, row);
    s.Cells.SetNumber(row, kYColumn, 2 * row + 1 + (row == 2 ? 0.1L : 0));
  }
  s.GraphType = kGraphLineFit;
  s.Fit.FitKind = 1;
  TFitObj(s).RunFit();
  ASSERT_TRUE(s.FitActive);
  ASSERT_TRUE(RoundTrip(ws_, read_).ok);
  const Series& r = *read_.DataWindows.at(0);
  EXPECT_TRUE(r.FitActive);
  EXPECT_EQ(r.GraphType, kGraphLineFit);
  EXPECT_EQ(r.Fit.A, s.Fit.A);
  EXPECT_EQ(r.Fit.B, s.Fit.B);
  EXPECT_EQ(r.Fit.R2, s.Fit.R2);
  for (std::int32_t row = 1; row <= 3; ++row) {
    ASSERT_FALSE(r.Cells.IsEmpty(row, kFitColumn)) << row;
    EXPECT_EQ(r.Cells.Number(row, kFitColumn), s.Cells.Number(row, kFitColumn)) << row;
  }
  EXPECT_TRUE(r.Cells.IsEmpty(4, kFitColumn));
}

// A model goes into a section of its own after the last standard item: a reader that knows
// no models sees a series without a fit, and this one reads the model back and fits it again.
TEST_F(GraphFileTest, UserModelsTravelInTheirOwnSection) {
  Series& s = NewSeries(ws_, 5);
  for (std::int32_t row = 1; row <= 5; ++row) {
    s.Cells.SetNumber(row, kXColumn, row);
    s.Cells.SetNumber(row, kYColumn, 3 * std::exp(-0.4L * row) + (row == 2 ? 0.01L : 0) + 1);
  }
  NewSeries(ws_, 2);
  s.GraphType = kGraphLineFit;
  s.Fit.FitKind = kFitUserModel;
  s.Fit.Model.Formula = "a*exp(-k*x) + c";
  s.Fit.Model.Names = {"a", "k", "c"};
  s.Fit.Model.Start = {2, 0.5, 1};
  s.Fit.Model.Fixed = {false, false, true};
  TFitObj(s).RunFit();
  ASSERT_TRUE(s.FitActive) << s.Fit.Model.Why;
  const std::string text = GraphFileText(ws_);
  const std::size_t section = text.find("[User Models]\r\n");
  ASSERT_NE(section, std::string::npos);

  std::string why;
  const auto before = ParseGraphFileText(text.substr(0, section), &why);
  ASSERT_TRUE(before.has_value()) << why;
  EXPECT_FALSE(before->Blocks[0].FitActive);
  EXPECT_EQ(before->Blocks[0].FitKind, kFitNone);
  EXPECT_EQ(before->Blocks[0].GraphType, kGraphLine);

  ASSERT_TRUE(RoundTrip(ws_, read_).ok);
  const Series& r = *read_.DataWindows.at(0);
  EXPECT_TRUE(r.FitActive);
  EXPECT_EQ(r.GraphType, kGraphLineFit);
  EXPECT_EQ(r.Fit.Model, s.Fit.Model);
  EXPECT_EQ(r.Fit.R2, s.Fit.R2);
  EXPECT_EQ(r.Cells.Number(3, kFitColumn), s.Cells.Number(3, kFitColumn));
  EXPECT_EQ(read_.DataWindows.at(1)->Fit.FitKind, kFitNone);
  EXPECT_EQ(GraphFileText(read_), text);

  // A damaged section is refused, not half read.
  for (const char* damage : {"[User Models]\r\n1\r\n1\r\n0\r\n6\r\nx\r\n0\r\n-1\r\n",
                             "[User Models]\r\n2\r\n1\r\n0\r\n6\r\na\r\n0\r\n0\r\n0\r\nstop\r\n"
                             "1\r\n0\r\n6\r\na\r\n0\r\n0\r\n0\r\nstop\r\n"}) {
    EXPECT_FALSE(ParseGraphFileText(text.substr(0, section) + damage, &why).has_value()) << damage;
  }
}

TEST_F(GraphFileTest, LineBreaksInTitlesBecomeBlanks) {
  Series& s = NewSeries(ws_, 1);
  s.SeriesTitle = "two\r\nlines";
  ws_.Settings.MainTitles[2] = "a\nb\rc";
  ws_.Settings.FloatTitleText[1] = "\r\n";
  ws_.Settings.RightYTitle = "right";
  ASSERT_TRUE(RoundTrip(ws_, read_).ok);
  EXPECT_EQ(read_.DataWindows.at(0)->SeriesTitle, "two lines");
  EXPECT_EQ(read_.Settings.MainTitles[2], "a b c");
  EXPECT_EQ(read_.Settings.FloatTitleText[1], " ");
  EXPECT_EQ(read_.Settings.RightYTitle, "right");
}

TEST_F(GraphFileTest, FileWithoutFloatingTitlesClearsThem) {
  ws_.Settings.XTitles[1] = "kept";
  read_.Settings.FloatTitleText[3] = "old";
  read_.Settings.FloatTitleX[3] = 5;
  auto lines = Lines(GraphFileText(ws_));
  lines.resize(lines.size() - 30);
  for (const std::string tail : {"", "\r\n  \r\n"}) {
    ASSERT_TRUE(ReadGraphFile(read_, Put(Join(lines) + tail)).ok);
    EXPECT_EQ(read_.Settings.XTitles[1], "kept");
    EXPECT_EQ(read_.Settings.FloatTitleText[3], "");
    EXPECT_EQ(read_.Settings.FloatTitleX[3], 0);
  }
}

TEST_F(GraphFileTest, SeriesBeyondTheLimitAreDroppedWithOneMessage) {
  std::vector<std::string> lines;
  for (int i = 0; i < MaxSeries; ++i) NewSeries(ws_, 1);
  lines = Lines(GraphFileText(ws_));
  // Two more blocks, copies of the last one.
  constexpr std::size_t kBlock = 2 + 1 + 15;
  const std::size_t settings = 1 + MaxSeries * kBlock;
  const std::vector<std::string> extra(lines.begin() + settings - kBlock, lines.begin() + settings);
  lines.insert(lines.begin() + settings, extra.begin(), extra.end());
  lines.insert(lines.begin() + settings, extra.begin(), extra.end());
  lines[0] = std::to_string(MaxSeries + 2);
  ASSERT_TRUE(ReadGraphFile(read_, Put(Join(lines))).ok);
  EXPECT_EQ(read_.DataWindows.size(), static_cast<std::size_t>(MaxSeries));
  EXPECT_EQ(prompts_.errors,
            std::vector<std::string>{"Sorry the number of series is LIMITED to 21."});
}

// Two series (numbers 1 and 3, two rows each), then the settings.
class GraphFileRefusalTest : public GraphFileTest,
                             public ::testing::WithParamInterface<std::pair<int, const char*>> {};

constexpr int kSecond = 1 + 19;          // first line of the second block
constexpr int kSettings = kSecond + 19;  // first line of the settings

TEST_P(GraphFileRefusalTest, RefusedAndNothingChanges) {
  for (int i = 0; i < 3; ++i) NewSeries(ws_, 2);
  ws_.DestroySeries(*ws_.FindSeries(2));
  ws_.DataWindows[0]->Cells.SetNumber(1, kXColumn, 1);
  auto lines = Lines(GraphFileText(ws_));
  ASSERT_EQ(lines[kSecond + 1], "3");
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kSettings + 62));
  ASSERT_TRUE(ParseGraphFileText(Join(lines)));

  const auto [line, text] = GetParam();
  if (line < 0) {
    lines.resize(static_cast<std::size_t>(-line));
  } else {
    lines[static_cast<std::size_t>(line)] = text;
  }
  Series& kept = NewSeries(read_, 3);
  kept.Cells.SetNumber(2, kYColumn, 9);
  read_.Settings.GraphFileName = "mine.gra";
  read_.Settings.MainTitles[1] = "mine";
  const std::string path = Put(Join(lines));
  const GraphFileReadResult result = ReadGraphFile(read_, path);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, "The file " + path + " has an incompatible format.");
  EXPECT_TRUE(read_.Settings.GraphLoadFailed);
  ASSERT_EQ(read_.DataWindows, std::vector<Series*>{&kept});
  EXPECT_EQ(kept.Cells.Number(2, kYColumn), 9);
  EXPECT_EQ(read_.Settings.GraphFileName, "mine.gra");
  EXPECT_EQ(read_.Settings.MainTitles[1], "mine");
  EXPECT_TRUE(prompts_.errors.empty()) << "the caller shows the message";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphFileRefusalTest,
    ::testing::Values(
        std::pair{0, "-1"}, std::pair{0, "200"}, std::pair{0, "two"},        // series count
        std::pair{1, "-1"}, std::pair{1, "200"},                             // row count
        std::pair{2, "0"}, std::pair{2, "22"}, std::pair{kSecond + 1, "1"},  // series number
        std::pair{3, "1"}, std::pair{3, "1 2 3"}, std::pair{3, "1,5 2"},     // data line
        std::pair{7, "0"}, std::pair{7, "8"},                                // graph type
        std::pair{10, "-1"}, std::pair{10, "9"},                             // fit kind
        std::pair{11, "x"}, std::pair{kSettings + 9, ""},                    // real items
        std::pair{kSecond - 1, "10"},                                        // PrinterOptions
        std::pair{kSettings + 12, "0"}, std::pair{kSettings + 12, "10001"},  // MaxDataIndex
        std::pair{kSettings + 13, "0"}, std::pair{kSettings + 13, "11"},     // BarWidth
        std::pair{kSettings + 14, "21"}, std::pair{kSettings + 15, "11"},    // X grid
        std::pair{kSettings + 16, "0"}, std::pair{kSettings + 17, "0"},      // Y grid
        std::pair{kSettings + 18, "21"}, std::pair{kSettings + 20, "0"},     // ticks
        std::pair{kSettings + 21, "-2"}, std::pair{kSettings + 23, "5001"},  // decimals
        std::pair{kSettings + 11, "yes"},                                    // a flag
        std::pair{-(kSettings + 20), ""}, std::pair{-(kSettings + 40), ""},  // cut short
        std::pair{-kSettings, ""}));

TEST_F(GraphFileTest, MissingFileAndFailedWriteChangeNothing) {
  ws_.Settings.GraphFileName = "mine.gra";
  const std::string missing = (dir_ / "none.gra").string();
  EXPECT_FALSE(ReadGraphFile(ws_, missing).ok);
  EXPECT_FALSE(ReadGraphFile(ws_, dir_.string()).ok) << "a folder";
  EXPECT_THROW(WriteGraphFile(ws_, (dir_ / "no" / "such.gra").string()), FileWriteError);
  EXPECT_EQ(ws_.Settings.GraphFileName, "mine.gra");
}

}  // namespace
}  // namespace tavel
