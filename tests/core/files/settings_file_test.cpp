#include "core/files/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include "core/files/atomic_file.h"
#include "core/files/graph_file.h"
#include "core/files/recent_files.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/test_folder.h"

namespace tavel {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = testing::NewTestFolder("tavel_settings_");
    path = dir / "tavel.cfg";
  }
  void TearDown() override { fs::remove_all(dir); }
  void Write(const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
  std::string Read() {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir, path;
};

TEST(SettingsFilePath, ReplacesTheExtension) {
  EXPECT_EQ(SettingsFilePath("/opt/tavel/bin/tavel"), fs::path("/opt/tavel/bin/tavel.cfg"));
  EXPECT_EQ(SettingsFilePath("C:/x/TAVEL.EXE"), fs::path("C:/x/TAVEL.cfg"));
}

TEST_F(SettingsFileTest, NoFileKeepsValuesAndWritesNothing) {
  GraphSettings s;
  s.MaxDataIndex = 77;
  EXPECT_EQ(LoadSettings(path, s), SettingsLoad::NoFile);
  EXPECT_EQ(s.MaxDataIndex, 77);
  EXPECT_FALSE(fs::exists(path));
}

struct LoadCase {
  const char* name;
  const char* content;
  SettingsLoad result;
  std::int32_t maxDataIndex, barWidth, reserved, printerOptions;
  const char* rewritten;  // nullptr: the file is left as it was
};

class LoadSettingsCases : public SettingsFileTest,
                          public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadSettingsCases, ReadsChecksAndRewrites) {
  const LoadCase& c = GetParam();
  Write(c.content);
  GraphSettings s;
  s.MaxDataIndex = 555;
  s.BarWidth = 5;
  s.PrinterOptions = 3;
  EXPECT_EQ(LoadSettings(path, s), c.result);
  EXPECT_EQ(s.MaxDataIndex, c.maxDataIndex);
  EXPECT_EQ(s.BarWidth, c.barWidth);
  EXPECT_EQ(s.SettingsReserved, c.reserved);
  EXPECT_EQ(s.PrinterOptions, c.printerOptions);
  EXPECT_EQ(Read(), c.rewritten ? c.rewritten : c.content);

  // Whatever the settings give, a graph file saved with them opens again.
  testing::ScriptedPrompts prompts;
  Workspace written{prompts};
  written.Settings = s;
  written.CreateSeries();
  EXPECT_TRUE(ParseGraphFileText(GraphFileText(written)).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadSettingsCases,
    ::testing::Values(
        LoadCase{"Complete", "250\r\n3\r\n-9\r\n6\r\n", SettingsLoad::Loaded, 250, 3, -9, 6,
                 "250\r\n3\r\n-9\r\n6\r\n"},
        LoadCase{"OutOfRangeNoFourthLine", "0\r\n11\r\n5\r\n", SettingsLoad::Loaded, 10, 1, 5, 0,
                 "10\r\n1\r\n5\r\n0\r\n"},
        LoadCase{"UpperLimits", "10000\n10\n0\n4", SettingsLoad::Loaded, 10000, 10, 0, 4,
                 "10000\r\n10\r\n0\r\n4\r\n"},
        LoadCase{"AboveLimits", "10001\r\n-1\r\n0\r\n", SettingsLoad::Loaded, 10, 1, 0, 0,
                 "10\r\n1\r\n0\r\n0\r\n"},
        LoadCase{"PrinterOptionsAboveLimit", "5\r\n1\r\n0\r\n9\r\n", SettingsLoad::Loaded, 5,
                 1, 0, 0, "5\r\n1\r\n0\r\n0\r\n"},
        LoadCase{"HexadecimalAndBlanks", " $20 \r\n2\r\n7\r\n", SettingsLoad::Loaded, 32, 2, 7, 0,
                 "32\r\n2\r\n7\r\n0\r\n"},
        LoadCase{"FirstLineNotAnInteger", "abc\r\n1\r\n0\r\n0\r\n", SettingsLoad::Failed, 10, 1, 0,
                 0, nullptr},
        LoadCase{"FourthLineNotAnInteger", "5\r\n1\r\n0\r\nx\r\n", SettingsLoad::Failed, 10, 1, 0,
                 0, nullptr},
        LoadCase{"TooShort", "5\r\n1\r\n", SettingsLoad::Failed, 10, 1, 0, 0, nullptr},
        LoadCase{"Empty", "", SettingsLoad::Failed, 10, 1, 0, 0, nullptr},
        LoadCase{"Binary", "\x01\xff\xfez\x80", SettingsLoad::Failed, 10, 1, 0, 0, nullptr}),
    [](const auto& test) { return std::string(test.param.name); });

// A pipe would block the start for ever and /dev/zero fill the memory: both are refused at
// once, by the settings and by the list of recent files.
TEST_F(SettingsFileTest, SpecialFilesAreRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "zero.cfg");
  for (const fs::path& special : {path, dir / "zero.cfg"}) {
    GraphSettings s;
    bool unreadable = false;
    EXPECT_EQ(LoadSettings(special, s), SettingsLoad::Failed) << special;
    EXPECT_TRUE(LoadRecentFiles(special, &unreadable).empty() && unreadable) << special;
  }
}

TEST_F(SettingsFileTest, UnwritableFileFailsWithDefaultsAndKeepsTheOldFile) {
  Write("250\r\n3\r\n-9\r\n6\r\n");
  // A read-only file is not replaced behind the user's back, not even by root.
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  GraphSettings s;
  EXPECT_EQ(LoadSettings(path, s), SettingsLoad::Failed);
  EXPECT_EQ(s.MaxDataIndex, 10);
  EXPECT_EQ(s.PrinterOptions, 0);
  EXPECT_EQ(Read(), "250\r\n3\r\n-9\r\n6\r\n");
}

TEST_F(SettingsFileTest, WriteIsAtomicAndLeavesNoTemporaryFile) {
  GraphSettings s;
  s.MaxDataIndex = 42;
  WriteSettingsFile(path, s);
  EXPECT_EQ(Read(), "42\r\n1\r\n0\r\n0\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_THROW(WriteSettingsFile(dir / "missing" / "x.cfg", s), FileWriteError);
}

}  // namespace
}  // namespace tavel
