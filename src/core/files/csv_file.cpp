#include "core/files/csv_file.h"

#include <algorithm>
#include <bit>
#include <new>
#include <stdexcept>
#include <cstdio>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "core/cells/clipboard_text.h"
#include "core/files/atomic_file.h"
#include "core/files/byte_masks.h"
#include "core/files/data_file_number.h"
#include "core/files/file_bytes.h"
#include "core/files/file_names.h"
#include "core/files/memory_probe.h"
#include "core/files/plain_data_file.h"
#include "core/series/graph_settings.h"
#include "core/series/run_parts.h"
#include "core/series/scoped_value.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

// The longest series title a first line of names gives.
constexpr std::size_t kNameLimit = 255;


constexpr std::size_t kTwoPartBytes = 1 << 20;

// The fields of one record at a time. Quoted fields may hold separators, doubled quotes and
// line breaks; a line with nothing on it is no record.
class CsvReader {
 public:
  CsvReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

  // The next record's fields into `fields` (views into the text or into `unquoted`); false at
  // the end.
  bool Next(std::vector<std::string_view>& fields) {
    fields.clear();
    unquoted_.clear();
    quotedAt_.clear();
    while (pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n')) ++pos_;
    if (pos_ >= text_.size()) return false;
    for (;;) {
      ReadField(fields);
      if (pos_ >= text_.size()) break;
      const char c = text_[pos_];
      if (c == separator_) {
        ++pos_;
        continue;
      }
      // A line end: CR LF, a lone CR or a lone LF.
      ++pos_;
      if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
      break;
    }
    // Unquoted copies were gathered in one buffer that may have moved: point at them now.
    for (const auto& [index, begin, length] : quotedAt_) {
      fields[index] = std::string_view(unquoted_).substr(begin, length);
    }
    return true;
  }

  // What follows the records read so far.
  std::string_view Rest() const { return text_.substr(std::min(pos_, text_.size())); }

 private:
  struct Quoted {
    std::size_t index, begin, length;
  };

  void ReadField(std::vector<std::string_view>& fields) {
    const std::size_t start = pos_;
    if (pos_ < text_.size() && text_[pos_] == '"') {
      const std::size_t begin = unquoted_.size();
      ++pos_;
      while (pos_ < text_.size()) {
        const char c = text_[pos_++];
        if (c != '"') {
          unquoted_ += c;
        } else if (pos_ < text_.size() && text_[pos_] == '"') {
          unquoted_ += '"';
          ++pos_;
        } else {
          break;
        }
      }
      // Anything after the closing quote up to the separator belongs to the field as well.
      while (pos_ < text_.size() && !Ends(text_[pos_])) unquoted_ += text_[pos_++];
      quotedAt_.push_back({fields.size(), begin, unquoted_.size() - begin});
      fields.emplace_back();
      return;
    }
    while (pos_ < text_.size() && !Ends(text_[pos_])) ++pos_;
    fields.push_back(text_.substr(start, pos_ - start));
  }

  bool Ends(char c) const { return c == separator_ || c == '\r' || c == '\n'; }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  std::string unquoted_;
  std::vector<Quoted> quotedAt_;
};

// The records of text without quotes and the most fields in one of them, counted without
// taking the fields apart: what CsvReader would find, at a fraction of the cost.
class UnquotedCounter {
 public:
  explicit UnquotedCounter(char separator) : separator_(separator) {}

  void Bytes(const char* p, const char* end) {
#if defined(__SSE2__)
    for (; end - p >= 64; p += 64) Chunk(p);
#endif
    for (; p != end; ++p) {
      if (*p == '\r' || *p == '\n') {
        EndLine();
      } else {
        Segment(1, *p == separator_);
      }
    }
  }

  // Adds what was counted, the last record included, to the totals.
  void Finish(std::int64_t& records, std::int64_t& columns) {
    EndLine();
    records += records_;
    columns = std::max(columns, columns_);
  }

