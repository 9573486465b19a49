#include "core/files/csv_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/test_folder.h"

namespace tavel {
namespace {

namespace fs = std::filesystem;

class CsvFileTest : public ::testing::Test {
 protected:
  CsvFileTest() : dir_(testing::NewTestFolder("tavel_csv_")) {}
  ~CsvFileTest() override {
    workspace_.DestroyAllSeries();
    fs::remove_all(dir_);
  }

  std::string Put(const std::string& text) {
    const std::string path = (dir_ / "data.csv").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // The X|Y texts of every row of a series.
  static std::vector<std::string> Rows(const Series& s) {
    std::vector<std::string> rows;
    for (std::int32_t r = 1; r <= s.Cells.RowCount(); ++r) {
      rows.push_back(s.Cells.Text(r, kXColumn) + "|" + s.Cells.Text(r, kYColumn));
    }
    return rows;
  }

  fs::path dir_;
  testing::ScriptedPrompts prompts_;
  Workspace workspace_{prompts_};
};

struct CsvCase {
  const char* name;
  std::string text;
  std::vector<std::string> titles;
  std::vector<std::vector<std::string>> rows;  // per series
  std::int64_t notNumbers;
};

class CsvTable : public CsvFileTest, public ::testing::WithParamInterface<CsvCase> {};

TEST_P(CsvTable, OpensOneSeriesPerYColumn) {
  const CsvCase& c = GetParam();
  const CsvOpenResult opened = OpenCsvFile(workspace_, Put(c.text));
  ASSERT_FALSE(opened.failed);
  ASSERT_EQ(opened.created.size(), c.rows.size());
  for (std::size_t s = 0; s < c.rows.size(); ++s) {
    EXPECT_EQ(Rows(*opened.created[s]), c.rows[s]) << "series " << s;
    EXPECT_EQ(opened.created[s]->SeriesTitle, c.titles.empty() ? "" : c.titles[s]);
  }
  EXPECT_EQ(opened.cellsNotNumbers, c.notNumbers);
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvTable,
    ::testing::Values(
        CsvCase{"CommaWithHeader",
                "time,volts,amps\r\n1,2.5,3\r\n2,3.5,4\r\n",
                {"volts", "amps"},
                {{"1|2.5", "2|3.5"}, {"1|3", "2|4"}},
                0},
        CsvCase{"SemicolonDecimalComma", "\xEF\xBB\xBFx;y\n1,5;2,25\n", {"y"}, {{"1.5|2.25"}}, 0},
        CsvCase{"TabDecimalComma", "1\t-0,5\n2\t7\n", {}, {{"1|-.5", "2|7"}}, 0},
        CsvCase{"QuotesRaggedAndBlanks",
                "\"x\",\"a, \"\"b\"\"\nline\",c\n1,,9\n\n2,n/a\n3\n",
                {"a, \"b\"\nline", "c"},
                {{"1|", "2|", "3|"}, {"1|9", "2|", "3|"}},
                1},
        CsvCase{"UnquotedRaggedBlankLinesAndLoneCr",
                "1,2,3\r\r\n2\r3,4,\n\n",
                {},
                {{"1|2", "2|", "3|4"}, {"1|3", "2|", "3|"}},
                0},
        CsvCase{"AHugeNameIsCut", "x," + std::string(300, 'v') + "\n1,2\n",
                {std::string(255, 'v')}, {{"1|2"}}, 0},
        CsvCase{"BinaryContentIsEmptyCells",
                std::string("1,2\n3,\x01\x02\0x\n", 11),
                {},
                {{"1|2", "3|"}},
                1}),
    [](const auto& test) { return std::string(test.param.name); });

// A file larger than the memory the process may use is refused with a message, not a crash;
// the limit is set in a child process, so the tests themselves keep their memory.
TEST_F(CsvFileTest, WhatCannotFitIsRefusedWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not run under an address-space limit";
#endif
  const std::string csv = (dir_ / "huge.csv").string();
  { std::ofstream(csv, std::ios::binary); }
  fs::resize_file(csv, 512 << 20);  // sparse: no disk taken
  const pid_t child = ::fork();
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE) + (64 << 20));
    const rlimit cap{limit, limit};
    ::setrlimit(RLIMIT_AS, &cap);
    const CsvOpenResult huge = OpenDataFileByName(workspace_, csv);
    ::_exit(huge.outOfMemory && huge.FailureText(csv) == "not enough memory to read " + csv ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "crashed or not refused";
}

TEST_F(CsvFileTest, HeaderOnlyOrOneColumnGivesNoSeries) {
  for (const char* text : {"x,y\r\n", "1\n2\n", ""}) {
    const CsvOpenResult opened = OpenCsvFile(workspace_, Put(text));
    EXPECT_FALSE(opened.failed) << text;
    EXPECT_TRUE(opened.created.empty()) << text;
  }
  EXPECT_TRUE(OpenCsvFile(workspace_, (dir_ / "missing.csv").string()).failed);
}

TEST_F(CsvFileTest, ALargeFileReadInTwoHalvesKeepsEveryRowInItsPlace) {
  std::string text = "n,twice\n";
  constexpr int kRows = 120000;  // well over the size read in halves
  for (int i = 1; i <= kRows; ++i) {
    text += std::to_string(i) + "," + (i % 1000 == 0 ? "x" : std::to_string(2 * i)) + "\r\n";
  }
  const CsvOpenResult opened = OpenCsvFile(workspace_, Put(text));
  ASSERT_EQ(opened.created.size(), 1u);
  const Series& s = *opened.created[0];
  ASSERT_EQ(s.Cells.RowCount(), kRows);
  for (int row = 1; row <= kRows; ++row) {
    ASSERT_EQ(s.Cells.Text(row, kXColumn), std::to_string(row)) << row;
    ASSERT_EQ(s.Cells.Text(row, kYColumn), row % 1000 == 0 ? "" : std::to_string(2 * row)) << row;
  }
  EXPECT_EQ(opened.cellsNotNumbers, kRows / 1000);
}

// Text without quotes takes the fast readers; the same records behind a quoted header take the
// general one. The header is short, so the records decide the columns. Random ragged records,
// odd numbers and every line end, small and in two halves.
TEST_F(CsvFileTest, TextWithoutQuotesReadsAsTheGeneralReaderReadsIt) {
  const char* const fields[] = {"1.5",
                                "-2e3",
                                " 7 ",
                                "",
                                "x",
                                "1e5000",
                                "0.0030000000000000001",
                                "+.5E-3",
                                "12345678901234567890123",
                                "1e",
                                "-0",
                                "3.25e-310",
                                "2.5x"};
  const char* const ends[] = {"\n", "\r\n", "\r", "\n\n"};
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (const int rows : {2000, 90000}) {
    std::string body;
    for (int r = 0; r < rows; ++r) {
      // One record alone is the widest: the columns must not hang on a likely case.
      const std::uint32_t count = r == rows * 2 / 3 ? 5 : 1 + next(3);
      for (std::uint32_t f = 0; f < count; ++f) {
        if (f > 0) body += ',';
        body += fields[next(std::size(fields))];
      }
      body += ends[next(std::size(ends))];
    }
    std::vector<std::vector<std::string>> seen[2];
    std::int64_t notNumbers[2] = {0, 0};
    for (const int quoted : {0, 1}) {
      const CsvOpenResult opened =
          OpenCsvFile(workspace_, Put((quoted ? "\"a\",b\n" : "a,b\n") + body));
      for (const Series* series : opened.created) seen[quoted].push_back(Rows(*series));
      notNumbers[quoted] = opened.cellsNotNumbers;
      workspace_.DestroyAllSeries();
    }
    ASSERT_EQ(seen[0].size(), 4u) << rows;
    EXPECT_EQ(seen[0], seen[1]) << rows;
    EXPECT_EQ(notNumbers[0], notNumbers[1]) << rows;
  }
}

TEST_F(CsvFileTest, WrittenFileReadsBackWithFullValues) {
  CsvOpenResult opened = OpenCsvFile(workspace_, Put("x,Run 1\n0.1,1e-300\n,5\n3,\n"));
  ASSERT_EQ(opened.created.size(), 1u);
  Series& series = *opened.created[0];
  const std::string path = (dir_ / "out.csv").string();
  WriteCsvFile(series, path);
  EXPECT_EQ(series.FileName, path);
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "X,Run 1\r\n0.1,1e-300\r\n,5\r\n3,\r\n");
  workspace_.DestroyAllSeries();
  opened = OpenCsvFile(workspace_, path);
  ASSERT_EQ(opened.created.size(), 1u);
  EXPECT_EQ(Rows(*opened.created[0]), (std::vector<std::string>{".1|1.00000E-0300", "|5", "3|"}));
}

}  // namespace
}  // namespace tavel
