#include "core/print/data_print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/fit/fit_engine.h"
#include "core/series/workspace.h"
#include "support/recording_page_canvas.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"

namespace tavel::testing {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr PrintPage kLetter{2550, 3300, false, 300};  // last line 57

class DataPrintTest : public ::testing::Test {
 protected:
  // A series of `rows` rows whose row r holds (r, 10 r).
  Series& AddRows(std::int32_t rows) {
    ws.Settings.NextDataSize = rows;
    Series& series = ws.CreateSeries();
    for (std::int32_t r = 1; r <= rows; ++r) {
      series.Cells.SetNumber(r, kXColumn, r);
      series.Cells.SetNumber(r, kYColumn, 10 * r);
    }
    ws.SortDataWindows();
    return series;
  }
  std::int32_t Print(const PrintPage& page) { return PrintDataPages(ws, canvas, page); }

  ScriptedPrompts prompts;
  Workspace ws{prompts};
  RecordingPageCanvas canvas;
};

// Texts with their points, to compare a stretch of a page at once.
struct Placed {
  std::string text;
  CanvasPoint at;
  friend bool operator==(const Placed&, const Placed&) = default;
};
std::vector<Placed> Placements(const std::vector<CanvasOp>& ops) {
  std::vector<Placed> result;
  for (const CanvasOp& op : ops) result.push_back({op.text, op.points.at(0)});
  return result;
}
std::ostream& operator<<(std::ostream& os, const Placed& p) {
  return os << '"' << p.text << "\"@(" << p.at.x << ',' << p.at.y << ')';
}

TEST_F(DataPrintTest, UntitledFirstPageIsHeadedByTheGraphFileName) {
  AddRows(1);
  EXPECT_EQ(Print(kLetter), 1);
  const std::vector<CanvasOp> texts = canvas.TextsOnPage(1);
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "NoName.gra");
  EXPECT_EQ(texts[0].points[0], (CanvasPoint{25 * 50, 165}));
  EXPECT_EQ(texts[0].placement, TextPlacement::TextCentred);
  EXPECT_EQ(texts[0].fontStyle, (FontStyle{true, true}));
  EXPECT_EQ(texts[0].fontSize, 12);
  // Upright pages leave one more line: the series heading stands on line 3 + 1 + 1 + 2.
  EXPECT_EQ(Placements({texts[1], texts[2]}),
            (std::vector<Placed>{{"Series #1", {1250, 7 * 55}}, {"Index", {20 * 25, 9 * 55}}}));
  for (const CanvasOp& op : texts) EXPECT_NE(op.text.rfind("Page ", 0), 0u) << op.text;
}

TEST_F(DataPrintTest, MainTitlesTakeALineEachAndEmptyOnesNone) {
  ws.Settings.MainTitles[1] = "First";
  ws.Settings.MainTitles[3] = "Third";
  AddRows(1);
  Print({2550, 2550, true, 300});  // on its side: no extra line
  EXPECT_EQ(Placements(canvas.recorder.OfKind(CanvasOp::Text)).at(0),
            (Placed{"First", {1250, 165}}));
  EXPECT_EQ(Placements(canvas.recorder.OfKind(CanvasOp::Text)).at(1),
            (Placed{"Third", {1250, 220}}));
  EXPECT_EQ(canvas.recorder.FindText("Series #1")->points[0].y, 7 * 55);
  EXPECT_EQ(canvas.recorder.FindText("NoName.gra"), nullptr);
}

TEST(DataPrintLayout, LastUsableLineByOrientation) {
  EXPECT_EQ(DataPrintLayout({2550, 3300, false, 300}).LastLine(), 57);
  EXPECT_EQ(DataPrintLayout({3300, 2550, true, 300}).LastLine(), 46 - 6);
  EXPECT_EQ(DataPrintLayout({2550, 3299, false, 300}).LastLine(), 56);
}

// The same page at higher resolutions: the same lines, every position scaled.
class DataPrintResolution : public DataPrintTest, public ::testing::WithParamInterface<int> {};

