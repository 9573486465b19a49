#include "core/files/plain_data_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/data_file.h"
#include "core/files/data_file_number.h"
#include "core/files/file_bytes.h"
#include "core/series/graph_settings.h"
#include "core/series/run_parts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace testing_hooks {
std::size_t PlainTextTwoPartBytes = 1 << 20;
std::size_t PlainTextRoomRows = 0;
}  // namespace testing_hooks

namespace {

// The longest series title a line of names gives, as for CSV files.
constexpr std::size_t kNameLimit = 255;
// The separator test looks at this many lines that hold data.
constexpr int kSampleLines = 20;
// A line of names gives at most this many: X and a name for each series.
constexpr std::size_t kMaxNames = MaxSeries + 1;

// A CR inside a line of a text whose lines end with LF separates like a blank, as does an LF
// in one whose lines end with CR.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The lines of a short text: CR LF, a lone CR and a lone LF each end one.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = std::min(text_.find_first_of("\r\n", pos_), text_.size());
    line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_++] == '\r' && pos_ < text_.size() &&
        text_[pos_] == '\n') {
      ++pos_;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The lines of bytes [begin, end) of a file that ends its lines with LF (CR LF or LF), or,
// in a file without any LF, with CR, found by one search each in large buffered reads; a
// line longer than the buffer grows it. `begin` lies at a line start.
class FileLines {
 public:
  static constexpr std::size_t kChunk = 1 << 20;

  FileLines(int fd, std::uint64_t begin, std::uint64_t end, char lineEnd)
      : fd_(fd),
        offset_(begin),
        end_(end),
        lineEnd_(lineEnd),
        // Small files get a small buffer.
        buffer_(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, end - begin)) + 1) {}

  bool Next(std::string_view& line) {
    for (;;) {
      const char* const start = buffer_.data() + pos_;
      const void* at = std::memchr(start, lineEnd_, size_ - pos_);
      if (at != nullptr || offset_ >= end_) {
        if (at == nullptr && pos_ == size_) return false;
        const std::size_t length =
            at != nullptr ? static_cast<std::size_t>(static_cast<const char*>(at) - start)
                          : size_ - pos_;
        line = std::string_view(start, length);
        if (lineEnd_ == '\n' && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos_ += length + (at != nullptr ? 1 : 0);
        ++number_;
        return true;
      }
      if (!Fill()) return false;
    }
  }
  std::int64_t Number() const { return number_; }
  bool Failed() const { return failed_; }

 private:
  // Keeps the unread bytes, then reads more after them.
  bool Fill() {
    const std::size_t kept = size_ - pos_;
    if (kept == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    std::memmove(buffer_.data(), buffer_.data() + pos_, kept);
    pos_ = 0;
    size_ = kept;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size() - kept, end_ - offset_));
    for (;;) {
      const ssize_t got = ::pread(fd_, buffer_.data() + size_, want, static_cast<off_t>(offset_));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        // Shrunk under us, or unreadable: what was read is all there is.
        failed_ = got < 0;
        end_ = offset_;
        return kept > 0;
      }
      size_ += static_cast<std::size_t>(got);
      offset_ += static_cast<std::uint64_t>(got);
      return true;
    }
  }

  int fd_;
  std::uint64_t offset_, end_;
  char lineEnd_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0, size_ = 0;
  std::int64_t number_ = 0;
  bool failed_ = false;
};

// The line end of a file whose first bytes are `head`: LF, unless they hold a CR and no LF.
char LineEndOf(std::string_view head) {
  return head.find('\n') == std::string_view::npos && head.find('\r') != std::string_view::npos
             ? '\r'
             : '\n';
}

