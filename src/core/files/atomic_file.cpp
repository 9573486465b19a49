#include "core/files/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace tavel {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, int error) {
  throw FileWriteError(path.string() + ": " + std::strerror(error));
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
  std::filesystem::path temp = target;
  temp += ".tmp~";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Fail(target, errno);
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      Fail(target, error);
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    Fail(target, error);
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    Fail(target, error);
  }
}

std::string IncompatibleFormatText(const std::string& path) {
  return "The file " + path + " has an incompatible format.";
}

}  // namespace tavel
