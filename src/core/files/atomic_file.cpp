#include "core/files/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavel {

namespace testing_hooks {
int (*SyncFile)(int fd) = nullptr;
}  // namespace testing_hooks

namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, int error) {
  throw FileWriteError(path.string() + ": " + std::strerror(error));
}

int Sync(int fd) {
  return testing_hooks::SyncFile != nullptr ? testing_hooks::SyncFile(fd) : ::fsync(fd);
}

// The file a write to `target` really lands in: symbolic links are followed (a dangling one
// to the name it points at), so the link itself survives the rename.
std::filesystem::path ResolveLinks(const std::filesystem::path& target) {
  std::filesystem::path path = target;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
    if (length < 0) Fail(target, errno);
    link.resize(static_cast<std::size_t>(length));
    const std::filesystem::path next(link);
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  Fail(target, ELOOP);
}

// New files are named by the process and a count alone, short whatever the target's name, so
// a target of the longest legal name can be saved too.
constexpr char kNewFilePrefix[] = ".tavel~";

std::filesystem::path NewFileIn(const std::filesystem::path& folder) {
  static std::atomic<unsigned> counter{0};
  return folder / (kNewFilePrefix + std::to_string(::getpid()) + "-" + std::to_string(counter++));
}

void Unlink(const std::filesystem::path& path) {
  ::unlink(path.c_str());
}

// The process number in a new file's name after `prefix`, as "PID-N"; 0 when it is no such name.
pid_t WriterOf(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return 0;
  name.remove_prefix(prefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9) return 0;
  pid_t pid = 0;
  for (const char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

// New files a killed save left behind (where the system has no unnamed files, or from older
// versions, which named them after the target), removed once their writer is gone.
void RemoveLeftovers(const std::filesystem::path& real) {
  const std::filesystem::path folder = real.parent_path().empty() ? "." : real.parent_path();
  const std::string oldPrefix = real.filename().string() + ".tmp~";
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    pid_t pid = WriterOf(name, kNewFilePrefix);
    if (pid == 0) pid = WriterOf(name, oldPrefix);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// The file the new content is written into. Where the system offers it, a file with no name
// at all, given one only once whole: a save killed half way leaves nothing behind. `path` is
// the name writers open it by.
struct NewFile {
  int fd = -1;
  std::filesystem::path path;
  bool unnamed = false;
};

NewFile CreateNewFile(const std::filesystem::path& real, const std::filesystem::path& target) {
  const std::filesystem::path folder = real.parent_path().empty() ? "." : real.parent_path();
  NewFile file;
#ifdef O_TMPFILE
  // Created for the owner alone until the content and the final permissions are in place.
  file.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (file.fd >= 0) {
    file.path = "/proc/self/fd/" + std::to_string(file.fd);
    file.unnamed = true;
    // Without /proc the file cannot be opened by name: a named one then.
    if (::access(file.path.c_str(), W_OK) == 0) return file;
    ::close(file.fd);
    file = NewFile{};
  }
#endif
  file.path = NewFileIn(folder);
  file.fd = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (file.fd < 0) Fail(target, errno);
  return file;
}

}  // namespace

void ReplaceFileSafely(const std::filesystem::path& target,
                       const std::function<void(const std::filesystem::path& newFile)>& write) {
  const std::filesystem::path real = ResolveLinks(target);
  struct stat existing {};
  const bool exists = ::stat(real.c_str(), &existing) == 0;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) Fail(target, EISDIR);
    // A pipe or a device is not replaced by a file (through a link to /dev/null, as root,
    // that would replace /dev/null), nor written into.
    if (!S_ISREG(existing.st_mode)) {
      throw FileWriteError(target.string() + ": not a regular file");
    }
    // Renaming over a file needs only the folder's permission; the user's own "read-only"
    // must hold all the same, also for the administrator, whom access() lets through anyway.
    if (::access(real.c_str(), W_OK) != 0) Fail(target, errno);
    if ((existing.st_mode & 0222) == 0) Fail(target, EACCES);
  }

  RemoveLeftovers(real);
  const NewFile file = CreateNewFile(real, target);
  const auto discard = [&] {
    ::close(file.fd);
    if (!file.unnamed) Unlink(file.path);
  };
  try {
    write(file.path);
  } catch (...) {
    discard();
    throw;
  }

  mode_t mode = 0;
  if (exists) {
    mode = existing.st_mode & 07777;
    // Keeping the group matters for shared folders; when it cannot be kept the bits still are.
    if (::fchown(file.fd, static_cast<uid_t>(-1), existing.st_gid) != 0) mode &= 0777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int error = 0;
  if (::fchmod(file.fd, mode) != 0) error = errno;
  if (error == 0 && Sync(file.fd) != 0) error = errno;
  std::filesystem::path named = file.path;
  if (error == 0 && file.unnamed) {
    // A name only for the instant before the rename puts it in the target's place.
    named = NewFileIn(real.parent_path().empty() ? "." : real.parent_path());
    if (::linkat(AT_FDCWD, file.path.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      error = errno;
      named.clear();
    }
  }
  // Closed whatever happened before: a failed flush must not leak the descriptor.
  if (::close(file.fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(named.c_str(), real.c_str()) != 0) error = errno;
  if (error != 0) {
    if (!named.empty()) Unlink(named);
    Fail(target, error);
  }
}

void WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
  ReplaceFileSafely(target, [&](const std::filesystem::path& newFile) {
    const int fd = ::open(newFile.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) Fail(target, errno);
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
      const ssize_t written = ::write(fd, data, left);
      if (written < 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(fd);
        Fail(target, error);
      }
      data += written;
      left -= static_cast<std::size_t>(written);
    }
    if (::close(fd) != 0) Fail(target, errno);
  });
}

std::string IncompatibleFormatText(const std::string& path) {
  return "The file " + path + " has an incompatible format.";
}

}  // namespace tavel
