#include "core/files/data_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/atomic_file.h"
#include "core/series/graph_settings.h"
#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {
namespace {

constexpr char kEmptyText[] = " 1.00000000000000E+4932";
static_assert(sizeof kEmptyText - 1 == kDataFileNumberWidth);

// Powers of ten that the extended type holds exactly (5^27 still fits 64 bits), so one
// multiplication or division by them rounds correctly.
constexpr int kExactPow10 = 27;
constexpr std::array<Real, kExactPow10 + 1> kPow10 = [] {
  std::array<Real, kExactPow10 + 1> table{};
  Real p = 1;
  for (auto& entry : table) {
    entry = p;
    p *= 10;
  }
  return table;
}();

void PutExponent(char* out, int exponent) {
  out[0] = 'E';
  out[1] = exponent < 0 ? '-' : '+';
  int e = exponent < 0 ? -exponent : exponent;
  for (int i = 4; i >= 1; --i) {
    out[1 + i] = static_cast<char>('0' + e % 10);
    e /= 10;
  }
}

// printf's rounding, for the values the fast path leaves alone.
void FormatSlowly(Real magnitude, char* out) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14Le", magnitude);
  // buffer: d.dddddddddddddde[+-]x...
  std::memcpy(out, buffer, 16);
  PutExponent(out + 16, static_cast<int>(std::strtol(buffer + 17, nullptr, 10)));
}

constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> table{};
  for (int i = 0; i < 100; ++i) {
    table[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    table[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return table;
}();

// Writes `count` (even) digits of value ending just before `end`.
void PutDigitPairs(char* end, std::uint32_t value, int count) {
  for (; count > 0; count -= 2) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * (value % 100)], 2);
    value /= 100;
  }
}

// Scales the value to a 15-digit integer with one correctly rounded operation; only when the
// scaled value lies too close to a rounding tie for that one rounding to be trusted does printf
// decide. The extended type's bits are read directly because the library calls for exponent,
// floor and conversion cost more than the rest together.
bool FormatFast(Real magnitude, char* out) {
  static_assert(std::numeric_limits<Real>::digits == 64);
  unsigned char bytes[sizeof(Real)];
  std::memcpy(bytes, &magnitude, sizeof bytes);
  const int biased = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
  const int binaryExponent = biased - 16383;
  if (biased == 0 || binaryExponent < -200 || binaryExponent > 200) return false;
  // floor(binaryExponent * log10(2)), exact over this range.
  int exponent = (binaryExponent * 78913) >> 18;
  constexpr Real kRoundToWhole = 9223372036854775808.0L;  // 2^63: its ulp is 1
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int k = 14 - exponent;
    if (k < -kExactPow10 || k > kExactPow10) return false;
    const Real scaled = k >= 0 ? magnitude * kPow10[static_cast<std::size_t>(k)]
                               : magnitude / kPow10[static_cast<std::size_t>(-k)];
    if (scaled >= 1e15L || scaled < 1e14L) {
      exponent += scaled >= 1e15L ? 1 : -1;
      continue;
    }
    // Adding 2^63 rounds to the nearest whole number and leaves it in the low mantissa bits.
    const Real biasedWhole = scaled + kRoundToWhole;
    const Real remainder = scaled - (biasedWhole - kRoundToWhole);
    if (std::fabs(remainder) > 0.499L) return false;
    std::uint64_t digits = 0;
    std::memcpy(&digits, &biasedWhole, sizeof digits);
    digits -= 1ull << 63;
    if (digits == 1'000'000'000'000'000ull) {
      digits = 100'000'000'000'000ull;
      ++exponent;
    }
    // out: d . dddddddddddddd, the fifteen digits split 7 + 8.
    const auto high = static_cast<std::uint32_t>(digits / 100'000'000);
    const auto low = static_cast<std::uint32_t>(digits % 100'000'000);
    PutDigitPairs(out + 16, low, 8);
    PutDigitPairs(out + 8, high % 1'000'000, 6);
    out[0] = static_cast<char>('0' + high / 1'000'000);
    out[1] = '.';
    PutExponent(out + 16, exponent);
    return true;
  }
  return false;
}

