#include "core/files/data_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/files/atomic_file.h"
#include "core/files/narrow_read.h"
#include "core/series/graph_settings.h"
#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/failing_sync.h"
#include "support/scripted_prompts.h"
#include "support/test_folder.h"

namespace tavel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// The written form straight from printf, to hold the fast formatter against.
std::string ReferenceForm(Real value) {
  if (!std::isfinite(value)) return " 1.00000000000000E+4932";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14Le", std::fabs(value));
  char exponent[24];
  std::snprintf(exponent, sizeof exponent, "%04ld",
                std::labs(std::strtol(buffer + 17, nullptr, 10)));
  return std::string(value < 0 ? "-" : " ") + std::string(buffer, 16) + "E" + buffer[16 + 1] +
         exponent;
}

bool SameValue(std::optional<Real> a, std::optional<Real> b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (*a == *b && std::signbit(*a) == std::signbit(*b));
}

TEST(DataFileNumber, WrittenFormExamples) {
  const struct {
    Real value;
    const char* text;
  } cases[] = {
      {1.5L, " 1.50000000000000E+0000"},
      {-0.00225L, "-2.25000000000000E-0003"},
      {0.0L, " 0.00000000000000E+0000"},
      {-0.0L, " 0.00000000000000E+0000"},
      {EmptyValue, " 1.00000000000000E+4932"},
      {std::numeric_limits<Real>::infinity(), " 1.00000000000000E+4932"},
      {std::numeric_limits<Real>::quiet_NaN(), " 1.00000000000000E+4932"},
      {2e9L, " 2.00000000000000E+0009"},
      {1e-10L, " 1.00000000000000E-0010"},
      {-123456789012345678.0L, "-1.23456789012346E+0017"},
      {999999.9999999999L, " 1.00000000000000E+0006"},
      {std::numeric_limits<Real>::max(), " 1.18973149535723E+4932"},
      // exact ties at the sixteenth digit round to even, as printf does
      {1000000000000005.0L, " 1.00000000000000E+0015"},
      {1000000000000015.0L, " 1.00000000000002E+0015"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDataFileNumber(c.value), c.text) << static_cast<double>(c.value);
  }
}

TEST(DataFileNumber, FastFormatterAgreesWithPrintf) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(-1, 1);
  std::uniform_int_distribution<int> decade(-40, 45);
  for (int i = 0; i < 100'000; ++i) {
    Real value = static_cast<Real>(unit(random)) * std::pow(10.0L, decade(random));
    if (i % 4 == 0) {
      // every bit of the 64-bit mantissa in play
      const std::uint64_t bits = random() | (1ull << 63);
      value = std::ldexp(static_cast<Real>(bits), decade(random) - 63);
    }
    if (i % 4 == 1) value = std::round(value * 1e6L) / 1e6L;  // short decimals
    ASSERT_EQ(FormatDataFileNumber(value), ReferenceForm(value)) << static_cast<double>(value);
  }
  for (const Real edge : {std::numeric_limits<Real>::denorm_min(), std::numeric_limits<Real>::min(),
                          1e-4900L, -3.3e4931L, 1e28L, 1e-14L}) {
    EXPECT_EQ(FormatDataFileNumber(edge), ReferenceForm(edge));
  }
}

