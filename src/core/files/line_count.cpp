#include "core/files/line_count.h"

#include <bit>
#include <cstring>

#include "core/files/file_bytes.h"

namespace tavel {
namespace {

class LineCounter {
 public:
  void Bytes(const char* p, const char* end) {
    while (end - p >= 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, p, 8);
      if (!Word(word)) {
        for (int i = 0; i < 8; ++i) Byte(p[i]);
      }
      p += 8;
    }
    for (; p != end; ++p) Byte(*p);
  }

  DataFileShape Finish() {
    if (!atLineStart_) EndLine();
    return shape_;
  }

 private:
  static constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  static constexpr std::uint64_t kHighs = 0x8080808080808080ull;

  // 0x80 in every byte of x that is zero, and nothing else.
  static std::uint64_t ZeroBytes(std::uint64_t x) {
    return ~(((x & ~kHighs) + ~kHighs) | x | ~kHighs);
  }
  static std::uint64_t BytesEqual(std::uint64_t word, unsigned char c) {
    return ZeroBytes(word ^ (kOnes * c));
  }

  void EndLine() {
    ++shape_.lines;
    shape_.maxTokens = std::max(shape_.maxTokens, tokens_);
    tokens_ = 0;
    run_ = 0;
    atLineStart_ = true;
  }

  void Byte(char b) {
    const ByteClass c = ClassOf(b);
    if (c >= kCrByte) {
      if (c == kCrByte || !afterCr_) EndLine();
      afterCr_ = c == kCrByte;
      return;
    }
    // A token starts at the first byte of a run and again after every kDataFileTokenLimit.
    const bool tokenByte = c == kTokenByte;
    tokens_ += tokenByte && run_ % kDataFileTokenLimit == 0;
    run_ = tokenByte ? run_ + 1 : 0;
    atLineStart_ = false;
    afterCr_ = false;
  }

  // False when the word needs the byte-wise path.
  bool Word(std::uint64_t word) {
    if (run_ + 8 >= static_cast<std::uint32_t>(kDataFileTokenLimit)) return false;
    if (BytesEqual(word, '\r') | BytesEqual(word, '\n')) return false;
    const std::uint64_t separators = BytesEqual(word, ' ') | BytesEqual(word, '\t');
    const std::uint64_t tokenBytes = ~separators & kHighs;
    const std::uint64_t before = (tokenBytes << 8) | (run_ > 0 ? 0x80u : 0u);
    // Summing the bytes by a multiplication: the library's popcount is a call on the base
    // instruction set.
    tokens_ += static_cast<std::int64_t>((((tokenBytes & ~before) >> 7) * kOnes) >> 56);
    run_ =
        separators == 0 ? run_ + 8 : static_cast<std::uint32_t>(std::countl_zero(separators) / 8);
    atLineStart_ = false;
    afterCr_ = false;
    return true;
  }

  DataFileShape shape_;
  std::int64_t tokens_ = 0;
  std::uint32_t run_ = 0;  // token bytes since the last separator
  bool afterCr_ = false;
  bool atLineStart_ = true;
};

}  // namespace

std::optional<DataFileShape> CountDataFile(const std::string& path) {
  FileBytes in(path);
  if (!in.IsOpen()) return std::nullopt;
  LineCounter counter;
  while (in.Fill()) {
    counter.Bytes(in.pos, in.end);
    in.pos = in.end;
  }
  if (in.Failed()) return std::nullopt;
  return counter.Finish();
}

}  // namespace tavel
