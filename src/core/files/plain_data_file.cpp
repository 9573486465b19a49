#include "core/files/plain_data_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/files/data_file.h"
#include "core/files/data_file_number.h"
#include "core/files/file_bytes.h"
#include "core/series/graph_settings.h"
#include "core/series/run_parts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {
namespace {

// The longest series title a line of names gives, as for CSV files.
constexpr std::size_t kNameLimit = 255;
// The separator test looks at this many lines that hold data.
constexpr int kSampleLines = 20;
// A line of names gives at most this many: X and a name for each series.
constexpr std::size_t kMaxNames = MaxSeries + 1;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The file's lines one by one: CR LF, a lone CR and a lone LF each end one.
class LineReader {
 public:
  LineReader(std::string_view text, std::int64_t number = 0) : text_(text), number_(number) {}

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    // The next CR and LF are each looked for once, by the library's fast search.
    if (cr_ < pos_ || !started_) cr_ = Find('\r');
    if (lf_ < pos_ || !started_) lf_ = Find('\n');
    started_ = true;
    const std::size_t end = std::min(cr_, lf_);
    start_ = pos_;
    line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_++] == '\r' && pos_ < text_.size() &&
        text_[pos_] == '\n') {
      ++pos_;
    }
    ++number_;
    return true;
  }
  // The line read last: its number, counted from 1, and where it starts.
  std::int64_t Number() const { return number_; }
  std::size_t Start() const { return start_; }

 private:
  std::size_t Find(char c) const {
    const void* at = std::memchr(text_.data() + pos_, c, text_.size() - pos_);
    return at != nullptr ? static_cast<std::size_t>(static_cast<const char*>(at) - text_.data())
                         : text_.size();
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t start_ = 0;
  // The next CR and LF at or after pos_, once looked for; none looked for yet at the start.
  std::size_t cr_ = 0, lf_ = 0;
  bool started_ = false;
  std::int64_t number_ = 0;
};

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
  kinds[' '] = kinds['\t'] = kBlank;
  return kinds;
}();

unsigned char KindOfByte(char c) {
  return kByteKinds[static_cast<unsigned char>(c)];
}

// The width of a token in the written form at p, standing alone; 0 for any other token.
std::ptrdiff_t WrittenWidth(const char* p, const char* end) {
  const std::ptrdiff_t width = kDataFileNumberWidth - (*p == '-' ? 0 : 1);
  if (end - p < width || (end - p > width && KindOfByte(p[width]) != kBlank)) return 0;
  return IsWrittenForm(p, width) ? width : 0;
}

// A token beginning with `first` whose bytes are of `kinds` can be a number.
bool CanBeNumber(char first, unsigned kinds) {
  return first != 'e' && first != 'E' && (kinds & kOther) == 0 && (kinds & kDigit) != 0;
}

// What the first pass needs of a line: its columns (the blank-separated tokens up to the last
// one that can be a number; what follows is a remark) and the decimal marks its numbers use. A
// token can be a number when it begins as one (not with an exponent letter) and holds a digit
// and only what numbers hold (a decimal comma included); the reading decides.
struct LineShape {
  std::size_t columns = 0;
  bool point = false;
  bool comma = false;
};