std::string_view Trimmed(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

enum class LineKind { Blank, BlockEnd, Comment, Text };

LineKind KindOf(std::string_view trimmed) {
  if (trimmed.empty()) return LineKind::Blank;
  if (trimmed == "&") return LineKind::BlockEnd;
  const char c = trimmed.front();
  if (c == '#' || c == '%' || c == '!' || c == ';' || c == '@') return LineKind::Comment;
  if (trimmed.substr(0, 2) == "//") return LineKind::Comment;
  return LineKind::Text;
}

std::size_t BlanksAtStart(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  return i;
}

// KindOf for a line without blanks at its start, whatever it has at its end.
LineKind KindOfLine(std::string_view line) {
  if (line.empty()) return LineKind::Blank;
  if (line.front() == '&') {
    return BlanksAtStart(line.substr(1)) == line.size() - 1 ? LineKind::BlockEnd : LineKind::Text;
  }
  return KindOf(line);
}

// What each byte can be in a token that may be a number.
enum ByteKind : unsigned char {
  kOther = 1,
  kDigit = 2,
  kPoint = 4,
  kComma = 8,
  kSignOrExponent = 16,
  kBlank = 32,
};

constexpr std::array<unsigned char, 256> kByteKinds = [] {
  std::array<unsigned char, 256> kinds{};
  kinds.fill(kOther);
  for (char c = '0'; c <= '9'; ++c) kinds[static_cast<unsigned char>(c)] = kDigit;
  kinds['.'] = kPoint;
  kinds[','] = kComma;
  for (const char c : {'+', '-', 'e', 'E'}) kinds[static_cast<unsigned char>(c)] = kSignOrExponent;
  kinds[' '] = kinds['\t'] = kinds['\r'] = kinds['\n'] = kBlank;
  return kinds;
}();

unsigned char KindOfByte(char c) {
  return kByteKinds[static_cast<unsigned char>(c)];
}

// A token beginning with `first` whose bytes are of `kinds` can be a number.
bool CanBeNumber(char first, unsigned kinds) {
  return first != 'e' && first != 'E' && (kinds & kOther) == 0 && (kinds & kDigit) != 0;
}

// The first `count` blank-separated tokens of a line (fewer where the line has fewer).
std::size_t FirstTokens(std::string_view line, std::string_view* tokens, std::size_t count) {
  std::size_t n = 0;
  std::size_t i = 0;
  while (n < count && i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i == start) break;
    tokens[n++] = line.substr(start, i - start);
  }
  return n;
}

bool ReadCell(std::string_view token, bool decimalComma, Real& value);

// One line read: its columns (the tokens up to the last one that can be a number; what follows
// is a remark), the cells of its first kMaxNames tokens, and the decimal marks of its numbers.
struct LineRead {
  std::size_t columns = 0;
  bool point = false;
  bool comma = false;
  Real values[kMaxNames];
  bool valid[kMaxNames];
};

void ReadLine(std::string_view line, bool decimalComma, LineRead& read) {
  const char* p = line.data();
  const char* const end = p + line.size();
  std::size_t n = 0;
  read.columns = 0;
  while (true) {
    while (p != end && KindOfByte(*p) == kBlank) ++p;
    if (p == end) break;
    const bool kept = n < kMaxNames;
    Real value = 0;
    bool valid = false;
    // The program's own form, the common case, is told by its reading itself.
    const std::ptrdiff_t written = kDataFileNumberWidth - (*p == '-' ? 0 : 1);
    if (end - p >= written && (end - p == written || KindOfByte(p[written]) == kBlank) &&
        ReadWrittenFormCell(p, written, value, valid)) {
      p += written;
      read.point = true;
      read.columns = n + 1;
    } else if (const char* stop = p; ReadLeadingNumber(p, end, value, stop) &&
                                     (stop == end || KindOfByte(*stop) == kBlank)) {
      // A number the fast reading takes whole: its bytes can only be digits, signs, exponent
      // marks and a point, so no look at each of them is needed to tell what it can be.
      valid = value < kEmptyThreshold;
      read.columns = n + 1;
      read.point = read.point || std::memchr(p, '.', static_cast<std::size_t>(stop - p)) != nullptr;
      p = stop;
    } else {
      const char* const start = p;
      unsigned kinds = 0;
      for (; p != end && KindOfByte(*p) != kBlank; ++p) kinds |= KindOfByte(*p);
      if (CanBeNumber(*start, kinds)) {
        read.columns = n + 1;
        read.point = read.point || (kinds & kPoint) != 0;
        read.comma = read.comma || (kinds & kComma) != 0;
        if (kept) valid = ReadCell(std::string_view(start, static_cast<std::size_t>(p - start)), decimalComma, value);
      }
    }
    if (kept) {
      read.values[n] = value;
      read.valid[n] = valid;
    }
    ++n;
  }
}

// The rows of one Y column of a block, each holding X too, written in place: into storage of
// the column's own, or into a stretch of storage the reading of the text keeps for the block
// that may go on from one part into the next (see ReadText). Rows past a full stretch wait
// beside it, so that a room guessed a little short costs only them.
class Column {
 public:
  Column() = default;
  Column(Tdata* at, std::size_t room) : data_(at), room_(room) {}
  Column(Column&&) noexcept = default;
  Column& operator=(Column&&) noexcept = default;

