#include "core/cells/clipboard_text.h"

#include <gtest/gtest.h>

#include <new>

#include <optional>
#include <random>
#include <string>

#include "core/platform/clipboard.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/memory_clipboard.h"

namespace tavel {
namespace {

using testing::MemoryClipboard;

class ClipboardTextTest : public ::testing::Test {
 protected:
  Series& NewSeries(std::int32_t rows) {
    ws.Settings.NextDataSize = rows;
    return ws.CreateSeries();
  }
  static void Put(Series& s, std::int32_t row, std::optional<Real> x, std::optional<Real> y) {
    if (x) s.Cells.SetNumber(row, kXColumn, *x);
    if (y) s.Cells.SetNumber(row, kYColumn, *y);
  }
  // The X, Y and Fit texts of a row joined by "|".
  static std::string Row(const Series& s, std::int32_t row) {
    return s.Cells.Text(row, kXColumn) + "|" + s.Cells.Text(row, kYColumn) + "|" +
           s.Cells.Text(row, kFitColumn);
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  MemoryClipboard clipboard;
};

TEST_F(ClipboardTextTest, CopyJoinsByTabAndEndsEveryRowWithCrLf) {
  Series& s = NewSeries(5);
  Put(s, 2, 1.5L, 2);
  Put(s, 3, 3, std::nullopt);
  EXPECT_EQ(CopyText(s.Cells, {kXColumn, 2, kYColumn, 3}), "1.5\t2\r\n3\t\r\n");
  EXPECT_EQ(CopyText(s.Cells, {kYColumn, 3, kFitColumn, 3}), "\t\r\n");
  // Clipped to the grid: rows beyond the last one give nothing.
  EXPECT_EQ(CopyText(s.Cells, {kXColumn, 5, kXColumn, 9}), "\r\n");
}

struct PasteCase {
  const char* name;
  const char* text;
  GridCell start;
  const char* rows[5];  // the rows afterwards, as "X|Y|Fit"
};

class PasteTable : public ClipboardTextTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteTable, FillsRowsFromTheStartCell) {
  const PasteCase& c = GetParam();
  Series& s = NewSeries(5);
  Put(s, 1, 100, std::nullopt);
  Put(s, 2, 200, std::nullopt);
  PasteCells(s, c.text, c.start);
  for (std::int32_t row = 1; row <= 5; ++row) EXPECT_EQ(Row(s, row), c.rows[row - 1]) << row;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PasteTable,
    ::testing::Values(
        PasteCase{"AtX", "1 2 3\r\n4\t5\r\n", {1, kXColumn}, {"1|2|", "4|5|", "||", "||", "||"}},
        PasteCase{
            "AtY", "1 2 3\r\n4\t5\r\n", {1, kYColumn}, {"100|1|", "200|4|", "||", "||", "||"}},
        PasteCase{"LoneLf", "1 2 3\n4\t5\n", {1, kXColumn}, {"1|2|", "4|5|", "||", "||", "||"}},
        PasteCase{"CommaSplits", "1,5", {3, kXColumn}, {"100||", "200||", "1|5|", "||", "||"}},
        PasteCase{"BelowTheLastRow",
                  "1\r\n2\r\n3\r\n4\r\n",
                  {4, kXColumn},
                  {"100||", "200||", "||", "1||", "2||"}},
        PasteCase{"NotANumberStillCounts",
                  "- 7 8\r\nx 1e 9",
                  {1, kXColumn},
                  {"100|7|", "200|9|", "||", "||", "||"}},
        PasteCase{
            "EmptyLineSkipsARow", "\r\n5\t6", {1, kXColumn}, {"100||", "5|6|", "||", "||", "||"}},
        PasteCase{"NeverIntoFit", "1 2 3", {1, kFitColumn}, {"100||", "200||", "||", "||", "||"}},
        PasteCase{"Exponents",
                  "1.5e3\t-2E-3",
                  {3, kXColumn},
                  {"100||", "200||", "1500|-.002|", "||", "||"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ClipboardTextTest, PasteReadsOnlyTheFirst99999Characters) {
  Series& s = NewSeries(5);
  std::string text(kPasteLimit - 9, ' ');
  text += "12345678901234\r\n5";
  PasteCells(s, text, {1, kXColumn});
  EXPECT_EQ(Row(s, 1), "123456789||");
  EXPECT_EQ(Row(s, 2), "||");
}

TEST_F(ClipboardTextTest, PasteRunsTheFitRule) {
  Series& s = NewSeries(5);
  s.Fit.FitKind = 1;
  s.Fit.A = 1;
  s.Fit.B = 2;
  s.FitActive = true;
  PasteCells(s, "3", {1, kXColumn});
  EXPECT_EQ(s.Cells.Text(1, kYColumn), "7");
  EXPECT_TRUE(s.FitActive);
  PasteCells(s, "4 5", {2, kXColumn});
  EXPECT_FALSE(s.FitActive);
}

TEST_F(ClipboardTextTest, PasteOfAnyTextStaysInsideXAndY) {
  Series& s = NewSeries(50);
  std::mt19937 random(7);
  const std::string alphabet = "0123456789+-.eE,\t \r\n\r\nabc\x01\xff";
  for (int round = 0; round < 20; ++round) {
    std::string text(150000, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const std::int32_t row = static_cast<std::int32_t>(1 + random() % 50);
    PasteCells(s, text, {row, static_cast<int>(kXColumn + random() % 3)});
  }
  for (std::int32_t row = 1; row <= s.Cells.RowCount(); ++row) {
    EXPECT_TRUE(s.Cells.IsEmpty(row, kFitColumn));
  }
}

// The window grows to hold every pasted row, up to the limit; the rest is refused with a box.
TEST_F(ClipboardTextTest, PasteGrowsTheWindowToHoldEveryRow) {
  const std::string twelve = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11 5\n12 6\n";
  const struct {
    std::string text;
    std::int32_t start, limit, rows;
    const char* last;  // the last row afterwards, as "X|Y|Fit"
    std::size_t errors;
  } cases[] = {{twelve, 1, 100, 12, "12|6|", 0}, {"7 8\n9", 10, 100, 11, "9||", 0},
               {"1\n\n\n\nx\n", 10, 100, 10, "1||", 0}, {twelve, 1, 11, 11, "11|5|", 1},
               {"1\n2", 10, 10, 10, "1||", 1}};
  for (const auto& c : cases) {
    prompts.errors.clear();
    Series& s = NewSeries(10);
    PasteCells(s, c.text, {c.start, kXColumn}, c.limit);
    EXPECT_EQ(s.Cells.RowCount(), c.rows) << c.text;
    EXPECT_EQ(s.MaxIndex, c.rows) << c.text;
    EXPECT_EQ(Row(s, s.MaxIndex), c.last) << c.text;
    EXPECT_EQ(prompts.errors.size(), c.errors) << c.text;
  }
}

TEST_F(ClipboardTextTest, CutCopiesThenEmptiesAndClearsTheFit) {
  Series& s = NewSeries(5);
  Put(s, 1, 1, 2);
  Put(s, 2, 3, 4);
  s.FitActive = true;
  s.Cells.SetNumber(1, kFitColumn, 2);
  EXPECT_EQ(CutCells(s, {kYColumn, 1, kYColumn, 2}), "2\r\n4\r\n");
  EXPECT_EQ(Row(s, 1), "1||");
  EXPECT_EQ(Row(s, 2), "3||");
  EXPECT_FALSE(s.FitActive);
  EXPECT_TRUE(s.Points[0].XValid);
  EXPECT_FALSE(s.Points[0].YValid);
}

TEST_F(ClipboardTextTest, DuplicateCopiesEachCellToItsOwnColumn) {
  Series& source = NewSeries(4);
  Put(source, 1, 1, 2);
  Put(source, 2, std::nullopt, 5);
  Put(source, 3, 1.0L / 3.0L, std::nullopt);
  source.Cells.SetNumber(1, kFitColumn, 9);
  ws.Settings.NextDataSize = 10;

  Series* copy = DuplicateSeries(source, clipboard);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(clipboard.text, "1\t2\r\n\t5\r\n.333333333333\t\r\n\t\r\n");
  EXPECT_EQ(copy->SeriesNumber, 2);
  EXPECT_EQ(copy->MaxIndex, 4);
  EXPECT_EQ(ws.Settings.NextDataSize, 10);
  EXPECT_EQ(Row(*copy, 1), "1|2|");
  EXPECT_EQ(Row(*copy, 2), "|5|");
  EXPECT_EQ(copy->Cells.Number(3, kXColumn), 1.0L / 3.0L);
  EXPECT_EQ(Row(*copy, 4), "||");
}

TEST_F(ClipboardTextTest, DuplicateAtTheSeriesLimitOnlyCopies) {
  Series& source = NewSeries(2);
  Put(source, 1, 1, 2);
  while (!ws.SeriesLimitReached()) NewSeries(2);
  EXPECT_EQ(DuplicateSeries(source, clipboard), nullptr);
  EXPECT_EQ(clipboard.text, "1\t2\r\n\t\r\n");
  EXPECT_EQ(prompts.beeps, 1);
  ASSERT_EQ(prompts.errors.size(), 1u);
  EXPECT_EQ(prompts.errors[0], "Sorry the number of series is LIMITED to 21.");
  EXPECT_EQ(ws.DataWindows.size(), 21u);
}

TEST_F(ClipboardTextTest, DuplicateThatFailsPutsTheNextSizeBack) {
  Series& source = NewSeries(7);
  ws.Settings.NextDataSize = 10;
  // The window for the copy cannot be made: the failure reaches the caller, the size stays.
  struct Failing : WorkspaceObserver {
    void SeriesCreated(Series&) override { throw std::bad_alloc(); }
    void SeriesDestroyed(Series&) override {}
  } failing;
  ws.SetObserver(&failing);
  EXPECT_THROW(DuplicateSeries(source, clipboard), std::bad_alloc);
  ws.SetObserver(nullptr);
  EXPECT_EQ(ws.Settings.NextDataSize, 10);
}

}  // namespace
}  // namespace tavel