TEST_P(DataPrintResolution, RowsPastLine57ContinueOnPageTwo) {
  const int scale = GetParam() / 300;
  AddRows(50).PrinterColor = kPrinterRed;  // the printout keeps to the series colour table
  EXPECT_EQ(Print({2500 * scale, 3300 * scale, false, GetParam()}), 2);

  // Rows start on line 11, so row 47 takes the last line 57.
  const CanvasOp* last = canvas.recorder.FindText("47");
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->points[0], (CanvasPoint{20 * 25 * scale, 57 * 55 * scale}));
  EXPECT_EQ(canvas.TextStringsOnPage(1).back(), FormatNumber(470, 14));

  const std::vector<CanvasOp> page2 = canvas.TextsOnPage(2);
  ASSERT_GE(page2.size(), 6u);
  const int u = 55 * scale, col = 25 * scale;
  EXPECT_EQ(Placements({page2.begin(), page2.begin() + 6}),
            (std::vector<Placed>{{"Page 2", {50 * col, 3 * u}},
                                 {"Series #1  (continued)", {50 * col, 5 * u}},
                                 {"Index", {20 * col, 7 * u}},
                                 {"X", {45 * col, 7 * u}},
                                 {"Y", {70 * col, 7 * u}},
                                 {"48", {20 * col, 9 * u}}}));
  EXPECT_EQ(page2[1].fontColor, PrintSeriesColor(1));
  EXPECT_EQ(page2[2].fontColor, kBlack);
  EXPECT_EQ(page2[2].fontStyle, (FontStyle{true, true}));
  EXPECT_EQ(page2[5].fontStyle, (FontStyle{true, false}));
  EXPECT_EQ(page2[5].fontSize, 12);  // points: the same type size at every resolution
}

INSTANTIATE_TEST_SUITE_P(Dpi, DataPrintResolution, ::testing::Values(300, 600, 1200));

TEST_F(DataPrintTest, PlainTablePrintsFilledRowsWithTheirTextsAsTyped) {
  Series& series = AddRows(0);
  series.SetMaxIndex(6);
  series.Cells.SetText(3, kXColumn, "1,5");
  series.Cells.SetText(3, kYColumn, "2");
  series.Cells.SetText(5, kYColumn, "7e1");
  Print(kLetter);
  const std::vector<CanvasOp> texts = canvas.TextsOnPage(1);
  ASSERT_EQ(texts.size(), 1u + 1u + 3u + 5u);
  EXPECT_EQ(Placements({texts.begin() + 5, texts.end()}),
            (std::vector<Placed>{{"3", {500, 11 * 55}},
                                 {"1,5", {1125, 11 * 55}},
                                 {"2", {1750, 11 * 55}},
                                 {"5", {500, 12 * 55}},
                                 {"7e1", {1750, 12 * 55}}}));
  EXPECT_EQ(texts[5].placement, TextPlacement::TextLeft);
}

TEST_F(DataPrintTest, PowerFitBlockListsPointsCoefficientsAndEquation) {
  Series& series = AddRows(0);
  series.SetMaxIndex(4);
  for (int r = 1; r <= 3; ++r) {
    series.Cells.SetNumber(r, kXColumn, r);
    series.Cells.SetNumber(r, kYColumn, 2 * r * r);
  }
  series.SeriesTitle = "Squares";
  series.Fit.FitKind = kFitPower;
  TFitObj(series).RunFit();
  ASSERT_TRUE(series.FitActive);
  Print(kLetter);

  const std::vector<CanvasOp> texts = canvas.TextsOnPage(1);
  const FitResult& fit = series.Fit;
  auto n = [](Real v) { return FormatNumber(v, 14); };
  const std::vector<Placed> expected = {
      {"Series #1", {1250, 7 * 55}},
      {"Squares", {1250, 8 * 55}},
      {"Index", {375, 10 * 55}},
      {"X", {875, 10 * 55}},
      {"Y", {1375, 10 * 55}},
      {"YFit", {1875, 10 * 55}},
      {"1", {375, 12 * 55}},
      {n(1), {875, 12 * 55}},
      {n(2), {1375, 12 * 55}},
      {n(series.Points[0].YFit), {1875, 12 * 55}},
      {"2", {375, 13 * 55}},
      {n(2), {875, 13 * 55}},
      {n(8), {1375, 13 * 55}},
      {n(series.Points[1].YFit), {1875, 13 * 55}},
      {"3", {375, 14 * 55}},
      {n(3), {875, 14 * 55}},
      {n(18), {1375, 14 * 55}},
      {n(series.Points[2].YFit), {1875, 14 * 55}},
      {"A   = " + n(fit.A), {875, 15 * 55}},
      {"B   = " + n(fit.B), {875, 16 * 55}},
      {"R^2 = " + n(fit.R2), {875, 17 * 55}},
      {"Y   = A*X^B", {875, 18 * 55}},
  };
  EXPECT_EQ(Placements({texts.begin() + 1, texts.end()}), expected);
  EXPECT_EQ(texts[1].fontColor, PrintSeriesColor(1));
  EXPECT_EQ(texts[2].fontColor, PrintSeriesColor(1));
  EXPECT_EQ(texts.back().fontColor, kBlack);
}

// Among the fit lines the column headings come back only while coefficients remain.
struct FitBreakCase {
  std::int32_t lastLine;  // rows on 11 and 12, A 13, B 14, R^2 15, equation 16
  std::vector<std::string> page2;
};
class DataPrintFitBreak : public DataPrintTest,
                          public ::testing::WithParamInterface<FitBreakCase> {};