  std::size_t Size() const { return rows_ + past_.size(); }
  std::size_t Room() const { return room_; }
  const Tdata& operator[](std::size_t row) const {
    return row < rows_ ? data_[row] : past_[row - rows_];
  }
  bool InStretch() const { return data_ != nullptr && data_ != own_.data(); }
  bool Starts(const std::vector<Tdata>& storage) const { return data_ == storage.data(); }

  void Reserve(std::size_t rows) {
    if (room_ < rows) MoveTo(rows);
  }

  // Rows not yet written are empty, as MakeEmptyRows leaves them (Append and Own come only after
  // the last Add), so X, Y and their flags are all a row needs.
  void Add(Real x, bool xValid, Real y, bool yValid) {
    if (rows_ == room_) {
      if (InStretch()) {
        past_.emplace_back(x, y, 0, xValid, yValid);
        return;
      }
      MoveTo(std::max<std::size_t>(4, 2 * room_));
    }
    Tdata& row = data_[rows_++];
    row.X = x;
    row.Y = y;
    row.XValid = xValid;
    row.YValid = yValid;
  }

  // Adds the rows of `next`. When its stretch follows this one's in the same storage the rows
  // only close up, which spares a copy into fresh memory of what the second part read.
  void Append(Column& next) {
    const std::size_t rows = Size() + next.Size();
    if (InStretch() && next.InStretch() && data_ + room_ == next.data_ &&
        rows <= room_ + next.room_) {
      Tdata* const to = data_ + Size();
      if (to != next.data_) std::memmove(to, next.data_, next.rows_ * sizeof(Tdata));
      std::copy(past_.begin(), past_.end(), data_ + rows_);
      std::copy(next.past_.begin(), next.past_.end(), to + next.rows_);
      rows_ = rows;
      room_ += next.room_;
      past_ = {};
      next = Column();
      return;
    }
    if (!past_.empty() || room_ - rows_ < next.Size()) MoveTo(std::max(rows, 2 * room_));
    for (std::size_t r = 0; r < next.Size(); ++r) data_[rows_++] = next[r];
  }

  // The rows of a stretch become the column's own: it takes over the storage it starts, or
  // copies them.
  void Own() { MoveTo(Size()); }
  void Own(std::vector<Tdata>& storage) {
    if (rows_ + past_.size() > storage.size()) return Own();
    own_ = std::move(storage);
    room_ = own_.size();
    std::copy(past_.begin(), past_.end(), data_ + rows_);
    rows_ += past_.size();
    past_ = {};
    // What the other part wrote past the rows need not stay in memory.
    EmptyRows(data_ + rows_, room_ - rows_);
  }

  std::vector<Tdata> Take() && {
    if (InStretch()) Own();
    own_.resize(rows_);
    return std::move(own_);
  }

 private:
  // Into storage of its own for `room` rows, all the rows there are.
  void MoveTo(std::size_t room) {
    std::vector<Tdata> rows = MakeEmptyRows(std::max(room, Size()));
    std::copy(data_, data_ + rows_, rows.data());
    std::copy(past_.begin(), past_.end(), rows.data() + rows_);
    rows_ += past_.size();
    past_ = {};
    own_ = std::move(rows);
    data_ = own_.data();
    room_ = own_.size();
  }

  std::vector<Tdata> own_;  // room_ rows when they are the column's own
  Tdata* data_ = nullptr;
  std::size_t rows_ = 0, room_ = 0;
  std::vector<Tdata> past_;  // the rows past a full stretch
};

// Where the first block of a part puts its rows: for each Y column the text's first lines have,
// a stretch of storage kept for the block that may go on into the next part.
struct Room {
  std::vector<Tdata*> at;
  std::size_t rows = 0;
  Column For(std::size_t y) const { return y < at.size() ? Column(at[y], rows) : Column(); }
};

// A block of rows as one part of the text read it: X with each Y column, and the lines
// shorter than the widest.
struct PartBlock {
  std::size_t columns = 0;
  // One per Y column. Empty for a block that can become no series, which is only counted
  // (see CloseBlock): a file of a million tiny blocks must not keep a million columns.
  std::vector<Column> ys;
  std::int64_t countedRows = 0;
  std::int64_t firstLine = 0;
  std::int64_t uneven = 0, firstUneven = 0;
  std::int64_t Rows() const {
    return ys.empty() ? countedRows : static_cast<std::int64_t>(ys[0].Size());
  }
};

