#include "core/files/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/series/run_parts.h"
#include "support/failing_sync.h"
#include "support/test_folder.h"

namespace tavel {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
 protected:
  AtomicFileTest() : dir(testing::NewTestFolder("tavel_atomic_")) {}
  ~AtomicFileTest() override {
    std::error_code error;
    fs::permissions(dir, fs::perms::owner_all, error);
    fs::remove_all(dir, error);
  }

  fs::path Put(const std::string& name, const std::string& content) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
  }
  static std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
  }

  fs::path dir;
};

TEST_F(AtomicFileTest, KeepsPermissionBitsAndWritesNewFilesByTheUmask) {
  const fs::path old = Put("old.prn", "old");
  fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  WriteFileAtomically(old, "new");
  EXPECT_EQ(Read(old), "new");
  EXPECT_EQ(fs::status(old).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  const mode_t mask = ::umask(022);
  WriteFileAtomically(dir / "fresh.prn", "x");
  ::umask(mask);
  EXPECT_EQ(fs::status(dir / "fresh.prn").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
  EXPECT_EQ(Entries(), 2u);
}

TEST_F(AtomicFileTest, WritesThroughSymbolicLinks) {
  fs::create_directory(dir / "real");
  const fs::path target = Put("real/data.prn", "old");
  fs::create_symlink("real/data.prn", dir / "link.prn");
  fs::create_symlink(dir / "link.prn", dir / "chain.prn");
  WriteFileAtomically(dir / "chain.prn", "new");
  EXPECT_TRUE(fs::is_symlink(dir / "chain.prn"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.prn"));
  EXPECT_EQ(Read(target), "new");
  // A dangling link gets its file.
  fs::create_symlink("real/later.prn", dir / "dangling.prn");
  WriteFileAtomically(dir / "dangling.prn", "made");
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.prn"));
  EXPECT_EQ(Read(dir / "real/later.prn"), "made");
}

TEST_F(AtomicFileTest, RefusesWhatTheUserCouldNotWriteAndKeepsIt) {
  const fs::path readOnly = Put("locked.prn", "keep");
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
  try {
    WriteFileAtomically(readOnly, "lost");
    ADD_FAILURE() << "a read-only file was replaced";
  } catch (const FileWriteError& e) {
    EXPECT_NE(std::string(e.what()).find(readOnly.string()), std::string::npos);
  }
  EXPECT_EQ(Read(readOnly), "keep");
  EXPECT_THROW(WriteFileAtomically(dir, "x"), FileWriteError);
  EXPECT_THROW(WriteFileAtomically(dir / "missing" / "x.prn", "x"), FileWriteError);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFileTest, FailedFlushClosesTheFileAndKeepsTheOld) {
  const fs::path old = Put("old.prn", "old");
  const std::size_t before = OpenDescriptors();
  {
    const testing::FailingSync failing;
    EXPECT_THROW(WriteFileAtomically(old, "new"), FileWriteError);
    EXPECT_EQ(testing::FailingSync::calls, 1);
  }
  EXPECT_EQ(OpenDescriptors(), before);
  EXPECT_EQ(Read(old), "old");
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFileTest, AWriterThatGivesUpLeavesNothing) {
  const fs::path old = Put("old.prn", "old");
  EXPECT_THROW(ReplaceFileSafely(old, [](const fs::path&) { throw std::runtime_error("no"); }),
               std::runtime_error);
  EXPECT_EQ(Read(old), "old");
  EXPECT_EQ(Entries(), 1u);
}

// A pipe or a device is neither written into nor replaced by a file.
TEST_F(AtomicFileTest, RefusesTargetsThatAreNoRegularFile) {
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink("/dev/null", dir / "null.prn");
  EXPECT_THROW(WriteFileAtomically(dir / "pipe", "x"), FileWriteError);
  EXPECT_THROW(WriteFileAtomically(dir / "null.prn", "x"), FileWriteError);
  EXPECT_TRUE(fs::is_fifo(dir / "pipe") && fs::is_character_file("/dev/null"));
}

// Nothing shows beside the target while it is written, so a kill leaves nothing; what older
// saves of dead processes left is removed by the next save, and the longest name saves.
TEST_F(AtomicFileTest, LeavesNothingBehindWhateverTheName) {
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  Put(".tavel~" + std::to_string(dead) + "-0", "left");
  Put("data.prn.tmp~" + std::to_string(dead) + "-3", "left");
  const std::string longest(255, 'n');
  for (const std::string& name : {std::string("data.prn"), longest}) {
    ReplaceFileSafely(dir / name, [&](const fs::path& newFile) {
      std::ofstream(newFile, std::ios::binary | std::ios::trunc) << "new";
      EXPECT_EQ(Entries(), name == longest ? 1u : 0u);  // no leftovers, no new file to be seen
    });
  }
  EXPECT_EQ(Read(dir / longest), "new");
  EXPECT_EQ(Entries(), 2u);
}

TEST(RunPartsTest, CarriesAnExceptionFromEitherPart) {
  for (int thrower : {0, 1}) {
    int done = 0;
    const auto body = [&](int part) {
      if (part == thrower) throw std::runtime_error("part " + std::to_string(part));
      ++done;
    };
    try {
      RunParts(2, body);
      ADD_FAILURE() << "part " << thrower << " threw nothing";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "part " + std::to_string(thrower));
    }
    EXPECT_EQ(done, 1) << "the other part still ran to its end";
  }
}

}  // namespace
}  // namespace tavel