// What a token reads as, before the empty-value rule.
struct Scan {
  enum Kind { NotNumber, Value, Huge, Slow } kind;
  Real value = 0;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool EightDigits(std::uint64_t word) {
  return (((word + 0x4646464646464646ull) | (word - 0x3030303030303030ull)) &
          0x8080808080808080ull) == 0;
}

// Eight ASCII digits, the first in the lowest byte, as their number.
std::uint32_t EightDigitsValue(std::uint64_t word) {
  word -= 0x3030303030303030ull;
  word = word * 10 + (word >> 8);
  word = (((word & 0x000000FF000000FFull) * 0x000F424000000064ull) +
          (((word >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >>
         32;
  return static_cast<std::uint32_t>(word);
}

// The form the program writes, "d.ddddddddddddddE+dddd" after the sign, read without a loop.
// False when the token has another form or its value needs more than one exact operation.
bool ScanWrittenForm(const char* p, const char* end, bool negative, Scan& scan) {
  if (end - p != kDataFileNumberWidth - 1 || p[1] != '.' || (p[16] != 'E' && p[16] != 'e') ||
      (p[17] != '+' && p[17] != '-') || !IsDigit(p[0])) {
    return false;
  }
  std::uint64_t first = 0, second = 0;
  std::memcpy(&first, p + 2, 8);
  std::memcpy(&second, p + 8, 8);
  if (!EightDigits(first) || !EightDigits(second)) return false;
  int exponent = 0;
  for (int i = 18; i < 22; ++i) {
    if (!IsDigit(p[i])) return false;
    exponent = exponent * 10 + (p[i] - '0');
  }
  if (p[17] == '-') exponent = -exponent;
  const std::uint64_t mantissa = static_cast<std::uint64_t>(p[0] - '0') * 100'000'000'000'000ull +
                                 std::uint64_t{EightDigitsValue(first)} * 1'000'000ull +
                                 EightDigitsValue(second) % 1'000'000u;
  if (mantissa == 0) {
    scan = {Scan::Value, negative ? -0.0L : 0.0L};
    return true;
  }
  if (p[0] != '0' && !negative && exponent >= 4931) {
    scan = {Scan::Huge};
    return true;
  }
  const int k = exponent - 14;
  if (k < -kExactPow10 || k > kExactPow10) return false;
  Real value = static_cast<Real>(mantissa);
  value = k >= 0 ? value * kPow10[static_cast<std::size_t>(k)]
                 : value / kPow10[static_cast<std::size_t>(-k)];
  scan = {Scan::Value, negative ? -value : value};
  return true;
}

// The grammar of ParseNumber on a token without blanks, with the value taken by one exact
// operation where the digits and the power of ten allow it. Huge: at least 1E+4931, which the
// reader treats as empty without converting it.
Scan ScanToken(std::string_view token) {
  const char* p = token.data();
  const char* const end = p + token.size();
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  if (Scan written; ScanWrittenForm(p, end, negative, written)) return written;
  std::uint64_t mantissa = 0;
  int significant = 0;
  long scale = 0;  // value = mantissa * 10^(scale + exponent)
  bool slow = false;
  int digitCount = 0;
  for (; p != end && IsDigit(*p); ++p) {
    ++digitCount;
    if (mantissa == 0 && *p == '0') continue;
    if (significant < 19) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
      ++significant;
    } else {
      slow = true;
    }
  }
  if (p != end && *p == '.') {
    for (++p; p != end && IsDigit(*p); ++p) {
      ++digitCount;
      if (mantissa == 0 && *p == '0') {
        --scale;
        continue;
      }
      if (significant < 19) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        ++significant;
        --scale;
      } else {
        slow = true;
      }
    }
  }
  if (digitCount == 0) return {Scan::NotNumber};
  long exponent = 0;
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool expNegative = false;
    if (p != end && (*p == '+' || *p == '-')) {
      expNegative = *p == '-';
      ++p;
    }
    const char* const expStart = p;
    for (; p != end && IsDigit(*p); ++p) {
      if (exponent < 100'000) {
        exponent = exponent * 10 + (*p - '0');
      } else {
        slow = true;
      }
    }
    if (p == expStart) return {Scan::NotNumber};
    if (expNegative) exponent = -exponent;
  }
  if (p != end) return {Scan::NotNumber};
  if (mantissa == 0 && !slow) return {Scan::Value, negative ? -0.0L : 0.0L};
  if (slow) return {Scan::Slow};
  long k = scale + exponent;
  // mantissa * 10^k >= 10^(significant - 1 + k): from 10^4931 up it is empty (or beyond the
  // range, which is not a number and empty as well).
  if (!negative && significant - 1 + k >= 4931) return {Scan::Huge};
  while (k < -kExactPow10 && mantissa % 10 == 0) {
    mantissa /= 10;
    ++k;
  }
  while (k > kExactPow10 && mantissa <= std::numeric_limits<std::uint64_t>::max() / 10) {
    mantissa *= 10;
    --k;
  }
  if (k < -kExactPow10 || k > kExactPow10) return {Scan::Slow};
  Real value = static_cast<Real>(mantissa);
  value = k >= 0 ? value * kPow10[static_cast<std::size_t>(k)]
                 : value / kPow10[static_cast<std::size_t>(-k)];
  return {Scan::Value, negative ? -value : value};
}

// ---- reading ----------------------------------------------------------------------------

// Large buffered reads of a regular file, never past the size it had when opened, so a file
// that keeps growing cannot keep a pass running forever. Anything but a regular file is refused
// (opened without blocking, so a named pipe cannot stall the open either).
class FileBytes {
 public:
  static constexpr std::size_t kChunk = 1 << 20;

  explicit FileBytes(const std::string& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
    struct stat info {};
    if (fd_ < 0) return;
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
    left_ = static_cast<std::uint64_t>(info.st_size);
    // Small files get a small buffer; the bytes are never read before they are written.
    size_ =
        static_cast<std::size_t>(std::min<std::uint64_t>(left_, kChunk)) + 2 * kDataFileTokenLimit;
    buffer_ = std::make_unique_for_overwrite<char[]>(size_);
    pos = end = buffer_.get();
  }
  ~FileBytes() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  bool Failed() const { return failed_; }

  // Keeps the unread bytes (at most a token's worth) and reads more after them; false when
  // nothing could be added.
  bool Fill() {
    if (fd_ < 0 || left_ == 0) return false;
    const auto kept = static_cast<std::size_t>(end - pos);
    if (kept > 2 * kDataFileTokenLimit) return true;
    std::memmove(buffer_.get(), pos, kept);
    pos = buffer_.get();
    end = pos + kept;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, size_ - kept));
    for (;;) {
      const ssize_t got = ::read(fd_, buffer_.get() + kept, want);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) failed_ = true;
      if (got <= 0) {
        left_ = 0;  // shrunk under us or unreadable: what was read is all there is
        return false;
      }
      end += got;
      left_ -= static_cast<std::uint64_t>(got);
      return true;
    }
  }

  const char* pos = nullptr;
  const char* end = nullptr;

 private:
  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_ = 0;
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