// Y columns up to `count`, each new one with the X of the rows so far and no Y; in the
// stretches of `room`, where given and long enough.
void Widen(PartBlock& block, std::size_t count, const Room* room = nullptr) {
  if (block.ys.empty()) return;
  while (block.ys.size() < count) {
    Column column = room != nullptr ? room->For(block.ys.size()) : Column();
    const Column& first = block.ys[0];
    column.Reserve(first.Room());
    for (std::size_t r = 0; r < first.Size(); ++r) {
      column.Add(first[r].X, first[r].XValid, 0, false);
    }
    block.ys.push_back(std::move(column));
  }
}

struct Part {
  std::vector<PartBlock> blocks;
  bool lastOpen = false;           // the last block had no end after it
  bool endedBeforeData = false;    // a block end came before this part's first data line
  int leadingBlanks = 0, trailingBlanks = 0;
  std::vector<std::string> names;
  std::int64_t lines = 0;
  std::int64_t skippedLines = 0, firstSkippedLine = 0;
  bool points = false, commas = false;
  bool anyData = false;
  std::size_t keptColumns = 0;  // the Y columns of the blocks kept so far
  bool failed = false;          // a read failed
};

// The blocks `fold` stands for and then `next`, as the reading of the blocks into series sees
// them: the widest, the most rows of one up to the first that has two columns or more (which,
// lying past the limit, ends the reading), and all the short lines.
void Fold(PartBlock& fold, const PartBlock& next) {
  if (fold.columns < 2) fold.countedRows = std::max(fold.countedRows, next.Rows());
  fold.columns = std::max(fold.columns, next.columns);
  if (fold.uneven == 0) fold.firstUneven = next.firstUneven;
  fold.uneven += next.uneven;
}

// The last block, which has ended. One that can become no series, having no Y column or lying
// past the series limit, keeps no rows and is folded into the record of such blocks just before
// it, if there is one: however many tiny blocks a text holds, a part keeps a few records. The
// part's first block stays whole, since it may go on from the part before.
void CloseBlock(Part& part) {
  if (part.blocks.empty()) return;
  PartBlock& block = part.blocks.back();
  if (block.columns >= 2 && !block.ys.empty()) {
    part.keptColumns += block.ys.size();
    return;
  }
  if (part.blocks.size() == 1) return;
  PartBlock& before = part.blocks[part.blocks.size() - 2];
  if (part.blocks.size() > 2 && before.ys.empty()) {
    Fold(before, block);
    part.blocks.pop_back();
    return;
  }
  block.countedRows = block.Rows();
  block.ys.clear();
}

// Reads a part of the text in one pass. `names`: a line without numbers before the first data
// line names the columns. `room`: where the first block's rows go.
Part ReadPart(int fd, std::uint64_t begin, std::uint64_t end, char lineEnd, bool names,
              bool decimalComma, const Room& room) {
  Part part;
  FileLines reader(fd, begin, end, lineEnd);
  std::string_view raw;
  int blanks = 0;
  bool nonBlankSeen = false;
  LineRead read;
  const auto endBlock = [&] {
    if (!part.anyData) part.endedBeforeData = true;
    part.lastOpen = false;
  };
  while (reader.Next(raw)) {
    // Trailing blanks change nothing that follows, so only the leading ones are passed over.
    const std::string_view line = raw.substr(std::min(raw.size(), BlanksAtStart(raw)));
    const LineKind kind = KindOfLine(line);
    if (kind == LineKind::Blank) {
      if (!nonBlankSeen) ++part.leadingBlanks;
      if (++blanks == 2) endBlock();
      continue;
    }
    nonBlankSeen = true;
    blanks = 0;
    if (kind == LineKind::BlockEnd) endBlock();
    if (kind != LineKind::Text) continue;
    ReadLine(line, decimalComma, read);
    const std::int64_t number = reader.Number();
    if (read.columns == 0) {
      if (names && !part.anyData && part.names.empty()) {
        std::string_view tokens[kMaxNames];
        const std::size_t n = FirstTokens(line, tokens, kMaxNames);
        for (std::size_t k = 0; k < n; ++k) part.names.emplace_back(tokens[k].substr(0, kNameLimit));
      } else if (part.skippedLines++ == 0) {
        part.firstSkippedLine = number;
      }
      continue;
    }
    part.anyData = true;
    part.points = part.points || read.point;
    part.commas = part.commas || read.comma;
    if (!part.lastOpen) {
      CloseBlock(part);
      part.blocks.emplace_back();
      part.blocks.back().firstLine = number;
      // Past the series limit a block is only counted.
      if (part.keptColumns < static_cast<std::size_t>(MaxSeries)) {
        part.blocks.back().ys.push_back(part.blocks.size() == 1 ? room.For(0) : Column());
      }
    }
    part.lastOpen = true;
    PartBlock& block = part.blocks.back();
    const std::int64_t rows = block.Rows();
    if (read.columns > block.columns) {
      // Every line before is shorter than the new widest; new Y columns start empty.
      block.uneven = rows;
      block.firstUneven = rows > 0 ? block.firstLine : 0;
      block.columns = read.columns;
      Widen(block, std::max<std::size_t>(1, std::min(block.columns, kMaxNames) - 1),
            part.blocks.size() == 1 ? &room : nullptr);
    } else if (read.columns < block.columns && block.uneven++ == 0) {
      block.firstUneven = number;
    }
    if (block.ys.empty()) {
      ++block.countedRows;
      continue;
    }
    const bool xValid = read.valid[0];
    const Real x = xValid ? read.values[0] : 0;
    for (std::size_t y = 0; y < block.ys.size(); ++y) {
      const bool yValid = y + 1 < std::min(read.columns, kMaxNames) && read.valid[y + 1];
      block.ys[y].Add(x, xValid, yValid ? read.values[y + 1] : 0, yValid);
    }
  }
  part.trailingBlanks = blanks;
  part.lines = reader.Number();
  part.failed = reader.Failed();
  return part;
}


