#include "core/files/line_count.h"

#include <bit>
#include <cstring>

#include "core/files/byte_masks.h"
#include "core/files/file_bytes.h"
#include "core/series/run_parts.h"

namespace tavel {
namespace {

class LineCounter {
 public:
  void Bytes(const char* p, const char* end) {
#if defined(__SSE2__)
    for (; end - p >= 64; p += 64) Chunk(p);
#endif
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

  // Lines holding at least one token, so far.
  std::int64_t TokenLines() const {
    return tokenLines_;
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
    tokenLines_ += tokens_ > 0;
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

#if defined(__SSE2__)
  // Sixty-four bytes at once as bit masks: token starts are counted a line at a time between
  // the line ends. A token run that may reach the length limit takes the byte rule instead.
  void Chunk(const char* p) {
    const Bytes64 bytes(p);
    const std::uint64_t blank = bytes.Where(' ', '\t');
    const std::uint64_t cr = bytes.Where('\r', '\r');
    const std::uint64_t lf = bytes.Where('\n', '\n');
    const std::uint64_t token = ~(blank | cr | lf);
    const int leading = std::countr_zero(~token);
    if (run_ + static_cast<std::uint32_t>(leading) >=
        static_cast<std::uint32_t>(kDataFileTokenLimit)) {
      for (int i = 0; i < 64; ++i) Byte(p[i]);
      return;
    }
    // CR ends a line, and so does an LF that no CR stands right before.
    const std::uint64_t ends = cr | (lf & ~((cr << 1) | (afterCr_ ? 1u : 0u)));
    const std::uint64_t starts = token & ~((token << 1) | (run_ > 0 ? 1u : 0u));
    int from = 0;
    for (std::uint64_t left = ends; left != 0; left &= left - 1) {
      const int at = std::countr_zero(left);
      tokens_ += std::popcount(starts & BitsBetween(from, at));
      EndLine();
      from = at + 1;
    }
    if (from < 64) {
      const std::uint64_t tail = BitsBetween(from, 64);
      tokens_ += std::popcount(starts & tail);
      // An LF closing a CR LF pair leaves the line start as it was; any other byte ends it.
      if ((~(cr | lf) | cr) & tail) atLineStart_ = false;
      const int trailing = std::countl_zero(~token);
      run_ = trailing == 0 ? 0 : static_cast<std::uint32_t>(trailing);
    }
    afterCr_ = (cr >> 63) != 0;
  }

#endif

  DataFileShape shape_;
  std::int64_t tokenLines_ = 0;
  std::int64_t tokens_ = 0;
  std::uint32_t run_ = 0;  // token bytes since the last separator
  bool afterCr_ = false;
  bool atLineStart_ = true;
};

// The end of the first line that ends at or after `from`: just past its LF. Zero when there is
// none before the end of the file.
std::uint64_t LineEndFrom(const std::string& path, std::uint64_t from, std::uint64_t size) {
  FileBytes in(path, from, size - from);
  std::uint64_t at = from;
  while (in.Fill()) {
    const auto* lf = static_cast<const char*>(
        std::memchr(in.pos, '\n', static_cast<std::size_t>(in.end - in.pos)));
    if (lf != nullptr) return at + static_cast<std::uint64_t>(lf - in.pos) + 1;
    at += static_cast<std::uint64_t>(in.end - in.pos);
    in.pos = in.end;
  }
  return 0;
}

struct PartCount {
  DataFileShape shape;
  std::int64_t tokenLines = 0;
  bool ok = false;
};

PartCount CountPart(const std::string& path, std::uint64_t begin, std::uint64_t end) {
  PartCount result;
  FileBytes in(path, begin, end - begin);
  if (!in.IsOpen()) return result;
  LineCounter counter;
  while (in.Fill()) {
    counter.Bytes(in.pos, in.end);
    in.pos = in.end;
  }
  if (in.Failed()) return result;
  result.shape = counter.Finish();
  result.tokenLines = counter.TokenLines();
  result.ok = true;
  return result;
}

}  // namespace

std::optional<DataFileLayout> CutDataFile(const std::string& path, std::uint64_t splitFrom) {
  std::uint64_t size = 0;
  {
    FileBytes probe(path, 0, 0);
    if (!probe.IsOpen()) return std::nullopt;
    size = probe.FileSize();
  }
  DataFileLayout layout;
  layout.bounds[1] = size;
  if (size >= splitFrom && size >= 2) {
    const std::uint64_t cut = LineEndFrom(path, size / 2, size);
    if (cut > 0 && cut < size) {
      layout.parts = 2;
      layout.bounds[1] = cut;
      layout.bounds[2] = size;
    }
  }
  return layout;
}

std::optional<DataFileLayout> MeasureDataFile(const std::string& path, std::uint64_t splitFrom) {
  auto cut = CutDataFile(path, splitFrom);
  if (!cut) return std::nullopt;
  DataFileLayout& layout = *cut;
  // A line end closes the first part, so the second starts in the state the count starts in
  // and the two counts simply add up.
  PartCount counts[2];
  RunParts(layout.parts,
           [&](int k) { counts[k] = CountPart(path, layout.bounds[k], layout.bounds[k + 1]); });
  for (int k = 0; k < layout.parts; ++k) {
    if (!counts[k].ok) return std::nullopt;
    layout.shape.lines += counts[k].shape.lines;
    layout.shape.maxTokens = std::max(layout.shape.maxTokens, counts[k].shape.maxTokens);
  }
  layout.firstRow[1] = counts[0].tokenLines;
  return cut;
}

std::optional<DataFileShape> CountDataFile(const std::string& path) {
  const auto layout = MeasureDataFile(path);
  if (!layout) return std::nullopt;
  return layout->shape;
}

}  // namespace tavel