ByteClass ClassOf(char c) {
  return kByteClass[static_cast<unsigned char>(c)];
}

// Text-file reading as the format has always been read: a number read skips blanks and line
// ends (so a blank line pulls the next line up), the end-of-line test skips only blanks, and the
// line skip eats everything up to and including the next line end.
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
    for (;;) {
      while (in_.pos != in_.end && ClassOf(*in_.pos) != kTokenByte) ++in_.pos;
      if (in_.pos != in_.end || !in_.Fill()) break;
    }
    if (in_.end - in_.pos < kDataFileTokenLimit) in_.Fill();
    const char* const start = in_.pos;
    const char* const limit = std::min(in_.end, start + kDataFileTokenLimit);
    const char* p = start;
    while (p != limit && ClassOf(*p) == kTokenByte) ++p;
    in_.pos = p;
    return {start, static_cast<std::size_t>(p - start)};
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
  FileBytes& in_;
};

// The counting pass over the bytes. Eight bytes at a time where a word holds no line end and
// no token can reach the length limit in it; byte by byte otherwise. Both keep the same state.
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

// A token as a cell: a number below 1E+4931 is the value; anything else is empty.
bool ReadCell(std::string_view token, Real& value) {
  if (token.empty()) return false;
  Scan scan = ScanToken(token);
  if (scan.kind == Scan::Slow) {
    const auto parsed = ParseNumber(token);
    if (!parsed) return false;
    scan.value = *parsed;
    scan.kind = Scan::Value;
  }
  if (scan.kind != Scan::Value || !(scan.value < kEmptyThreshold)) return false;
  value = scan.value;
  return true;
}

