#include "core/files/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
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

namespace {

// Reads a regular file of at most `limit` bytes whole into memory `make` gives for its size.
template <class Make>
bool ReadRegularFile(const std::string& path, std::uint64_t limit, Make make) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  // Closed also when there is no memory for the bytes.
  const struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  bool ok = false;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uint64_t>(info.st_size) <= limit) {
    const auto size = static_cast<std::size_t>(info.st_size);
    char* data = make(size);
    std::size_t got = 0;
    ok = true;
    while (got < size) {
      const ssize_t n = ::read(fd, data + got, size - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        ok = false;
        break;
      }
      if (n == 0) break;  // shrunk under us: what was there is all there is
      got += static_cast<std::size_t>(n);
    }
    make.Keep(got);
  }
  return ok;
}

}  // namespace

// The file's bytes; nothing when it is not a regular file or cannot be read. A named pipe
// cannot stall the open, and a file that grows while it is read is read to the size it had.
std::optional<std::string> ReadWholeFile(const std::string& path, std::uint64_t limit) {
  std::string bytes;
  struct {
    std::string& out;
    char* operator()(std::size_t size) {
      out.assign(size, '\0');
      return out.data();
    }
    void Keep(std::size_t size) { out.resize(size); }
  } make{bytes};
  if (!ReadRegularFile(path, limit, make)) return std::nullopt;
  return bytes;
}

FileText::FileText(FileText&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      mapped_(std::exchange(other.mapped_, 0)),
      size_(std::exchange(other.size_, 0)) {}

FileText& FileText::operator=(FileText&& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(mapped_, other.mapped_);
  std::swap(size_, other.size_);
  return *this;
}

FileText::~FileText() {
  if (data_ != nullptr) ::munmap(data_, mapped_);
}

bool FileText::Allocate(std::size_t size) {
  mapped_ = std::max<std::size_t>(size, 1);
  void* at = ::mmap(nullptr, mapped_, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (at == MAP_FAILED) {
    mapped_ = 0;
    return false;
  }
  data_ = static_cast<char*>(at);
  return true;
}

std::optional<FileText> ReadFileText(const std::string& path) {
  FileText text;
  struct {
    FileText& out;
    char* operator()(std::size_t size) {
      if (!out.Allocate(size)) throw std::bad_alloc();
      return out.Data();
    }
    void Keep(std::size_t size) { out.Keep(size); }
  } make{text};
  if (!ReadRegularFile(path, std::numeric_limits<std::uint64_t>::max(), make)) return std::nullopt;
  return text;
}

}  // namespace tavel