TEST(DataFileNumber, TokensReadAsParseNumberReadsThem) {
  const char* tokens[] = {"1",
                          "-1",
                          "+1",
                          "1.",
                          ".5",
                          "-.5",
                          ".",
                          "-",
                          "+",
                          "",
                          "e5",
                          "1e5",
                          "1E+5",
                          "1e",
                          "1e+",
                          "1.5e-3",
                          "1,5",
                          "0x10",
                          "inf",
                          "nan",
                          "INF",
                          "1e4932",
                          "1.2e4932",
                          "1e4931",
                          "-1e4932",
                          "1e-5000",
                          "-0",
                          "-0.0e7",
                          "00000.000001",
                          "123456789012345678901234567890",
                          "0.000000000000000000000000000001234",
                          "12345678901234567890e-40",
                          "1.00000000000000E+4932",
                          "1.00000000000000E-4932",
                          "1.50000000000000E+0000",
                          "-2.25000000000000E-0003",
                          "9.99999999999999E+0041",
                          "1.00000000000000E-0042",
                          "0.00000000000000E+0000",
                          "1.0000000000000xE+0000",
                          "1.00000000000000E+000x",
                          "1.00000000000000E*0000",
                          "1.00000000000000e-0005",
                          "1e0000000000000000000000005",
                          "0e99999999999",
                          "1..2",
                          "1e5.5",
                          "--1",
                          "+-1",
                          "1-",
                          "5e-4951",
                          "2e-4960"};
  for (const char* token : tokens) {
    EXPECT_TRUE(SameValue(ParseDataFileNumber(token), ParseNumber(token))) << token;
  }
  // Random texts over the characters of numbers, and the written form of random values.
  std::mt19937 random(11);
  const std::string alphabet = "0123456789012345678901234567890123456789.eE+-";
  for (int i = 0; i < 100'000; ++i) {
    std::string token(1 + random() % 24, ' ');
    for (char& c : token) c = alphabet[random() % alphabet.size()];
    ASSERT_TRUE(SameValue(ParseDataFileNumber(token), ParseNumber(token))) << token;
    const Real value =
        std::ldexp(static_cast<Real>(random()), static_cast<int>(random() % 400) - 200);
    const std::string written = FormatDataFileNumber(i % 2 ? value : -value).substr(i % 3 ? 1 : 0);
    ASSERT_TRUE(SameValue(ParseDataFileNumber(written), ParseNumber(written))) << written;
  }
}

TEST(DataFileNumber, WrittenFormShortCutReadsAsTheGeneralReading) {
  std::vector<std::string> texts = {
      " 1.00000000000000E+4932", " 9.99999999999999E+4930", "-9.99999999999999E+4931",
      " 0.00000000000000E+0000", "-0.00000000000000E+0000", " 1.00000000000000E-4940",
      " 1.5000000000000xE+0000", " 1.50000000000000E+000x", "+1.50000000000000E+0000",
      " 1.50000000000000e-0003", "-2.25000000000000E-0003"};
  std::mt19937_64 random(3);
  for (int i = 0; i < 2000; ++i) {
    Real v = static_cast<Real>(random()) / static_cast<Real>(random() | 1);
    v = std::ldexp(v, static_cast<int>(random() % 400) - 200);
    texts.push_back(FormatDataFileNumber(i % 2 ? -v : v));
  }
  for (const std::string& text : texts) {
    // As the reader meets it: a blank sign is a separator, a "-" belongs to the token.
    const std::string token = text[0] == ' ' ? text.substr(1) : text;
    Real general = 0;
    const bool generalValid = ReadDataFileCell(token, general);
    Real fast = 0;
    bool fastValid = false;
    if (!ReadWrittenFormCell(token.data(), static_cast<std::ptrdiff_t>(token.size()), fast,
                             fastValid)) {
      continue;
    }
    EXPECT_EQ(fastValid, generalValid) << text;
    if (generalValid) {
      EXPECT_EQ(fast, general) << text;
      EXPECT_EQ(std::signbit(fast), std::signbit(general)) << text;
    }
  }
}