TEST_P(DataPrintFitBreak, HeadingsRepeatWhileCoefficientsRemain) {
  Series& series = AddRows(2);
  series.Fit.FitKind = 1;
  TFitObj(series).RunFit();
  ASSERT_TRUE(series.FitActive);
  EXPECT_EQ(Print({2550, 55 * (GetParam().lastLine + 3), false, 300}), 2);
  std::vector<std::string> page2 = canvas.TextStringsOnPage(2);
  ASSERT_GE(page2.size(), 2u);
  EXPECT_EQ(page2[0], "Page 2");
  EXPECT_EQ(page2[1], "Series #1  (continued)");
  page2.erase(page2.begin(), page2.begin() + 2);
  // Coefficient and R^2 lines end in their value; the label is what this test is about.
  for (std::string& text : page2) {
    if (text.rfind("Y ", 0) != 0 && text.find(" = ") != std::string::npos) {
      text = text.substr(0, text.find(" = ") + 2);
    }
  }
  EXPECT_EQ(page2, GetParam().page2);
}

INSTANTIATE_TEST_SUITE_P(LastLines, DataPrintFitBreak,
                         ::testing::Values(FitBreakCase{13,
                                                        {"Index", "X", "Y", "YFit",
                                                         "B   =", "R^2 =", "Y   = A + B*X"}},
                                           FitBreakCase{14, {"R^2 =", "Y   = A + B*X"}},
                                           FitBreakCase{15, {"Y   = A + B*X"}}));

TEST_F(DataPrintTest, FitTableShowsTheGridAsItStandsNow) {
  Series& series = AddRows(3);
  series.Fit.FitKind = 1;
  TFitObj(series).RunFit();
  ASSERT_TRUE(series.FitActive);
  // An X cell changed after the fit; the fit stays, the points are not read again.
  series.Cells.SetText(2, kXColumn, "2,25");
  Print(kLetter);
  const std::vector<CanvasOp> texts = canvas.TextsOnPage(1);
  const auto row2 = std::find_if(texts.begin(), texts.end(), [](const CanvasOp& op) {
    return op.points[0] == CanvasPoint{875, 12 * 55};
  });
  ASSERT_NE(row2, texts.end());
  EXPECT_EQ(row2->text, "2.25");
}

// A block starts on a new page unless its heading, title, column headings and first row fit.
struct BlockStartCase {
  std::int32_t pageHeight;  // series 1 ends on line 12; series 2's first row needs line 18 (19)
  bool titled;
  bool newPage;
};
class DataPrintBlockStart : public DataPrintTest,
                            public ::testing::WithParamInterface<BlockStartCase> {};

TEST_P(DataPrintBlockStart, WholeBlockHeadOrNewPage) {
  const BlockStartCase& c = GetParam();
  AddRows(1);
  AddRows(1).SeriesTitle = c.titled ? "title" : "";
  EXPECT_EQ(Print({2550, c.pageHeight, false, 300}), c.newPage ? 2 : 1);
  const CanvasOp* heading = canvas.recorder.FindText("Series #2");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->points[0].y, (c.newPage ? 5 : 14) * 55);
  if (c.newPage) {
    EXPECT_EQ(canvas.TextStringsOnPage(2).at(0), "Page 2");
  }
}

INSTANTIATE_TEST_SUITE_P(Heights, DataPrintBlockStart,
                         ::testing::Values(BlockStartCase{55 * 20, false, true},  // last line 17
                                           BlockStartCase{55 * 21, false, false},
                                           BlockStartCase{55 * 21, true, true},
                                           BlockStartCase{55 * 22, true, false}));

TEST_F(DataPrintTest, SparsePlainTableRepeatsHeadingsWhileFilledRowsRemain) {
  Series& series = AddRows(0);
  series.SetMaxIndex(40);
  series.Cells.SetNumber(3, kXColumn, 3);
  series.Cells.SetNumber(40, kYColumn, 40);
  // Last line 11: row 3 takes it, row 40 goes to page 2.
  EXPECT_EQ(Print({2550, 55 * 14, false, 300}), 2);
  EXPECT_EQ(canvas.TextStringsOnPage(2),
            (std::vector<std::string>{"Page 2", "Series #1  (continued)", "Index", "X", "Y", "40",
                                      FormatNumber(40, 14)}));
}

TEST_F(DataPrintTest, LastRowOnTheLastLineStartsNoEmptyContinuation) {
  Series& series = AddRows(0);
  series.SetMaxIndex(3);
  series.Cells.SetNumber(1, kXColumn, 1);
  EXPECT_EQ(Print({2550, 55 * 14, false, 300}), 1);
}

}  // namespace
}  // namespace tavel::testing