std::uint64_t AvailableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uint64_t kib = 0;
  std::string unit;
  while (meminfo >> key >> kib) {
    if (key == "MemAvailable:") return kib * 1024;
    std::getline(meminfo, unit);
  }
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) {
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  }
  return std::numeric_limits<std::uint64_t>::max();
}

std::string WithoutExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

}  // namespace

void FormatDataFileNumber(Real value, char* out) {
  if (!std::isfinite(value)) {
    std::memcpy(out, kEmptyText, kDataFileNumberWidth);
    return;
  }
  out[0] = value < 0 ? '-' : ' ';
  const Real magnitude = std::fabs(value);
  if (magnitude == 0) {
    std::memcpy(out + 1, "0.00000000000000E+0000", kDataFileNumberWidth - 1);
    return;
  }
  if (!FormatFast(magnitude, out + 1)) FormatSlowly(magnitude, out + 1);
}

std::string FormatDataFileNumber(Real value) {
  std::string text(kDataFileNumberWidth, ' ');
  FormatDataFileNumber(value, text.data());
  return text;
}

std::optional<Real> ParseDataFileNumber(std::string_view token) {
  // Tokens of a file never hold blanks; texts from elsewhere may, as ParseNumber allows.
  while (!token.empty() && (token.front() == ' ' || token.front() == '\t')) token.remove_prefix(1);
  while (!token.empty() && (token.back() == ' ' || token.back() == '\t')) token.remove_suffix(1);
  const Scan scan = ScanToken(token);
  switch (scan.kind) {
    case Scan::NotNumber:
      return std::nullopt;
    case Scan::Value:
      return scan.value;
    case Scan::Huge:
    case Scan::Slow:
      break;
  }
  return ParseNumber(token);
}

void WriteDataFile(Series& series, const std::string& path) {
  series.ReadGrid();
  constexpr std::size_t kLine = 2 * kDataFileNumberWidth + 3;
  std::string content(series.Points.size() * kLine, '\0');
  char* p = content.data();
  for (const Tdata& row : series.Points) {
    if (row.XValid) {
      FormatDataFileNumber(row.X, p);
    } else {
      std::memcpy(p, kEmptyText, kDataFileNumberWidth);
    }
    p += kDataFileNumberWidth;
    *p++ = ' ';
    if (row.YValid) {
      FormatDataFileNumber(row.Y, p);
    } else {
      std::memcpy(p, kEmptyText, kDataFileNumberWidth);
    }
    p += kDataFileNumberWidth;
    *p++ = '\r';
    *p++ = '\n';
  }
  WriteFileAtomically(path, content);
  series.FileName = path;
  series.CaptionFileName.clear();
  series.FileNameInCaption = true;
}

FileDialogOptions SaveDataDialogOptions(const Series& series) {
  FileDialogOptions options;
  options.filters = {{"Data File", "*.prn"}};
  options.filterIndex = 1;
  options.defaultExtension = "prn";
  options.fileName = WithoutExtension(series.FileName);
  return options;
}

SaveDataResult SaveDataAs(Series& series, Prompts& prompts) {
  for (;;) {
    const auto chosen = prompts.SaveFileName(SaveDataDialogOptions(series));
    if (!chosen) return SaveDataResult::Cancelled;
    const std::string& path = *chosen;
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    if (exists && path != series.FileName) {
      prompts.Beep();
      if (!prompts.AskYesNo("The File  " + path + "  already exists overwrite it?")) continue;
    }
    try {
      WriteDataFile(series, path);
      return SaveDataResult::Saved;
    } catch (const std::exception& e) {
      prompts.ReportError(e.what());
      return SaveDataResult::Failed;
    }
  }
}

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