TEST(DataFileNumber, WrittenValuesComeBackToFifteenDigits) {
  // Down to twice the smallest normal value: below it ParseNumber reads 0 ("too small").
  std::mt19937_64 random(3);
  std::vector<Real> values = {1e-10L,
                              2e9L,
                              -2e9L,
                              1.999999999e9L,
                              2.000000001e-9L,
                              1.23456789012345e-4900L,
                              1.1e4930L,
                              -1.1e4930L,
                              std::numeric_limits<Real>::min() * 2,
                              0.1L,
                              1.0L / 3,
                              -3.14159265358979323846L,
                              7e-300L};
  for (int i = 0; i < 10'000; ++i) {
    values.push_back(
        std::ldexp(static_cast<Real>(random()), static_cast<int>(random() % 600) - 300));
  }
  for (const Real value : values) {
    const std::string written = FormatDataFileNumber(value);
    const auto back = ParseDataFileNumber(written.substr(1));
    ASSERT_TRUE(back.has_value()) << written;
    const Real read = written[0] == '-' ? -*back : *back;
    EXPECT_LE(std::fabs(read - value), std::fabs(value) * 5.000001e-15L) << written;
    EXPECT_EQ(FormatDataFileNumber(read), written);
  }
}

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::NewTestFolder("tavel_data_file_"); }
  void TearDown() override {
    workspace_.DestroyAllSeries();
    fs::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Put(const std::string& name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
    return Path(name);
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  Series& NewSeries(std::int32_t rows) {
    workspace_.Settings.NextDataSize = rows;
    Series& series = workspace_.CreateSeries();
    workspace_.SortDataWindows();
    return series;
  }
  // "x,y" per row, "" for an empty cell.
  static std::string Row(const Series& series, std::int32_t row) {
    const auto cell = [&](int column) {
      const auto reading = series.Cells.Read(row, column);
      return reading.valid ? FormatNumber(reading.value, 14) : std::string();
    };
    return cell(kXColumn) + "," + cell(kYColumn);
  }
  static std::vector<std::string> Rows(const Series& series) {
    std::vector<std::string> rows;
    for (std::int32_t r = 1; r <= series.MaxIndex; ++r) rows.push_back(Row(series, r));
    return rows;
  }

  fs::path dir_;
  testing::ScriptedPrompts prompts_;
  Workspace workspace_{prompts_};
};

TEST_F(DataFileTest, TenRowsWithThreeFilledRoundTrip) {
  Series& series = NewSeries(10);
  series.Cells.SetNumber(1, kXColumn, 1.5L);
  series.Cells.SetNumber(1, kYColumn, -0.00225L);
  series.Cells.SetText(4, kXColumn, "2,5");  // an edit the grid accepted with a decimal comma
  series.Cells.SetNumber(4, kYColumn, 2e9L);
  series.Cells.SetNumber(10, kXColumn, 1e-10L);
  series.Cells.SetNumber(10, kYColumn, 7);
  series.Cells.SetNumber(6, kXColumn, 3);  // X only
  const std::string path = Path("ten.prn");
  WriteDataFile(series, path);

  const std::string empty = " 1.00000000000000E+4932";
  std::string expected;
  for (int r = 1; r <= 10; ++r) {
    std::string line = empty + " " + empty;
    if (r == 1) line = " 1.50000000000000E+0000 -2.25000000000000E-0003";
    if (r == 4) line = " 2.50000000000000E+0000  2.00000000000000E+0009";
    if (r == 6) line = " 3.00000000000000E+0000 " + empty;
    if (r == 10) line = " 1.00000000000000E-0010  7.00000000000000E+0000";
    expected += line + "\r\n";
  }
  EXPECT_EQ(Contents(path), expected);
  EXPECT_EQ(series.FileName, path);
  EXPECT_EQ(series.Caption(), "Series Number: 1   -   TEN.PRN");

  workspace_.DestroyAllSeries();
  const auto result = OpenDataFile(workspace_, path);
  ASSERT_FALSE(result.failed);
  ASSERT_EQ(result.created.size(), 1u);
  const Series& back = *result.created[0];
  EXPECT_EQ(back.MaxIndex, 10);
  EXPECT_EQ(Rows(back), (std::vector<std::string>{"1.5,-.00225", ",", ",", "2.5,2.00000E+0009", ",",
                                                  "3,", ",", ",", ",", "1.00000E-0010,7"}));
  EXPECT_EQ(back.FileName, path);
  EXPECT_EQ(back.Caption(), "Series Number: 1   -   TEN.PRN");
}

TEST_F(DataFileTest, EachYColumnBecomesASeriesSharingX) {
  workspace_.Settings.NextDataSize = 10;
  const std::string path = Put("two.prn", "1 2 3\r\n4 5 6");
  const auto result = OpenDataFile(workspace_, path);
  ASSERT_FALSE(result.failed);
  ASSERT_EQ(result.created.size(), 2u);
  const Series& first = *result.created[0];
  const Series& second = *result.created[1];
  EXPECT_EQ(first.SeriesNumber, 1);
  EXPECT_EQ(second.SeriesNumber, 2);
  EXPECT_EQ(Rows(first), (std::vector<std::string>{"1,2", "4,5"}));
  EXPECT_EQ(Rows(second), (std::vector<std::string>{"1,3", "4,6"}));
  // Only the last series takes the file as its own; both name it in the caption.
  EXPECT_EQ(first.FileName, "NoName.prn");
  EXPECT_EQ(second.FileName, path);
  EXPECT_EQ(first.Caption(), "Series Number: 1   -   TWO.PRN");
  EXPECT_EQ(second.Caption(), "Series Number: 2   -   TWO.PRN");
  EXPECT_EQ(result.LastCreated(), &second);
  EXPECT_EQ(workspace_.Settings.NextDataSize, 10);
  EXPECT_EQ(prompts_.beeps, 0);
}

TEST_F(DataFileTest, SeriesLimitCutsTheColumns) {
  for (int i = 0; i < MaxSeries; ++i) NewSeries(1);
  const auto full = OpenDataFile(workspace_, Put("two.prn", "1 2 3\r\n"));
  EXPECT_TRUE(full.created.empty());
  EXPECT_TRUE(full.limitReached);
  EXPECT_EQ(prompts_.beeps, 1);
  EXPECT_EQ(prompts_.errors,
            std::vector<std::string>{"Sorry the number of series is LIMITED to 21."});

  workspace_.DestroySeries(*workspace_.FindSeries(20));
  workspace_.DestroySeries(*workspace_.FindSeries(5));
  const auto cut = OpenDataFile(workspace_, Put("four.prn", "1 2 3 4 5\r\n"));
  ASSERT_EQ(cut.created.size(), 2u);
  EXPECT_EQ(cut.created[0]->SeriesNumber, 5);
  EXPECT_EQ(cut.created[1]->SeriesNumber, 20);
  EXPECT_EQ(Row(*cut.created[1], 1), "1,3");
  EXPECT_EQ(prompts_.errors.size(), 2u);
  EXPECT_EQ(workspace_.DataWindows.size(), static_cast<std::size_t>(MaxSeries));
  EXPECT_TRUE(std::is_sorted(
      workspace_.DataWindows.begin(), workspace_.DataWindows.end(),
      [](const Series* a, const Series* b) { return a->SeriesNumber < b->SeriesNumber; }));
}

struct ReadCase {
  const char* name;
  std::string content;
  std::vector<std::vector<std::string>> series;  // rows of each series
};

class DataFileReadTest : public DataFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(DataFileReadTest, ReadsCellsByTheRules) {
  const auto result = OpenDataFile(workspace_, Put("case.prn", GetParam().content));
  ASSERT_FALSE(result.failed);
  ASSERT_EQ(result.created.size(), GetParam().series.size());
  for (std::size_t s = 0; s < result.created.size(); ++s) {
    EXPECT_EQ(Rows(*result.created[s]), GetParam().series[s]) << "series " << s + 1;
  }
}

const std::string k64Ones(64, '1');

INSTANTIATE_TEST_SUITE_P(
    Rules, DataFileReadTest,
    ::testing::Values(ReadCase{"DecimalCommaIsEmpty", "1,5 2\r\n3 1,5\r\n", {{",2", "3,"}}},
                      ReadCase{
                          "HugeValuesAreEmpty",
                          "1 2E+4931\r\n2 1E+4931\r\n3 9.99E+4930\r\n4 -2E+4931\r\n5 3E+4932\r\n",
                          {{"1,", "2,", "3,9.99000E+4930", "4,-2.00000E+4931", "5,"}}},
                      ReadCase{"NonNumbersAreEmptyButKeepTheirPlace",
                               "abc 1\r\n2 x1\r\n0x10 5\r\n",
                               {{",1", "2,", ",5"}}},
                      ReadCase{"XAloneLeavesTheRowEmpty", "7\r\n1 2\r\n", {{",", "1,2"}}},
                      ReadCase{"BlankLineShiftsTheNextLineUp",
                               "1 2\r\n\r\n3 4\r\n5 6\r\n",
                               {{"1,2", "3,4", "5,6", ","}}},
                      ReadCase{"ShortLinesLeaveColumnsEmpty",
                               "1 2 3\r\n4 5\r\n6\r\n",
                               {{"1,2", "4,5", ","}, {"1,3", ",", ","}}},
                      ReadCase{"AnyLineEndAndTabs", "1\t2\n3 4\r5  \t 6", {{"1,2", "3,4", "5,6"}}},
                      ReadCase{"LastLineWithoutLineEnd", "1 2\r\n3 4", {{"1,2", "3,4"}}},
                      ReadCase{"LongTokenIsCutAfter64",
                               k64Ones + "111111 2\r\n",
                               {{"1.11111E+0063,111111"}, {"1.11111E+0063,2"}}},
                      ReadCase{"WrittenFormAndEmptyValue",
                               " 1.50000000000000E+0000  1.00000000000000E+4932\r\n"
                               "-2.25000000000000E-0003 -1.00000000000000E+0002\r\n",
                               {{"1.5,", "-.00225,-100"}}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(DataFileCount, LinesAndTokens) {
  const struct {
    std::string content;
    std::int64_t lines, tokens;
  } cases[] = {
      {"", 0, 0},
      {"\r\n", 1, 0},
      {"  ", 1, 0},
      {"a", 1, 1},
      {"a\r\n", 1, 1},
      {"a\r\nb", 2, 1},
      {"a\n\nb c\r\r\n", 4, 2},
      {"1 2 3\r\n4", 2, 3},
      {std::string(130, '7'), 1, 3},
      {std::string(128, '7') + " 1", 1, 3},
  };
  const auto path = fs::temp_directory_path() / ("tavel_count_" + std::to_string(::getpid()));
  for (const auto& c : cases) {
    std::ofstream(path, std::ios::binary) << c.content;
    const auto shape = CountDataFile(path.string());
    ASSERT_TRUE(shape.has_value());
    EXPECT_EQ(shape->lines, c.lines) << c.content;
    EXPECT_EQ(shape->maxTokens, c.tokens) << c.content;
  }
  // The word-at-a-time scan against the plain rule on random texts with long and short runs.
  std::mt19937 random(5);
  const std::string bytes = "1111111111111111111111111111111.E-  \t\t\r\n\0x"s;
  for (int i = 0; i < 200; ++i) {
    std::string content(random() % 3000, ' ');
    const std::size_t variety = 3 + random() % (bytes.size() - 3);
    for (char& c : content) c = bytes[random() % variety];
    std::int64_t lines = 0, most = 0, tokens = 0, run = 0;
    bool afterCr = false, lineStart = true;
    for (const char c : content) {
      if (c == '\r' || c == '\n') {
        if (c == '\r' || !afterCr) {
          ++lines;
          most = std::max(most, tokens);
          tokens = run = 0;
          lineStart = true;
        }
        afterCr = c == '\r';
        continue;
      }
      afterCr = lineStart = false;
      if (c == ' ' || c == '\t') {
        run = 0;
      } else if (run++ % 64 == 0) {
        ++tokens;
      }
    }
    if (!lineStart) {
      ++lines;
      most = std::max(most, tokens);
    }
    std::ofstream(path, std::ios::binary) << content;
    const auto shape = CountDataFile(path.string());
    ASSERT_TRUE(shape.has_value());
    ASSERT_EQ(shape->lines, lines) << i;
    ASSERT_EQ(shape->maxTokens, most) << i;
  }
  fs::remove(path);
}

TEST_F(DataFileTest, SaveDialogAsksOnlyForAnotherExistingFile) {
  Series& series = NewSeries(3);
  series.Cells.SetNumber(1, kXColumn, 1);
  series.Cells.SetNumber(1, kYColumn, 2);
  const std::string own = Path("own.prn");
  const std::string other = Put("other.prn", "keep me");

  prompts_.fileNames = {own};
  EXPECT_EQ(SaveDataAs(series, prompts_), SaveResult::Saved);
  ASSERT_EQ(prompts_.dialogs.size(), 1u);
  const FileDialogOptions& first = prompts_.dialogs[0];
  EXPECT_EQ(first.fileName, "NoName");
  ASSERT_EQ(first.filters.size(), 2u);
  EXPECT_EQ(first.filters[0].name, "Data File");
  EXPECT_EQ(first.filters[0].patterns, "*.prn");
  EXPECT_EQ(first.defaultExtension, "prn");
  EXPECT_TRUE(prompts_.questions.empty());

  // Saving again to its own file: no question.
  series.Cells.SetNumber(2, kXColumn, 5);
  prompts_.fileNames = {own};
  EXPECT_EQ(SaveDataAs(series, prompts_), SaveResult::Saved);
  EXPECT_EQ(prompts_.dialogs.back().fileName, Path("own"));
  EXPECT_TRUE(prompts_.questions.empty());
  EXPECT_EQ(prompts_.beeps, 0);

  // Its own file under another spelling (a relative name against the dialog's absolute one).
  const fs::path respelled = fs::path(own).parent_path() / "." / fs::path(own).filename();
  prompts_.fileNames = {respelled.string()};
  EXPECT_EQ(SaveDataAs(series, prompts_), SaveResult::Saved);
  EXPECT_TRUE(prompts_.questions.empty());

  // Another existing file: beep and ask; No opens the dialog again.
  prompts_.fileNames = {other, Path("third.prn")};
  prompts_.answers = {Answer::No};
  EXPECT_EQ(SaveDataAs(series, prompts_), SaveResult::Saved);
  EXPECT_EQ(prompts_.questions,
            std::vector<std::string>{"The File  " + other + "  already exists overwrite it?"});
  EXPECT_EQ(prompts_.beeps, 1);
  EXPECT_EQ(prompts_.dialogs.size(), 5u);
  EXPECT_EQ(Contents(other), "keep me");
  EXPECT_EQ(series.FileName, Path("third.prn"));

  // Yes overwrites; a cancelled dialog changes nothing.
  prompts_.fileNames = {other};
  prompts_.answers = {Answer::Yes};
  EXPECT_EQ(SaveDataAs(series, prompts_), SaveResult::Saved);
  EXPECT_EQ(Contents(other), Contents(own));
  EXPECT_EQ(SaveDataAs(series, prompts_), SaveResult::Cancelled);
  EXPECT_EQ(series.FileName, other);
  EXPECT_EQ(series.Caption(), "Series Number: 1   -   OTHER.PRN");
}

TEST_F(DataFileTest, FailedSaveKeepsTheOldFileAndTheName) {
  Series& series = NewSeries(2);
  series.Cells.SetNumber(1, kXColumn, 1);
  series.Cells.SetNumber(1, kYColumn, 2);
  const std::string target = Put("old.prn", "old contents");
  {
    const testing::FailingSync failing;
    EXPECT_THROW(WriteDataFile(series, target), FileWriteError);
  }
  EXPECT_EQ(Contents(target), "old contents");
  EXPECT_EQ(series.FileName, "NoName.prn");
  EXPECT_EQ(series.Caption(), "Series Number: 1");

  prompts_.fileNames = {Path("missing/new.prn")};
  EXPECT_EQ(SaveDataAs(series, prompts_), SaveResult::Failed);
  ASSERT_EQ(prompts_.reports.size(), 1u);
  EXPECT_NE(prompts_.reports[0].find(std::strerror(ENOENT)), std::string::npos);
  EXPECT_EQ(series.FileName, "NoName.prn");
  EXPECT_FALSE(series.FileNameInCaption);
}

TEST_F(DataFileTest, BadInputGivesAClearResult) {
  // Nothing to read: empty file, X only, no room left.
  for (const char* content : {"", "\r\n\r\n", "1\r\n2\r\n3"}) {
    const auto result = OpenDataFile(workspace_, Put("nothing.prn", content));
    EXPECT_TRUE(result.created.empty());
    EXPECT_FALSE(result.failed);
  }
  // Missing file, a directory: refused.
  EXPECT_TRUE(OpenDataFile(workspace_, Path("absent.prn")).failed);
  EXPECT_TRUE(OpenDataFile(workspace_, dir_.string()).failed);
  EXPECT_TRUE(workspace_.DataWindows.empty());

  // Binary garbage reads as empty cells within the series limit.
  std::mt19937 random(9);
  std::string garbage(1 << 16, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  const auto binary = OpenDataFile(workspace_, Put("garbage.prn", garbage));
  EXPECT_FALSE(binary.failed);
  EXPECT_LE(workspace_.DataWindows.size(), static_cast<std::size_t>(MaxSeries));
  workspace_.DestroyAllSeries();

  // One endless line: the limit, one row per series.
  std::string endless;
  for (int i = 0; i < 200'000; ++i) endless += "1 ";
  const auto line = OpenDataFile(workspace_, Put("endless.prn", endless));
  EXPECT_TRUE(line.limitReached);
  ASSERT_EQ(line.created.size(), static_cast<std::size_t>(MaxSeries));
  EXPECT_EQ(line.created.back()->MaxIndex, 1);
  EXPECT_EQ(Row(*line.created.back(), 1), "1,1");
  workspace_.DestroyAllSeries();

  // More rows than memory could hold are refused before anything is made.
  EXPECT_FALSE(DataFileRowsFit(std::int64_t{1} << 40, 1));
  EXPECT_FALSE(DataFileRowsFit(-1, 1));
  EXPECT_TRUE(DataFileRowsFit(1000, 20));
}

TEST_F(DataFileTest, FileChangedBetweenThePasses) {
  Series& first = NewSeries(4);
  Series& second = NewSeries(4);
  // Shorter than counted: the rows not reached stay empty.
  const std::string path = Put("short.prn", "1 2 3\r\n");
  ASSERT_TRUE(ReadDataFile(path, {&first, &second}, 4));
  EXPECT_EQ(Rows(second), (std::vector<std::string>{"1,3", ",", ",", ","}));
  EXPECT_EQ(second.FileName, path);
  // Gone: failure, and the series are not named after it.
  Series& third = NewSeries(4);
  EXPECT_FALSE(ReadDataFile(Path("gone.prn"), {&third}, 4));
  EXPECT_EQ(third.FileName, "NoName.prn");
  EXPECT_EQ(third.Caption(), "Series Number: 3");
}

bool SameRow(const Tdata& a, const Tdata& b) {
  return std::memcmp(&a.X, &b.X, 10) == 0 && std::memcmp(&a.Y, &b.Y, 10) == 0 &&
         a.XValid == b.XValid && a.YValid == b.YValid;
}

// A file read in two parts, or in one pass without counting it first, gives the rows of a
// reading from the start, bit for bit, whatever stands around the cut: blank lines (read into
// the row of the line after them), lines of one token, long tokens, lone CR or LF line ends,
// lines with more or fewer columns, the lines this program writes and others like them.
TEST_F(DataFileTest, TwoPartsAndOnePassReadAsTheCountedReading) {
  const std::string narrowPieces[] = {
      "\r\n",
      "   \t \r\n",
      "4\r\n",
      "5 6\n",
      "1,5 2E+4931\r\n",
      std::string(70, '3') + " 2\r\n",
      "-0 1e-4950\n",
      " 1.50000000000000E+0000 -2.25000000000000E-0003\r\n",
      "-7.00000000000000E+0003  1.00000000000000E+4932\r\n",
      " 1.00000000000000E-0030  2.50000000000000E+0001\r\n",
      " 3.00000000000000E+0000  4.00000000000000E+0000\n",
      " 3.00000000000000E+0000 x4.00000000000000E+0000\r\n",
  };
  const std::string widePieces[] = {"8 9 10\r", " 1.5E+0000 -2.25 7\r\n"};
  std::mt19937 random(11);
  for (int file = 0; file < 80; ++file) {
    std::string content;
    const int lines = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < lines; ++i) {
      content += file % 2 == 0 && random() % 5 == 0
                     ? widePieces[random() % std::size(widePieces)]
                     : narrowPieces[random() % std::size(narrowPieces)];
    }
    if (random() % 2) content += "12 13";  // a last line without a line end
    const std::string path = Put("split.prn", content);

    const auto whole = MeasureDataFile(path, std::numeric_limits<std::uint64_t>::max());
    const auto cut = MeasureDataFile(path, 0);
    ASSERT_TRUE(whole && cut);
    ASSERT_EQ(whole->parts, 1);
    EXPECT_EQ(cut->shape.lines, whole->shape.lines) << content;
    EXPECT_EQ(cut->shape.maxTokens, whole->shape.maxTokens) << content;

    const auto rows = static_cast<std::int32_t>(whole->shape.lines);
    std::vector<Series*> once, parted;
    for (std::int64_t c = 1; c < whole->shape.maxTokens; ++c) {
      once.push_back(&NewSeries(rows));
      parted.push_back(&NewSeries(rows));
    }
    ASSERT_TRUE(ReadDataFile(path, once, rows));
    ASSERT_TRUE(ReadDataFile(path, parted, rows, *cut));
    for (std::size_t s = 0; s < once.size(); ++s) {
      for (std::int32_t r = 0; r < rows; ++r) {
        EXPECT_TRUE(SameRow(once[s]->Points[static_cast<std::size_t>(r)],
                            parted[s]->Points[static_cast<std::size_t>(r)]))
            << "series " << s << " row " << r << " of\n"
            << content;
      }
    }
    for (const std::uint64_t splitFrom : {std::uint64_t{0}, ~std::uint64_t{0}}) {
      const auto narrow = ReadNarrowDataFile(path, splitFrom);
      ASSERT_EQ(narrow.has_value(), whole->shape.maxTokens <= 2) << content;
      if (!narrow) continue;
      EXPECT_EQ(narrow->shape.lines, whole->shape.lines) << content;
      EXPECT_EQ(narrow->shape.maxTokens, whole->shape.maxTokens) << content;
      ASSERT_EQ(narrow->rows.size(), static_cast<std::size_t>(rows));
      for (std::int32_t r = 0; r < rows; ++r) {
        const Tdata empty;
        const Tdata& expected = once.empty() ? empty : once[0]->Points[static_cast<std::size_t>(r)];
        EXPECT_TRUE(SameRow(narrow->rows[static_cast<std::size_t>(r)], expected))
            << "row " << r << " of\n"
            << content;
      }
    }
    workspace_.DestroyAllSeries();
  }
}

// Rows beyond what the start of each part promised go to lists of their own and join in order.
TEST_F(DataFileTest, OnePassOutgrowsItsEstimate) {
  std::string block;
  for (int i = 0; i < 40; ++i) block += "1" + std::string(2000, ' ') + "2\r\n";
  for (int i = 0; i < 3000; ++i) block += std::to_string(i) + " " + std::to_string(-i) + "\n";
  const std::string path = Put("grows.prn", block + block);
  const auto counted = MeasureDataFile(path, 0);
  const auto narrow = ReadNarrowDataFile(path, 0);
  ASSERT_TRUE(counted && narrow);
  ASSERT_EQ(counted->parts, 2);
  ASSERT_EQ(narrow->rows.size(), 6080u);
  for (std::size_t r = 0; r < narrow->rows.size(); ++r) {
    const Real x = r % 3040 < 40 ? 1 : static_cast<Real>(r % 3040 - 40);
    const Real y = r % 3040 < 40 ? 2 : -x;
    ASSERT_TRUE(narrow->rows[r].XValid && narrow->rows[r].YValid) << r;
    EXPECT_EQ(Real{narrow->rows[r].X}, x) << r;
    EXPECT_EQ(Real{narrow->rows[r].Y}, y) << r;
  }
}

// A series opened from a file costs its rows and nothing beside them: X, Y and the fit with
// what marks each empty in at most 40 bytes a row, the grid reading those same rows, and every
// digit of the extended values kept.
TEST_F(DataFileTest, OpenedRowsCostAtMostFortyBytesAndKeepEveryDigit) {
  constexpr int kRows = 20000;
  std::string text;
  for (int i = 0; i < kRows; ++i) text += std::to_string(i) + " 1.0000000000000000001\r\n";
  const auto result = OpenDataFile(workspace_, Put("rows.prn", text));
  ASSERT_FALSE(result.failed);
  const Series& series = *result.created[0];
  ASSERT_EQ(series.MaxIndex, kRows);
  EXPECT_TRUE(series.Cells.SharesRows());
  EXPECT_LE(series.Points.capacity() * sizeof(Tdata), std::size_t{40} * kRows);
  const Real expected = 1 + std::ldexp(Real{1}, -63);
  EXPECT_EQ(series.Cells.Number(kRows, kYColumn), expected);
  EXPECT_EQ(Real{series.Points[kRows - 1].Y}, expected);
}

}  // namespace
}  // namespace tavel