 private:
  // `length` bytes of one line holding `separators` separators.
  void Segment(int length, int separators) {
    if (length == 0) return;
    if (!inRecord_) {
      inRecord_ = true;
      fields_ = 1;
    }
    fields_ += separators;
  }

  void EndLine() {
    if (!inRecord_) return;
    ++records_;
    columns_ = std::max(columns_, fields_);
    inRecord_ = false;
  }

#if defined(__SSE2__)
  void Chunk(const char* p) {
    const Bytes64 bytes(p);
    const std::uint64_t ends = bytes.Where('\r', '\n');
    const std::uint64_t separators = bytes.Where(separator_, separator_);
    int from = 0;
    for (std::uint64_t left = ends; left != 0; left &= left - 1) {
      const int at = std::countr_zero(left);
      Segment(at - from, std::popcount(separators & BitsBetween(from, at)));
      EndLine();
      from = at + 1;
    }
    Segment(64 - from, std::popcount(separators & BitsBetween(from, 64)));
  }
#endif

  char separator_;
  std::int64_t records_ = 0;
  std::int64_t columns_ = 0;
  std::int64_t fields_ = 0;
  bool inRecord_ = false;
};

std::string_view Trimmed(std::string_view field) {
  while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
  return field;
}

enum class CellRead { Empty, Number, NotNumber };

CellRead ReadCsvCell(std::string_view field, char decimalMark, Real& value) {
  field = Trimmed(field);
  if (field.empty()) return CellRead::Empty;
  std::optional<Real> parsed;
  if (decimalMark == ',' && field.find(',') != std::string_view::npos) {
    std::string copy(field);
    std::replace(copy.begin(), copy.end(), ',', '.');
    parsed = ParseDataFileNumber(copy);
  } else {
    parsed = ParseDataFileNumber(field);
  }
  if (!parsed) return CellRead::NotNumber;
  // As in data files: a value from 1E+4931 up is an empty cell.
  if (!(*parsed < kEmptyThreshold)) return CellRead::Empty;
  value = *parsed;
  return CellRead::Number;
}

// Text without quotes a record at a time, each field read as it is met: a plain number is
// read in the same pass that finds its end, anything else is taken as a field and read by
// ReadCsvCell, so both give the same cells.
class UnquotedRecords {
 public:
  UnquotedRecords(std::string_view text, CsvDialect dialect)
      : p_(text.data()), end_(text.data() + text.size()), dialect_(dialect) {}

  // To the next record; false at the end.
  bool NextRecord() {
    while (p_ != end_ && (*p_ == '\r' || *p_ == '\n')) ++p_;
    fieldsLeft_ = p_ != end_;
    return fieldsLeft_;
  }

  // The record's next field; Empty once it has no more.
  CellRead NextCell(Real& value) {
    if (!fieldsLeft_) return CellRead::Empty;
    CellRead read = CellRead::Empty;
    const char* stop = p_;
    if (dialect_.decimalMark == '.' && ReadLeadingNumber(p_, end_, value, stop) &&
        (stop == end_ || Ends(*stop))) {
      // As in ReadCsvCell: from 1E+4931 up the cell is empty.
      read = value < kEmptyThreshold ? CellRead::Number : CellRead::Empty;
    } else {
      stop = p_;
      while (stop != end_ && !Ends(*stop)) ++stop;
      read = ReadCsvCell(std::string_view(p_, static_cast<std::size_t>(stop - p_)),
                         dialect_.decimalMark, value);
    }
    p_ = stop;
    fieldsLeft_ = p_ != end_ && *p_ == dialect_.separator;
    if (fieldsLeft_) ++p_;
    return read;
  }

  // Past the fields of the record not read.
  void SkipRecord() {
    while (p_ != end_ && *p_ != '\r' && *p_ != '\n') ++p_;
    fieldsLeft_ = false;
  }

 private:
  bool Ends(char c) const { return c == dialect_.separator || c == '\r' || c == '\n'; }