// With `anyNumber` it stops at the first token that can be a number: enough to tell a data line.
LineShape ShapeOf(std::string_view line, bool anyNumber = false) {
  LineShape shape;
  std::size_t tokens = 0;
  const char* p = line.data();
  const char* const end = p + line.size();
  while (p != end) {
    while (p != end && KindOfByte(*p) == kBlank) ++p;
    if (p == end) break;
    ++tokens;
    // The program's own form, the common case, at one look.
    const std::ptrdiff_t written = WrittenWidth(p, end);
    if (written > 0) {
      p += written;
      shape.columns = tokens;
      shape.point = true;
      if (anyNumber) break;
      continue;
    }
    const char first = *p;
    unsigned kinds = 0;
    for (; p != end && KindOfByte(*p) != kBlank; ++p) kinds |= KindOfByte(*p);
    if (CanBeNumber(first, kinds)) {
      shape.columns = tokens;
      shape.point = shape.point || (kinds & kPoint) != 0;
      shape.comma = shape.comma || (kinds & kComma) != 0;
      if (anyNumber) break;
    }
  }
  return shape;
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

// Reads the first `count` tokens of a line as cells into values and valid; returns how many
// tokens there were, and in `numeric` whether any of them can be a number.
std::size_t ReadTokens(std::string_view line, bool decimalComma, std::size_t count, Real* values,
                       bool* valid, bool& numeric) {
  const char* p = line.data();
  const char* const end = p + line.size();
  std::size_t n = 0;
  numeric = false;
  while (n < count) {
    while (p != end && KindOfByte(*p) == kBlank) ++p;
    if (p == end) break;
    // The written form is told by its reading itself.
    const std::ptrdiff_t written = kDataFileNumberWidth - (*p == '-' ? 0 : 1);
    if (end - p >= written && (end - p == written || KindOfByte(p[written]) == kBlank) &&
        ReadWrittenFormCell(p, written, values[n], valid[n])) {
      numeric = true;
      p += written;
      ++n;
      continue;
    }
    const char* const start = p;
    unsigned kinds = 0;
    for (; p != end && KindOfByte(*p) != kBlank; ++p) kinds |= KindOfByte(*p);
    const std::string_view token(start, static_cast<std::size_t>(p - start));
    valid[n] = ReadCell(token, decimalComma, values[n]);
    numeric = numeric || valid[n] || CanBeNumber(*start, kinds);
    ++n;
  }
  return n;
}

// A line that holds data: where it stands and its columns.
struct Record {
  std::size_t offset = 0;
  std::uint32_t length = 0;
  std::uint32_t columns = 0;
};

struct Block {
  std::int64_t rows = 0;
  std::size_t columns = 0;
};

// The first pass over a part of the text: its data lines in order, the blocks they form (the
// last one still open unless a block end followed it), the line of names, the lines that hold
// no number, and the decimal marks.
struct PartLayout {
  std::vector<Record> records;
  std::vector<Block> blocks;
  bool lastOpen = false;
  std::vector<std::string> names;
  std::int64_t lines = 0;
  std::int64_t skippedLines = 0, firstSkippedLine = 0;
  bool points = false, commas = false;
};

// Calls `line(lineNumber, trimmed, start)` for every line that is no comment, blank or block
// end, and `blockEnd()` where a block ends: at "&" and at the second blank line in a row.
// Returns the number of lines.
template <class OnLine, class OnBlockEnd>
std::int64_t WalkLines(std::string_view text, OnLine line, OnBlockEnd blockEnd) {
  LineReader reader(text);
  std::string_view raw;
  int blanks = 0;
  while (reader.Next(raw)) {
    const std::string_view trimmed = Trimmed(raw);
    const LineKind kind = KindOf(trimmed);
    if (kind == LineKind::Blank) {
      if (++blanks == 2) blockEnd();
      continue;
    }
    blanks = 0;
    if (kind == LineKind::BlockEnd) {
      blockEnd();
    } else if (kind == LineKind::Text) {
      line(reader.Number(), trimmed, static_cast<std::size_t>(trimmed.data() - text.data()));
    }
  }
  return reader.Number();
}

// `names` tells whether a line without numbers before the first data line names the columns.
PartLayout MeasurePart(std::string_view text, std::size_t base, bool names) {
  PartLayout part;
  part.records.reserve(text.size() / 32 + 16);
  bool anyData = false;
  part.lines = WalkLines(
      text,
      [&](std::int64_t number, std::string_view line, std::size_t start) {
        const LineShape shape = ShapeOf(line);
        if (shape.columns == 0) {
          if (names && !anyData && part.names.empty()) {
            std::string_view tokens[kMaxNames];
            const std::size_t n = FirstTokens(line, tokens, kMaxNames);
            for (std::size_t k = 0; k < n; ++k) part.names.emplace_back(tokens[k].substr(0, kNameLimit));
          } else if (part.skippedLines++ == 0) {
            part.firstSkippedLine = number;
          }
          return;
        }
        anyData = true;
        part.points = part.points || shape.point;
        part.commas = part.commas || shape.comma;
        if (!part.lastOpen) part.blocks.emplace_back();
        part.lastOpen = true;
        Block& block = part.blocks.back();
        ++block.rows;
        block.columns = std::max(block.columns, shape.columns);
        part.records.push_back(Record{base + start, static_cast<std::uint32_t>(line.size()),
                                      static_cast<std::uint32_t>(shape.columns)});
      },
      [&] { part.lastOpen = false; });
  return part;
}

// A file this large is read in two parts at once.
constexpr std::size_t kTwoPartBytes = 1 << 20;

// Where the second part starts: the first data line at or after the middle, when a data line
// came before it (so the line of names, if any, lies in the first part), and no blank line or
// block end stands right before it.
std::optional<std::size_t> SplitPoint(std::string_view text) {
  if (text.size() < kTwoPartBytes) return std::nullopt;
  const auto isData = [](std::string_view raw) {
    const std::string_view trimmed = Trimmed(raw);
    return KindOf(trimmed) == LineKind::Text && ShapeOf(trimmed, true).columns > 0;
  };
  const std::size_t middle = text.size() / 2;
  LineReader head(text);
  std::string_view raw;
  bool dataBefore = false;
  while (!dataBefore && head.Next(raw) && head.Start() < middle) dataBefore = isData(raw);
  if (!dataBefore) return std::nullopt;
  std::size_t from = text.find_first_of("\r\n", middle);
  if (from == std::string_view::npos) return std::nullopt;
  from += text.compare(from, 2, "\r\n") == 0 ? 2 : 1;
  LineReader reader(text.substr(from));
  bool previousData = false;
  while (reader.Next(raw)) {
    const bool data = isData(raw);
    if (data && previousData) return from + reader.Start();
    previousData = data;
  }
  return std::nullopt;
}

// The first pass: every part's layout, joined.
struct Layout {
  std::vector<Record> records;
  std::vector<Block> blocks;
  std::vector<std::string> names;
  bool decimalComma = false;
  std::int64_t skippedLines = 0, firstSkippedLine = 0;
  std::int64_t unevenLines = 0, firstUnevenLine = 0;
};

Layout MeasureText(std::string_view text) {
  const std::optional<std::size_t> split = SplitPoint(text);
  PartLayout parts[2];
  RunParts(split ? 2 : 1, [&](int k) {
    parts[k] = k == 0 ? MeasurePart(split ? text.substr(0, *split) : text, 0, true)
                      : MeasurePart(text.substr(*split), *split, false);
  });
  Layout layout;
  PartLayout& first = parts[0];
  layout.names = std::move(first.names);
  layout.records = std::move(first.records);
  layout.blocks = std::move(first.blocks);
  layout.skippedLines = first.skippedLines;
  layout.firstSkippedLine = first.firstSkippedLine;
  bool points = first.points, commas = first.commas;
  if (split) {
    PartLayout& second = parts[1];
    // The second part begins with a data line right after another: one block goes on.
    layout.records.insert(layout.records.end(), second.records.begin(), second.records.end());
    std::size_t from = 0;
    if (first.lastOpen && !second.blocks.empty() && !layout.blocks.empty()) {
      layout.blocks.back().rows += second.blocks.front().rows;
      layout.blocks.back().columns =
          std::max(layout.blocks.back().columns, second.blocks.front().columns);
      from = 1;
    }
    layout.blocks.insert(layout.blocks.end(), second.blocks.begin() + static_cast<std::ptrdiff_t>(from),
                         second.blocks.end());
    if (second.skippedLines > 0 && layout.skippedLines == 0) {
      layout.firstSkippedLine = second.firstSkippedLine + first.lines;
    }
    layout.skippedLines += second.skippedLines;
    points = points || second.points;
    commas = commas || second.commas;
  }
  layout.decimalComma = commas && !points;
  // Lines shorter than the widest of their block; the first one's number is counted out.
  std::size_t r = 0;
  std::optional<std::size_t> firstUneven;
  for (const Block& block : layout.blocks) {
    for (std::int64_t k = 0; k < block.rows; ++k, ++r) {
      if (layout.records[r].columns < block.columns && layout.unevenLines++ == 0) {
        firstUneven = layout.records[r].offset;
      }
    }
  }
  if (firstUneven) {
    LineReader reader(text);
    std::string_view raw;
    while (reader.Next(raw) && reader.Start() + raw.size() < *firstUneven) {
    }
    layout.firstUnevenLine = reader.Number();
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
  const std::optional<FileText> bytes = ReadFileText(path);
  if (!bytes) {
    result.failed = true;
    return result;
  }
  std::string_view text = bytes->View();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (LooksLikeCsv(text)) return OpenCsvFile(workspace, path);

  const Layout layout = MeasureText(text);
  result.skippedLines = layout.skippedLines;
  result.firstSkippedLine = layout.firstSkippedLine;
  if (layout.blocks.empty()) {
    result.failed = true;
    result.noNumbers = true;
    return result;
  }

  // Each block's Y columns become series of their own, in the file's order, up to the limit.
  std::vector<std::vector<Series*>> blockSeries;
  for (const Block& block : layout.blocks) {
    if (block.rows > std::numeric_limits<std::int32_t>::max()) {
      result.failed = true;
      break;
    }
    DataFileOpenResult made;
    CreateFileSeries(workspace, static_cast<std::int32_t>(block.rows),
                     static_cast<std::int64_t>(block.columns), made);
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

  result.unevenLines = layout.unevenLines;
  result.firstUnevenLine = layout.firstUnevenLine;
  // The second pass, in two halves at once for a large file: each fills its own rows.
  std::vector<std::size_t> blockStart{0};
  for (const Block& block : layout.blocks) {
    blockStart.push_back(blockStart.back() + static_cast<std::size_t>(block.rows));
  }
  const std::size_t records = layout.records.size();
  const int parts = records >= (1u << 15) ? 2 : 1;
  RunParts(parts, [&](int part) {
    const std::size_t begin = part == 0 ? 0 : records / 2;
    const std::size_t end = part == 0 && parts == 2 ? records / 2 : records;
    std::size_t b = static_cast<std::size_t>(
        std::upper_bound(blockStart.begin(), blockStart.end(), begin) - blockStart.begin() - 1);
    Real values[MaxSeries + 1];
    bool valid[MaxSeries + 1];
    for (std::size_t i = begin; i < end; ++i) {
      while (i >= blockStart[b + 1]) ++b;
      if (b >= blockSeries.size()) break;
      const std::vector<Series*>& series = blockSeries[b];
      if (series.empty()) continue;
      const Record& record = layout.records[i];
      bool numeric = false;
      const std::size_t n = ReadTokens(text.substr(record.offset, record.length),
                                       layout.decimalComma, series.size() + 1, values, valid,
                                       numeric);
      const auto row = static_cast<std::size_t>(i - blockStart[b]);
      for (std::size_t s = 0; s < series.size(); ++s) {
        Tdata& point = series[s]->Points[row];
        point.XValid = valid[0];
        point.X = valid[0] ? values[0] : 0;
        point.YValid = s + 1 < n && valid[s + 1];
        point.Y = point.YValid ? values[s + 1] : 0;
      }
    }
  });

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