// Appends the rows of `next` to `block`, both widened to the wider, and counts its lines
// shorter than the widest of the two.
void JoinBlocks(PartBlock& block, PartBlock& next) {
  const std::int64_t rows = block.Rows(), nextRows = next.Rows();
  std::int64_t uneven = block.uneven + next.uneven;
  std::int64_t firstUneven = block.uneven > 0 ? block.firstUneven : next.firstUneven;
  if (block.columns < next.columns) {
    uneven = rows + next.uneven;
    firstUneven = block.firstLine;
  } else if (next.columns < block.columns) {
    uneven = block.uneven + nextRows;
    firstUneven = block.uneven > 0 ? block.firstUneven : next.firstLine;
  }
  if (block.ys.empty() || next.ys.empty()) {
    // Past the series limit on either side: counted only.
    block.ys.clear();
    block.countedRows = rows + nextRows;
  } else {
    Widen(block, next.ys.size());
    Widen(next, block.ys.size());
    for (std::size_t y = 0; y < block.ys.size(); ++y) block.ys[y].Append(next.ys[y]);
  }
  block.columns = std::max(block.columns, next.columns);
  block.uneven = uneven;
  block.firstUneven = firstUneven;
}

// The whole text read: every part's blocks joined in order.
struct Layout {
  std::vector<PartBlock> blocks;
  std::vector<std::string> names;
  std::int64_t skippedLines = 0, firstSkippedLine = 0;
  std::int64_t unevenLines = 0, firstUnevenLine = 0;
  bool failed = false;
};

// The first lines of a text as the parts read them: how many become rows, and the Y columns of
// the first that does.
struct Head {
  std::size_t rows = 0;
  std::size_t yColumns = 1;
};

Head ReadHead(std::string_view text, char lineEnd) {
  Head head;
  LineRead read;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(lineEnd), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(text.size(), end + 1));
    // A CR left at the end is a blank like any other.
    line.remove_prefix(BlanksAtStart(line));
    if (KindOfLine(line) != LineKind::Text) continue;
    ReadLine(line, false, read);
    if (read.columns == 0) continue;
    if (head.rows++ == 0) {
      head.yColumns = std::max<std::size_t>(1, std::min(read.columns, kMaxNames) - 1);
    }
  }
  return head;
}

