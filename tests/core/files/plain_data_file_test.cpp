#include "core/files/plain_data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/test_folder.h"

namespace tavel {
namespace {

namespace fs = std::filesystem;

class PlainDataTest : public ::testing::Test {
 protected:
  PlainDataTest() : dir_(testing::NewTestFolder("tavel_plain_")) {}
  ~PlainDataTest() override {
    workspace_.DestroyAllSeries();
    fs::remove_all(dir_);
  }

  // The text read as a ".dat" file: per series its title and its rows as "X|Y".
  std::vector<std::string> Read(const std::string& text, CsvOpenResult& opened) {
    workspace_.DestroyAllSeries();
    const std::string path = (dir_ / "data.dat").string();
    std::ofstream(path, std::ios::binary) << text;
    opened = OpenDataFileByName(workspace_, path);
    std::vector<std::string> series;
    for (const Series* s : opened.created) {
      std::string rows = s->SeriesTitle + ":";
      for (std::int32_t r = 1; r <= s->Cells.RowCount(); ++r) {
        rows += " " + s->Cells.Text(r, kXColumn) + "|" + s->Cells.Text(r, kYColumn);
      }
      series.push_back(rows);
    }
    return series;
  }

  fs::path dir_;
  testing::ScriptedPrompts prompts_;
  Workspace workspace_{prompts_};
};

TEST_F(PlainDataTest, ReadsTextAsPeopleWriteIt) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> series;
    std::int64_t skipped, firstSkipped, uneven, firstUneven;
  } cases[] = {
      {"CommentsAndARemark",
       "# test data set\n@type xy\n% a\n! b\n; c\n// d\n1 2\n2 3   <- interpolated (by eye) value\n",
       {": 1|2 2|3"}, 0, 0, 0, 0},
      {"NamesGiveTitles", "time volts amps\r\n1 2 3\r\n2 4 6\r\n", {"volts: 1|2 2|4", "amps: 1|3 2|6"},
       0, 0, 0, 0},
      {"BlocksEndAtAnAmpersandOrTwoBlankLines", "1 2\n2 3\n&\n1 5\n\n\n1 7\n\n2 8\n",
       {": 1|2 2|3", ": 1|5", ": 1|7 2|8"}, 0, 0, 0, 0},
      {"DecimalCommasUsedThroughout", "1,5 2,25\n2,5 3\n", {": 1.5|2.25 2.5|3"}, 0, 0, 0, 0},
      {"ShortLinesAndWordsSaidOnce", "1 2 3\n4 5\nwords only\n6 7 8\n",
       {": 1|2 4|5 6|7", ": 1|3 4| 6|8"}, 1, 3, 1, 2},
      {"AWiderLineLater", "1 2\n3 4 5\n", {": 1|2 3|4", ": 1| 3|5"}, 0, 0, 1, 1},
      {"OneSeparatorGoesToTheCsvReader", "x;y\n1;2\n3;4\n", {"y: 1|2 3|4"}, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    CsvOpenResult opened;
    EXPECT_EQ(Read(c.text, opened), c.series) << c.name;
    EXPECT_FALSE(opened.failed) << c.name;
    EXPECT_EQ(opened.skippedLines, c.skipped) << c.name;
    EXPECT_EQ(opened.firstSkippedLine, c.firstSkipped) << c.name;
    EXPECT_EQ(opened.unevenLines, c.uneven) << c.name;
    EXPECT_EQ(opened.firstUnevenLine, c.firstUneven) << c.name;
  }
  CsvOpenResult opened;
  EXPECT_TRUE(Read("only words\n# and a comment\n", opened).empty());
  EXPECT_TRUE(opened.failed && opened.noNumbers);
}

// A large text is read in two parts at once; wherever the split falls (in a block, among
// blank lines, at a block end), the series are those one reading gives.
TEST_F(PlainDataTest, TwoPartsReadAsOne) {
  const char* lines[] = {
      "1 2", "3 4 5", "6",        "",      "&",
      "# c", "w x",   "7 8 <- r", "9,5 1", "2 3 <- a remark as long as many rows"};
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::string text = "a b\n1 1\n";
    const int count = 4 + static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) text += std::string(lines[random() % 10]) + "\n";
    testing_hooks::PlainTextTwoPartBytes = std::size_t(-1);
    CsvOpenResult one, two;
    const auto whole = Read(text, one);
    testing_hooks::PlainTextTwoPartBytes = 1;
    // Rooms too small for the rows, too: they outgrow them.
    testing_hooks::PlainTextRoomRows = round % 2 == 0 ? 0 : 1 + round % 12;
    const auto parts = Read(text, two);
    testing_hooks::PlainTextTwoPartBytes = 1 << 20;
    testing_hooks::PlainTextRoomRows = 0;
    ASSERT_EQ(parts, whole) << text;
    EXPECT_EQ(ReadingNotes(two, "f"), ReadingNotes(one, "f")) << text;
  }
}

// Blocks past the series limit keep no rows, however many a text holds, yet their short lines
// are told; blocks without a Y column are passed over wherever they stand. Two parts agree.
TEST_F(PlainDataTest, BlocksPastTheLimitAreCounted) {
  std::string many, between;
  for (int b = 0; b < 30; ++b) many += "1 2\n&\n";
  many += "5\n&\n1 2 3\n4 5\n&\n7\n";  // the short line is line 64
  for (int b = 0; b < 25; ++b) between += "9\n&\n1 2\n&\n";
  between += "1 2\n3\n";  // line 102
  const struct {
    std::string text;
    std::int64_t firstUneven;
  } cases[] = {{many, 64}, {between, 102}};
  for (const auto& c : cases) {
    for (const std::size_t twoPartBytes : {std::size_t(-1), std::size_t(1)}) {
      testing_hooks::PlainTextTwoPartBytes = twoPartBytes;
      CsvOpenResult opened;
      EXPECT_EQ(Read(c.text, opened).size(), std::size_t(MaxSeries)) << c.firstUneven;
      testing_hooks::PlainTextTwoPartBytes = 1 << 20;
      EXPECT_TRUE(opened.limitReached && !opened.failed) << c.firstUneven;
      EXPECT_EQ(opened.unevenLines, 1) << c.firstUneven;
      EXPECT_EQ(opened.firstUnevenLine, c.firstUneven);
    }
  }
}

}  // namespace
}  // namespace tavel
