#include "core/files/recent_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace tavel {
namespace {

TEST(RecentFilesTest, NewestFirstWithoutRepeatsAndAtMostFive) {
  std::vector<std::string> files;
  for (const char* f : {"a", "b", "c", "b", "d", "e", "f", "", "x\ny"}) NoteRecentFile(files, f);
  EXPECT_EQ(files, (std::vector<std::string>{"f", "e", "d", "b", "c"}));

  const auto dir =
      std::filesystem::temp_directory_path() / ("tavel_recent_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto path = RecentFilesPath(dir / "tavel.cfg");
  EXPECT_EQ(path.filename(), "tavel.recent");
  EXPECT_TRUE(LoadRecentFiles(path).empty());
  SaveRecentFiles(path, files);
  EXPECT_EQ(LoadRecentFiles(path), files);
  // A file edited by hand: blank and repeated lines are dropped.
  std::ofstream(path, std::ios::binary) << "a\r\n\r\na\nb\n";
  EXPECT_EQ(LoadRecentFiles(path), (std::vector<std::string>{"a", "b"}));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tavel