// Lines per byte of the whole lines among the first or the last 64 KiB of the bytes
// [begin, end) of the file, which begin at a line start and end at a line end or the file's end.
double LinesPerByte(int fd, std::uint64_t begin, std::uint64_t end, char lineEnd, bool last) {
  const std::uint64_t length = std::min<std::uint64_t>(end - begin, 1 << 16);
  const std::uint64_t from = last ? end - length : begin;
  std::string sample(static_cast<std::size_t>(length), '\0');
  if (::pread(fd, sample.data(), sample.size(), static_cast<off_t>(from)) !=
      static_cast<ssize_t>(sample.size())) {
    return 0;
  }
  const std::size_t first = from == begin ? 0 : sample.find(lineEnd) + 1;
  const std::size_t after = from + length == end ? sample.size() : sample.rfind(lineEnd) + 1;
  if (first == 0 && from != begin) return 0;  // no line end at all
  if (after <= first) return 0;
  const std::string_view lines = std::string_view(sample).substr(first, after - first);
  const auto count = std::count(lines.begin(), lines.end(), lineEnd) + (lines.back() != lineEnd);
  return static_cast<double>(count) / static_cast<double>(lines.size());
}

// Rows for `bytes` at `linesPerByte`, with a margin: rows past a room too short may cost a copy
// of them all, a room a little long only a few pages of memory.
std::size_t RowsFor(std::uint64_t bytes, double linesPerByte) {
  const double lines = static_cast<double>(bytes) * std::min(1.0, linesPerByte);
  return static_cast<std::size_t>(lines * 1.05) + 16;
}

// The rows the first part [begin, end) is expected to have: those of the first lines, counted,
// and for the rest as many as the first lines or the part's last ones give per byte, whichever
// more. For lines of one length that is exact, and the parts' rows meet with no gap between
// them. `head`: what `start`, the
// text's first lines, holds. `alone`: the text is read in one part, whose room may as well be
// ample.
std::size_t FirstPartRows(int fd, std::uint64_t begin, std::uint64_t end, char lineEnd,
                          std::string_view start, const Head& head, bool alone) {
  const std::size_t headBytes =
      static_cast<std::size_t>(std::min<std::uint64_t>(start.size(), end - begin));
  const std::size_t headRows =
      headBytes == start.size() ? head.rows : ReadHead(start.substr(0, headBytes), lineEnd).rows;
  const double perByte = std::max(
      static_cast<double>(headRows) / static_cast<double>(std::max<std::size_t>(1, headBytes)),
      LinesPerByte(fd, begin, end, lineEnd, true));
  const std::uint64_t rest = end - begin - headBytes;
  if (alone) return headRows + RowsFor(rest, perByte);
  return headRows +
         static_cast<std::size_t>(std::llround(static_cast<double>(rest) * std::min(1.0, perByte)));
}

// The start of the first line after `from`, or nothing.
std::optional<std::uint64_t> NextLineStart(int fd, std::uint64_t from, std::uint64_t size,
                                           char lineEnd) {
  std::vector<char> window(1 << 16);
  while (from < size) {
    const ssize_t got = ::pread(fd, window.data(), window.size(), static_cast<off_t>(from));
    if (got <= 0) return std::nullopt;
    const void* at = std::memchr(window.data(), lineEnd, static_cast<std::size_t>(got));
    if (at != nullptr) {
      const std::uint64_t start =
          from + static_cast<std::uint64_t>(static_cast<const char*>(at) - window.data()) + 1;
      return start < size ? std::optional(start) : std::nullopt;
    }
    from += static_cast<std::uint64_t>(got);
  }
  return std::nullopt;
}

// Each stretch's rows become a column's own: the stretch at the start of a storage takes it
// over once every other has copied its rows out.
void SettleStretches(std::vector<PartBlock>& blocks, std::vector<std::vector<Tdata>>& storage) {
  for (const bool starts : {false, true}) {
    for (PartBlock& block : blocks) {
      for (std::size_t y = 0; y < block.ys.size(); ++y) {
        Column& column = block.ys[y];
        if (!column.InStretch()) continue;
        const bool owner = y < storage.size() && column.Starts(storage[y]);
        if (owner && starts) column.Own(storage[y]);
        if (!owner && !starts) column.Own();
      }
    }
  }
}