  const char* p_;
  const char* end_;
  CsvDialect dialect_;
  bool fieldsLeft_ = false;
};

std::string FieldText(std::string_view field) {
  const bool quote = field.find_first_of(",;\"\r\n\t") != std::string_view::npos;
  if (!quote) return std::string(field);
  std::string text = "\"";
  for (const char c : field) {
    if (c == '"') text += '"';
    text += c;
  }
  return text + '"';
}

}  // namespace

CsvDialect DetectCsvDialect(std::string_view head) {
  std::size_t tabs = 0, semicolons = 0, commas = 0;
  bool quoted = false;
  int lines = 0;
  for (const char c : head) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' && ++lines >= 20) break;
    tabs += c == '\t';
    semicolons += c == ';';
    commas += c == ',';
  }
  CsvDialect dialect;
  if (tabs > 0) {
    dialect.separator = '\t';
  } else if (semicolons > 0) {
    dialect.separator = ';';
  }
  if (dialect.separator != ',' && commas > 0) dialect.decimalMark = ',';
  return dialect;
}

bool IsCsvFileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".csv" || extension == ".tsv";
}

std::string CsvNotNumbersText(const std::string& path, std::int64_t cells) {
  return std::to_string(cells) + (cells == 1 ? " cell" : " cells") + " of " + path +
         (cells == 1 ? " holds" : " hold") + " no number and " + (cells == 1 ? "was" : "were") +
         " left empty.";
}

CsvOpenResult OpenCsvFile(Workspace& workspace, const std::string& path) {
  CsvOpenResult result;
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) {
    result.failed = true;
    return result;
  }
  std::string_view body(*text);
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  const CsvDialect dialect = DetectCsvDialect(body.substr(0, 64 * 1024));

  // A large file without quotes is read in two halves split at a line end, on two threads;
  // the halves and what they give do not depend on the machine.
  std::string_view parts[2] = {body, {}};
  int partCount = 1;
  const bool unquoted = body.find('"') == std::string_view::npos;
  if (body.size() >= kTwoPartBytes && unquoted) {
    const std::size_t split = body.find_first_of("\r\n", body.size() / 2);
    if (split != std::string_view::npos) {
      parts[0] = body.substr(0, split);
      parts[1] = body.substr(split);
      partCount = 2;
    }
  }

  // The first pass: records, the widest record, and whether the first one names the columns.
  std::vector<std::string> names;
  std::int64_t partRecords[2] = {0, 0};
  std::int64_t partColumns[2] = {0, 0};
  bool header = false;
  RunParts(partCount, [&](int part) {
    std::vector<std::string_view> fields;
    CsvReader reader(parts[part], dialect.separator);
    const auto count = [&] {
      ++partRecords[part];
      partColumns[part] =
          std::max<std::int64_t>(partColumns[part], static_cast<std::int64_t>(fields.size()));
    };
    if (part == 0 && reader.Next(fields)) {
      Real ignored = 0;
      header = std::any_of(fields.begin(), fields.end(), [&](std::string_view f) {
        return ReadCsvCell(f, dialect.decimalMark, ignored) == CellRead::NotNumber;
      });
      if (header) {
        // A name is a series title: a huge field is cut, not copied whole.
        for (std::string_view f : fields) names.emplace_back(Trimmed(f).substr(0, kNameLimit));
      }
      count();
    }
    if (unquoted) {
      UnquotedCounter counter(dialect.separator);
      const std::string_view rest = reader.Rest();
      counter.Bytes(rest.data(), rest.data() + rest.size());
      counter.Finish(partRecords[part], partColumns[part]);
      return;
    }
    while (reader.Next(fields)) count();
  });
  const std::int64_t records = partRecords[0] + partRecords[1];
  const std::int64_t columns = std::max(partColumns[0], partColumns[1]);
  const std::int64_t rows = records - (header ? 1 : 0);
  if (rows <= 0 || rows > std::numeric_limits<std::int32_t>::max()) {
    result.failed = rows > 0;
    return result;
  }
  if (!CreateFileSeries(workspace, static_cast<std::int32_t>(rows), columns, result)) {
    return result;
  }

  // The second pass fills the rows, each half its own.
  const std::size_t series = result.created.size();
  std::int64_t notNumbers[2] = {0, 0};
  RunParts(partCount, [&](int part) {
    std::int64_t r = part == 0 ? 0 : partRecords[0] - (header ? 1 : 0);
    // Counted here and handed over at the end: the two halves writing neighbouring counters
    // row by row would fight over one cache line.
    std::int64_t partNotNumbers = 0;
    // One record into row r; nextCell gives the record's cells in turn, Empty past its end.
    const auto fill = [&](auto&& nextCell) {
      Real x = 0;
      const CellRead xRead = nextCell(x);
      partNotNumbers += xRead == CellRead::NotNumber;
      for (std::size_t s = 0; s < series; ++s) {
        Tdata& row = result.created[s]->Points[static_cast<std::size_t>(r)];
        row.XValid = xRead == CellRead::Number;
        row.X = row.XValid ? x : 0;
        Real y = 0;
        const CellRead yRead = nextCell(y);
        partNotNumbers += yRead == CellRead::NotNumber;
        row.YValid = yRead == CellRead::Number;
        row.Y = row.YValid ? y : 0;
      }
    };
    if (unquoted) {
      UnquotedRecords cells(parts[part], dialect);
      if (part == 0 && header && cells.NextRecord()) cells.SkipRecord();
      for (; r < rows && cells.NextRecord(); ++r) {
        fill([&](Real& value) { return cells.NextCell(value); });
        cells.SkipRecord();
      }
    } else {
      std::vector<std::string_view> fields;
      CsvReader reader(parts[part], dialect.separator);
      if (part == 0 && header) reader.Next(fields);
      for (; r < rows && reader.Next(fields); ++r) {
        std::size_t next = 0;
        fill([&](Real& value) {
          return next < fields.size() ? ReadCsvCell(fields[next++], dialect.decimalMark, value)
                                      : CellRead::Empty;
        });
      }
    }
    notNumbers[part] = partNotNumbers;
  });
  result.cellsNotNumbers = notNumbers[0] + notNumbers[1];
  for (std::size_t s = 0; s + 1 < names.size() && s < series; ++s) {
    result.created[s]->SeriesTitle = names[s + 1];
  }
  FinishReading(path, result.created, true);
  return result;
}

