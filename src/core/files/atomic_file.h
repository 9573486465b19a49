#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavel {

// Thrown when a file cannot be written; what() holds the system's error text.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The one way the program replaces a file. The new content goes to a new file beside the
// target and only replaces it once whole and on disk, so a failed write never leaves a
// truncated or lost file. What the user had stays as it was: the permission bits of the file
// replaced are kept, a symbolic link stays a link and its target is replaced, and a file the
// user could not write directly (a read-only file, even in a writable folder) is refused with
// the system's text, as is a target that is not a regular file (a pipe, a device). The new
// file has no name until it is whole, where the system allows, so a save killed half way
// leaves nothing; files such saves left elsewhere are removed at the next save into that
// folder. Throws FileWriteError; on failure the target is untouched.
//
// `write` fills the new file, given a path it can be opened by; it throws to give up.
void ReplaceFileSafely(const std::filesystem::path& target,
                       const std::function<void(const std::filesystem::path& newFile)>& write);
// The same with the whole content at hand.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

// "The file " + path + " has an incompatible format."
std::string IncompatibleFormatText(const std::string& path);

namespace testing_hooks {
// Stands in for fsync(2) so tests can make the flush to disk fail; null means the real call.
extern int (*SyncFile)(int fd);
}  // namespace testing_hooks

}  // namespace tavel