Layout ReadText(int fd, std::uint64_t begin, std::uint64_t size, char lineEnd,
                std::string_view start) {
  // Split at a line end near the middle.
  std::optional<std::uint64_t> split;
  if (size >= testing_hooks::PlainTextTwoPartBytes) {
    split = NextLineStart(fd, std::max(begin, size / 2), size, lineEnd);
  }
  bool decimalComma = false;
  Part parts[2];
  // The block at the split, usually the only one, gets its rows read by both parts into one
  // storage per Y column: the first part's from its start, the second's after the rows the
  // first is expected to have. Joining the parts then only closes the gap, if any, between them.
  std::vector<std::vector<Tdata>> storage;
  const Head head = ReadHead(start, lineEnd);
  for (int round = 0; round < 2; ++round) {
    const std::uint64_t middle = split ? *split : size;
    Room rooms[2];
    rooms[0].rows = FirstPartRows(fd, begin, middle, lineEnd, start, head, !split);
    if (split) {
      // Lines whose length changes along the text are measured at both ends.
      const double perByte = std::max(LinesPerByte(fd, middle, size, lineEnd, false),
                                      LinesPerByte(fd, middle, size, lineEnd, true));
      rooms[1].rows = RowsFor(size - middle, perByte);
    }
    if (testing_hooks::PlainTextRoomRows > 0) {
      rooms[0].rows = rooms[1].rows = testing_hooks::PlainTextRoomRows;
    }
    storage.clear();
    for (std::size_t y = 0; y < head.yColumns; ++y) {
      storage.push_back(MakeEmptyRows(rooms[0].rows + rooms[1].rows));
      rooms[0].at.push_back(storage.back().data());
      rooms[1].at.push_back(storage.back().data() + rooms[0].rows);
    }
    RunParts(split ? 2 : 1, [&](int k) {
      parts[k] = k == 0 ? ReadPart(fd, begin, middle, lineEnd, true, decimalComma, rooms[0])
                        : ReadPart(fd, *split, size, lineEnd, false, decimalComma, rooms[1]);
    });
    // A first part without data cannot tell whether the second one begins with names.
    if (split && !parts[0].anyData) {
      split.reset();
      --round;
      continue;
    }
    const bool points = parts[0].points || (split && parts[1].points);
    const bool commas = parts[0].commas || (split && parts[1].commas);
    // Decimal commas are read when the file uses them throughout: read again with them.
    if (decimalComma || !commas || points) break;
    decimalComma = true;
  }
  Layout layout;
  Part& first = parts[0];
  layout.failed = first.failed || (split && parts[1].failed);
  layout.names = std::move(first.names);
  layout.blocks = std::move(first.blocks);
  layout.skippedLines = first.skippedLines;
  layout.firstSkippedLine = first.firstSkippedLine;
  if (split) {
    Part& second = parts[1];
    for (PartBlock& b : second.blocks) {
      b.firstLine += first.lines;
      if (b.uneven > 0) b.firstUneven += first.lines;
    }
    std::size_t from = 0;
    const bool goesOn = first.lastOpen && !second.endedBeforeData &&
                        first.trailingBlanks + second.leadingBlanks < 2;
    if (goesOn && !second.blocks.empty() && !layout.blocks.empty()) {
      JoinBlocks(layout.blocks.back(), second.blocks.front());
      from = 1;
    }
    for (std::size_t b = from; b < second.blocks.size(); ++b) {
      layout.blocks.push_back(std::move(second.blocks[b]));
    }
    if (second.skippedLines > 0 && layout.skippedLines == 0) {
      layout.firstSkippedLine = second.firstSkippedLine + first.lines;
    }
    layout.skippedLines += second.skippedLines;
  }
  SettleStretches(layout.blocks, storage);
  for (const PartBlock& b : layout.blocks) {
    if (b.uneven > 0 && layout.unevenLines == 0) layout.firstUnevenLine = b.firstUneven;
    layout.unevenLines += b.uneven;
  }
  return layout;
}

// A token read as a cell, with a decimal comma read as a point where the file uses them.
bool ReadCell(std::string_view token, bool decimalComma, Real& value) {
  if (!decimalComma || token.find(',') == std::string_view::npos) {
    return ReadDataFileCell(token, value);
  }
  char buffer[64];
  if (token.size() > sizeof buffer) return false;
  std::copy(token.begin(), token.end(), buffer);
  std::replace(buffer, buffer + token.size(), ',', '.');
  return ReadDataFileCell(std::string_view(buffer, token.size()), value);
}

}  // namespace

