#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/data_file_number.h"
#include "core/series/real.h"

namespace tavel {

// The whole of a regular file, read to the size it had when opened; nothing when it is not a
// regular file or cannot be read (opened without blocking, so a named pipe cannot stall it).
// A file larger than `limit` is refused too, before anything is read.
std::optional<std::string> ReadWholeFile(
    const std::string& path, std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());

// A longer token of a data file is cut here and its rest read as the next token.
constexpr int kDataFileTokenLimit = 64;

// Large buffered reads of a regular file, never past the size it had when opened, so a file
// that keeps growing cannot keep a pass running forever. Anything but a regular file is refused
// (opened without blocking, so a named pipe cannot stall the open either).
class FileBytes {
 public:
  static constexpr std::size_t kChunk = 1 << 20;

  explicit FileBytes(const std::string& path);
  // Only the bytes [begin, begin + length) of the file (as far as the file reaches).
  FileBytes(const std::string& path, std::uint64_t begin, std::uint64_t length);
  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // The file's size when it was opened.
  std::uint64_t FileSize() const { return fileSize_; }
  bool Failed() const { return failed_; }

  // Keeps the unread bytes (at most a token's worth) and reads more after them; false when
  // nothing could be added.
  bool Fill();

  const char* pos = nullptr;
  const char* end = nullptr;

 private:
  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_ = 0;
  std::uint64_t fileSize_ = 0;
  std::uint64_t offset_ = 0;  // where the next read starts
  std::uint64_t left_ = 0;
  bool failed_ = false;
};

enum ByteClass : unsigned char { kTokenByte, kBlankByte, kCrByte, kLfByte };

constexpr std::array<ByteClass, 256> kByteClass = [] {
  std::array<ByteClass, 256> table{};
  table.fill(kTokenByte);
  table[static_cast<unsigned char>(' ')] = kBlankByte;
  table[static_cast<unsigned char>('\t')] = kBlankByte;
  table[static_cast<unsigned char>('\r')] = kCrByte;
  table[static_cast<unsigned char>('\n')] = kLfByte;
  return table;
}();

inline ByteClass ClassOf(char c) {
  return kByteClass[static_cast<unsigned char>(c)];
}

// The token from p on (where a token byte or `end` stands), at most kDataFileTokenLimit bytes;
// p moves past it.
inline std::string_view TakeToken(const char*& p, const char* end) {
  const char* const start = p;
  const char* const limit = std::min(end, start + kDataFileTokenLimit);
  const char* q = start;
  while (q != limit && ClassOf(*q) == kTokenByte) ++q;
  p = q;
  return {start, static_cast<std::size_t>(q - start)};
}

// The same token read as a cell, exactly as ReadDataFileCell(TakeToken(p, end), value) reads
// it. A number in the written form, followed by a separator, is taken whole without a look at
// each byte.
inline bool TakeCell(const char*& p, const char* end, Real& value) {
  const std::ptrdiff_t width = kDataFileNumberWidth - (p != end && *p == '-' ? 0 : 1);
  if (end - p > width && ClassOf(p[width]) != kTokenByte) {
    bool valid = false;
    if (ReadWrittenFormCell(p, width, value, valid)) {
      p += width;
      return valid;
    }
  }
  return ReadDataFileCell(TakeToken(p, end), value);
}

// Text-file reading as the format has always been read: a number read skips blanks and line
// ends (so a blank line pulls the next line up), the end-of-line test skips only blanks, and the
// rest of a line is skipped up to its CR, LF or CR LF.
class TokenReader {
 public:
  explicit TokenReader(FileBytes& in) : in_(in) {}

  int Peek() {
    if (in_.pos == in_.end && !in_.Fill()) return -1;
    return static_cast<unsigned char>(*in_.pos);
  }

  // The next token of at most kDataFileTokenLimit bytes; empty at the end of the file. Valid
  // until the next call.
  std::string_view Token() {
    SkipToToken();
    return TakeToken(in_.pos, in_.end);
  }

  // The next token as a cell, exactly as ReadDataFileCell(Token(), value) reads it.
  bool Cell(Real& value) {
    SkipToToken();
    return TakeCell(in_.pos, in_.end, value);
  }

  // True when no further token stands on this line.
  bool AtLineEnd() {
    for (;;) {
      const int c = Peek();
      if (c == ' ' || c == '\t') {
        ++in_.pos;
        continue;
      }
      return c == -1 || c == '\r' || c == '\n';
    }
  }

  void SkipLine() {
    for (;;) {
      const int c = Peek();
      if (c == -1) return;
      ++in_.pos;
      if (c == '\n') return;
      if (c == '\r') {
        if (Peek() == '\n') ++in_.pos;
        return;
      }
    }
  }

 private:
  // Past blanks and line ends to the next token's first byte, with a whole token's bytes in the
  // buffer where the file has them.
  void SkipToToken() {
    for (;;) {
      while (in_.pos != in_.end && ClassOf(*in_.pos) != kTokenByte) ++in_.pos;
      if (in_.pos != in_.end || !in_.Fill()) break;
    }
    if (in_.end - in_.pos < kDataFileTokenLimit) in_.Fill();
  }

  FileBytes& in_;
};

}  // namespace tavel
