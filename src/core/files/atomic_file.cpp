#include "core/files/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
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

// A name beside the target no other writer uses at the same moment.
std::filesystem::path NewFileBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path name = target;
  name += ".tmp~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  return name;
}

void Unlink(const std::filesystem::path& path) {
  ::unlink(path.c_str());
}

}  // namespace

void ReplaceFileSafely(const std::filesystem::path& target,
                       const std::function<void(const std::filesystem::path& newFile)>& write) {
  const std::filesystem::path real = ResolveLinks(target);
  struct stat existing {};
  const bool exists = ::stat(real.c_str(), &existing) == 0;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) Fail(target, EISDIR);
    // Renaming over a file needs only the folder's permission; the user's own "read-only"
    // must hold all the same, also for the administrator, whom access() lets through anyway.
    if (::access(real.c_str(), W_OK) != 0) Fail(target, errno);
    if ((existing.st_mode & 0222) == 0) Fail(target, EACCES);
  }

  const std::filesystem::path temp = NewFileBeside(real);
  // Created for the owner alone until the content and the final permissions are in place.
  const int created = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (created < 0) Fail(target, errno);
  ::close(created);
  try {
    write(temp);
  } catch (...) {
    Unlink(temp);
    throw;
  }

  const int fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    Unlink(temp);
    Fail(target, error);
  }
  mode_t mode = 0;
  if (exists) {
    mode = existing.st_mode & 07777;
    // Keeping the group matters for shared folders; when it cannot be kept the bits still are.
    if (::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) mode &= 0777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int error = 0;
  if (::fchmod(fd, mode) != 0) error = errno;
  if (error == 0 && Sync(fd) != 0) error = errno;
  // Closed whatever happened before: a failed flush must not leak the descriptor.
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp.c_str(), real.c_str()) != 0) error = errno;
  if (error != 0) {
    Unlink(temp);
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