bool LooksLikeCsv(std::string_view text) {
  for (const char separator : {';', '\t', ','}) {
    int lines = 0;
    std::optional<std::size_t> count;
    bool consistent = true;
    LineReader reader(text);
    std::string_view raw;
    while (consistent && lines < kSampleLines && reader.Next(raw)) {
      const std::string_view line = Trimmed(raw);
      if (KindOf(line) != LineKind::Text) continue;
      ++lines;
      const auto n = static_cast<std::size_t>(std::count(line.begin(), line.end(), separator));
      // Blanks between the fields of a comma or semicolon table would make it a blank-separated
      // one with a stray mark; a tab table may have blanks inside its fields.
      bool blankSeparated = false;
      if (separator != '\t') {
        for (std::size_t i = 1; i + 1 < line.size(); ++i) {
          if (IsBlank(line[i]) && line[i - 1] != separator && line[i + 1] != separator &&
              !IsBlank(line[i - 1]) && !IsBlank(line[i + 1])) {
            blankSeparated = true;
          }
        }
      }
      consistent = n > 0 && !blankSeparated && (!count || *count == n);
      count = n;
    }
    if (consistent && lines > 0) return true;
  }
  return false;
}

CsvOpenResult OpenPlainDataFile(Workspace& workspace, const std::string& path) {
  CsvOpenResult result;
  // Read as the data files are: a pipe cannot stall the open, and only a regular file is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    result.failed = true;
    return result;
  }
  const struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    result.failed = true;
    return result;
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(size, 1 << 16)), '\0');
  const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
  head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  const std::uint64_t begin = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  std::string_view start = std::string_view(head).substr(std::min<std::size_t>(begin, head.size()));
  // The separator test sees whole lines only.
  if (head.size() < size) start = start.substr(0, start.find_last_of("\r\n") + 1);
  if (LooksLikeCsv(start)) return OpenCsvFile(workspace, path);

  const char lineEnd = LineEndOf(start);
  Layout layout = ReadText(fd, begin, size, lineEnd, start);
  if (layout.failed) {
    result.failed = true;
    return result;
  }
  result.skippedLines = layout.skippedLines;
  result.firstSkippedLine = layout.firstSkippedLine;
  result.unevenLines = layout.unevenLines;
  result.firstUnevenLine = layout.firstUnevenLine;
  if (layout.blocks.empty()) {
    result.failed = true;
    result.noNumbers = true;
    return result;
  }

  // Each block's Y columns become series of their own, in the file's order, up to the limit;
  // the rows read become theirs as they are.
  std::vector<std::vector<Series*>> blockSeries;
  for (PartBlock& block : layout.blocks) {
    if (block.Rows() > std::numeric_limits<std::int32_t>::max()) {
      result.failed = true;
      break;
    }
    DataFileOpenResult made;
    CreateFileSeries(workspace, static_cast<std::int32_t>(block.Rows()),
                     static_cast<std::int64_t>(block.columns), made);
    // A block only counted has no Y column or lies past the limit, and gets no series.
    for (std::size_t s = 0; s < made.created.size() && s < block.ys.size(); ++s) {
      made.created[s]->Points = std::move(block.ys[s]).Take();
    }
    blockSeries.push_back(made.created);
    result.created.insert(result.created.end(), made.created.begin(), made.created.end());
    result.rows = made.rows;
    if (made.failed) {
      result.failed = true;
      result.outOfMemory = made.outOfMemory;
      break;
    }
    if (made.limitReached) {
      result.limitReached = true;
      break;
    }
  }

  if (!blockSeries.empty()) {
    const std::vector<Series*>& first = blockSeries.front();
    for (std::size_t s = 0; s + 1 < layout.names.size() && s < first.size(); ++s) {
      first[s]->SeriesTitle = layout.names[s + 1];
    }
  }
  FinishReading(path, result.created, !result.failed);
  return result;
}

std::vector<std::string> ReadingNotes(const CsvOpenResult& result, const std::string& path) {
  std::vector<std::string> notes;
  if (result.cellsNotNumbers > 0) notes.push_back(CsvNotNumbersText(path, result.cellsNotNumbers));
  const auto lines = [](std::int64_t n) { return std::to_string(n) + (n == 1 ? " line" : " lines"); };
  if (result.skippedLines > 0) {
    notes.push_back(lines(result.skippedLines) + " of " + path +
                    (result.skippedLines == 1 ? " holds" : " hold") +
                    " no number and " + (result.skippedLines == 1 ? "was" : "were") +
                    " skipped, the first at line " + std::to_string(result.firstSkippedLine) + ".");
  }
  if (result.unevenLines > 0) {
    notes.push_back(lines(result.unevenLines) + " of " + path +
                    (result.unevenLines == 1 ? " has" : " have") +
                    " fewer columns than the widest of its block, the first at line " +
                    std::to_string(result.firstUnevenLine) + "; the missing cells are empty.");
  }
  return notes;
}

}  // namespace tavel
