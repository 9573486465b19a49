#include "core/files/file_bytes.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavel {

FileBytes::FileBytes(const std::string& path)
    : FileBytes(path, 0, std::numeric_limits<std::uint64_t>::max()) {}

FileBytes::FileBytes(const std::string& path, std::uint64_t begin, std::uint64_t length)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
  struct stat info {};
  if (fd_ < 0) return;
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  fileSize_ = static_cast<std::uint64_t>(info.st_size);
  offset_ = std::min(begin, fileSize_);
  left_ = std::min(length, fileSize_ - offset_);
  // Small files get a small buffer; the bytes are never read before they are written.
  size_ =
      static_cast<std::size_t>(std::min<std::uint64_t>(left_, kChunk)) + 2 * kDataFileTokenLimit;
  buffer_ = std::make_unique_for_overwrite<char[]>(size_);
  pos = end = buffer_.get();
}

FileBytes::~FileBytes() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileBytes::Fill() {
  if (fd_ < 0 || left_ == 0) return false;
  const auto kept = static_cast<std::size_t>(end - pos);
  if (kept > 2 * kDataFileTokenLimit) return true;
  std::memmove(buffer_.get(), pos, kept);
  pos = buffer_.get();
  end = pos + kept;
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, size_ - kept));
  for (;;) {
    const ssize_t got = ::pread(fd_, buffer_.get() + kept, want, static_cast<off_t>(offset_));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) failed_ = true;
    if (got <= 0) {
      left_ = 0;  // shrunk under us or unreadable: what was read is all there is
      return false;
    }
    end += got;
    offset_ += static_cast<std::uint64_t>(got);
    left_ -= static_cast<std::uint64_t>(got);
    return true;
  }
}

// The file's bytes; nothing when it is not a regular file or cannot be read. A named pipe
// cannot stall the open, and a file that grows while it is read is read to the size it had.
std::optional<std::string> ReadWholeFile(const std::string& path, std::uint64_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> bytes;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uint64_t>(info.st_size) <= limit) {
    bytes.emplace(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes->size()) {
      const ssize_t n = ::read(fd, bytes->data() + got, bytes->size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        bytes.reset();
        break;
      }
      if (n == 0) {
        bytes->resize(got);  // shrunk under us: what was there is all there is
        break;
      }
      got += static_cast<std::size_t>(n);
    }
  }
  ::close(fd);
  return bytes;
}

}  // namespace tavel