CsvOpenResult OpenDataFileByName(Workspace& workspace, const std::string& path) {
  const std::vector<Series*> before = workspace.DataWindows;
  CsvOpenResult result;
  try {
    if (IsCsvFileName(path)) {
      result = OpenCsvFile(workspace, path);
    } else if (FileKindOf(path) == FileKind::DataFile) {
      static_cast<DataFileOpenResult&>(result) = OpenDataFile(workspace, path);
    } else {
      result = OpenPlainDataFile(workspace, path);
    }
    return result;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  // A file larger than the memory the program may use: refused as a whole, with nothing
  // half made left open.
  for (Series* series : std::vector<Series*>(workspace.DataWindows)) {
    if (std::find(before.begin(), before.end(), series) == before.end()) {
      workspace.DestroySeries(*series);
    }
  }
  workspace.SortDataWindows();
  CsvOpenResult refused;
  refused.failed = true;
  refused.outOfMemory = true;
  return refused;
}

void WriteCsvFile(Series& series, const std::string& path) {
  series.ReadGrid();
  std::string content =
      "X," + (series.SeriesTitle.empty() ? std::string("Y") : FieldText(series.SeriesTitle)) +
      "\r\n";
  char number[64];
  const auto put = [&](bool valid, Real value) {
    if (!valid) return;
    std::snprintf(number, sizeof number, "%.17Lg", value);
    content += number;
  };
  for (const Tdata& row : series.Points) {
    if (!row.XValid && !row.YValid) continue;
    put(row.XValid, row.X);
    content += ',';
    put(row.YValid, row.Y);
    content += "\r\n";
  }
  WriteFileAtomically(path, content);
  series.FileName = path;
  series.CaptionFileName.clear();
  series.FileNameInCaption = true;
  series.MarkSaved();
}

}  // namespace tavel