bool DataFileRowsFit(std::int64_t rows, std::int64_t series) {
  if (rows < 0 || series < 0) return false;
  // A row costs its Tdata and its packed cells (three ten-byte values and their states).
  constexpr std::uint64_t kBytesPerRow = sizeof(Tdata) + 40;
  const auto cells = static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(series);
  if (rows != 0 && cells / static_cast<std::uint64_t>(rows) != static_cast<std::uint64_t>(series)) {
    return false;
  }
  if (cells > std::numeric_limits<std::uint64_t>::max() / kBytesPerRow) return false;
  const std::uint64_t available = AvailableMemory();
  return cells * kBytesPerRow <= available - available / 4;
}

DataFileOpenResult OpenDataFile(Workspace& workspace, const std::string& path) {
  DataFileOpenResult result;
  const auto shape = CountDataFile(path);
  if (!shape || shape->lines > std::numeric_limits<std::int32_t>::max()) {
    result.failed = true;
    return result;
  }
  const auto rows = static_cast<std::int32_t>(shape->lines);
  std::int64_t columns = shape->maxTokens;
  const auto open = static_cast<std::int64_t>(workspace.DataWindows.size());
  if (open + columns > MaxSeries + 1) {
    columns = MaxSeries - open + 1;
    workspace.prompts().Beep();
    workspace.prompts().ErrorBox("Sorry the number of series is LIMITED to " +
                                 std::to_string(MaxSeries) + ".");
    result.limitReached = true;
  }
  if (columns <= 1) return result;
  if (!DataFileRowsFit(rows, columns - 1)) {
    result.failed = true;
    return result;
  }

  const std::int32_t previousSize = workspace.Settings.NextDataSize;
  workspace.Settings.NextDataSize = rows;
  try {
    for (std::int64_t i = 1; i < columns; ++i) result.created.push_back(&workspace.CreateSeries());
  } catch (const std::exception&) {
    // bad_alloc or length_error: the file is refused as a whole, nothing half-made stays open.
    workspace.Settings.NextDataSize = previousSize;
    while (!result.created.empty()) {
      workspace.DestroySeries(*result.created.back());
      result.created.pop_back();
    }
    workspace.SortDataWindows();
    result.failed = true;
    return result;
  }
  workspace.Settings.NextDataSize = previousSize;
  workspace.SortDataWindows();
  std::stable_sort(
      result.created.begin(), result.created.end(),
      [](const Series* a, const Series* b) { return a->SeriesNumber < b->SeriesNumber; });
  result.failed = !ReadDataFile(path, result.created, rows);
  return result;
}

bool ReadDataFile(const std::string& path, const std::vector<Series*>& series, std::int32_t rows) {
  std::size_t rowLimit = rows < 0 ? 0 : static_cast<std::size_t>(rows);
  for (const Series* s : series) rowLimit = std::min(rowLimit, s->Points.size());
  FileBytes in(path);
  bool ok = in.IsOpen();
  if (ok) {
    TokenReader reader(in);
    for (std::size_t r = 0; r < rowLimit && reader.Peek() != -1; ++r) {
      Real x = 0;
      const bool xValid = ReadCell(reader.Token(), x);
      for (Series* s : series) {
        if (reader.AtLineEnd()) break;
        Tdata& row = s->Points[r];
        row.X = xValid ? x : 0;
        row.XValid = xValid;
        Real y = 0;
        row.YValid = ReadCell(reader.Token(), y);
        row.Y = row.YValid ? y : 0;
      }
      reader.SkipLine();
    }
    ok = !in.Failed();
  }
  for (Series* s : series) {
    s->FillGrid();
    if (ok) {
      s->FileNameInCaption = true;
      s->CaptionFileName = path;
    }
  }
  if (ok && !series.empty()) {
    series.back()->FileName = path;
    series.back()->CaptionFileName.clear();
  }
  return ok;
}

}  // namespace tavel
