#include "core/files/narrow_read.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <new>

#include "core/files/file_bytes.h"
#include "core/files/memory_probe.h"
#include "core/series/run_parts.h"

namespace tavel {
namespace {

constexpr std::ptrdiff_t kWrittenLine = 2 * kDataFileNumberWidth + 3;
static_assert(kWrittenLine < kDataFileTokenLimit, "a written line is whole in the buffer");

// Lines of the part [begin, end) as its first 64 KiB suggest, a little over rather than under.
std::size_t RoomFor(const std::string& path, std::uint64_t begin, std::uint64_t end) {
  const std::uint64_t bytes = end - begin;
  FileBytes sample(path, begin, std::min<std::uint64_t>(bytes, 1 << 16));
  std::uint64_t sampled = 0, lineEnds = 0, crs = 0;
  while (sample.Fill()) {
    sampled += static_cast<std::uint64_t>(sample.end - sample.pos);
    lineEnds += static_cast<std::uint64_t>(std::count(sample.pos, sample.end, '\n'));
    crs += static_cast<std::uint64_t>(std::count(sample.pos, sample.end, '\r'));
    sample.pos = sample.end;
  }
  lineEnds = std::max(lineEnds, crs);
  const std::uint64_t lines = sampled == 0 ? 0 : bytes / sampled * lineEnds + lineEnds;
  return static_cast<std::size_t>(lines + lines / 32 + 1024);
}

// One part read line by line as the counting pass counts and ReadDataFile reads: a token line
// fills the next row (X, and Y when a second token stands on it); a line of blanks only
// takes no row. Rows past the part's room go to a list of their own.
class NarrowPart {
 public:
  NarrowPart(Tdata* rows, std::size_t room, std::atomic<bool>& stop)
      : rows_(rows), room_(room), stop_(stop) {}

  // False when the part cannot be taken this way, or another part gave up. The state lives in
  // locals: the rows are written as bytes, which could be any object, so members would be
  // read again after every row.
  bool Read(const std::string& path, std::uint64_t begin, std::uint64_t end) {
    FileBytes in(path, begin, end - begin);
    if (!in.IsOpen()) return false;
    std::size_t rows = 0;
    std::int64_t lines = 0, maxTokens = 0;
    int tokens = 0;
    bool atLineStart = true, afterCr = false, fits = true;
    Real x = 0;
    bool xValid = false;
    const auto endLine = [&] {
      ++lines;
      maxTokens = std::max<std::int64_t>(maxTokens, tokens);
      // A line of X alone leaves its row empty; in the room it is empty already.
      if (tokens == 1 && rows >= room_) fits = fits && Spill(rows, Tdata());
      rows += tokens > 0;
      tokens = 0;
      atLineStart = true;
    };
    const char* p = in.pos;
    const char* stop = in.end;
    for (;;) {
      if (stop - p < kDataFileTokenLimit) {
        if (!fits || stop_.load(std::memory_order_relaxed)) return false;
        in.pos = p;
        in.Fill();
        p = in.pos;
        stop = in.end;
        if (p == stop) break;
      }
      if (tokens == 0 && stop - p >= kWrittenLine && WrittenLine(p, rows)) {
        p += kWrittenLine;
        ++lines;
        maxTokens = std::max<std::int64_t>(maxTokens, 2);
        ++rows;
        atLineStart = true;
        afterCr = false;
        continue;
      }
      switch (ClassOf(*p)) {
        case kBlankByte:
          atLineStart = false;
          afterCr = false;
          ++p;
          continue;
        case kCrByte:
          endLine();
          afterCr = true;
          ++p;
          continue;
        case kLfByte:
          if (!afterCr) endLine();
          afterCr = false;
          ++p;
          continue;
        case kTokenByte:
          break;
      }
      if (tokens == 2) return false;
      atLineStart = false;
      afterCr = false;
      Real value = 0;
      const bool valid = TakeCell(p, stop, value);
      if (tokens++ == 0) {
        x = valid ? value : 0;
        xValid = valid;
        continue;
      }
      if (rows < room_) {
        Tdata& row = rows_[rows];
        row.X = x;
        row.Y = valid ? value : 0;
        row.XValid = xValid;
        row.YValid = valid;
      } else if (!Spill(rows, Tdata(x, valid ? value : 0, 0, xValid, valid))) {
        return false;
      }
    }
    if (in.Failed() || !fits) return false;
    if (!atLineStart) endLine();
    count_ = rows;
    lines_ = lines;
    maxTokens_ = maxTokens;
    return fits;
  }

  // The line this program writes, " X  Y" (a blank or "-" before each number) and CR LF, from
  // p on where the buffer holds that many bytes, read straight into row `at` when both numbers
  // take their fast way: what the byte by byte reading would make of it, in one step. False
  // leaves the line to that reading.
  bool WrittenLine(const char* p, std::size_t at) {
    if ((p[0] != ' ' && p[0] != '-') || p[23] != ' ' || (p[24] != ' ' && p[24] != '-') ||
        p[47] != '\r' || p[48] != '\n' || at >= room_) {
      return false;
    }
    Real x = 0, y = 0;
    const WrittenForm xForm = ScanWrittenDigits(p + 1, p[0] == '-', x);
    if (xForm == WrittenForm::Other) return false;
    const WrittenForm yForm = ScanWrittenDigits(p + 25, p[24] == '-', y);
    if (yForm == WrittenForm::Other) return false;
    const bool xValid = xForm == WrittenForm::Value && x < kEmptyThreshold;
    const bool yValid = yForm == WrittenForm::Value && y < kEmptyThreshold;
    Tdata& row = rows_[at];
    row.X = xValid ? x : 0;
    row.Y = yValid ? y : 0;
    row.XValid = xValid;
    row.YValid = yValid;
    return true;
  }

  std::int64_t Lines() const { return lines_; }
  std::int64_t MaxTokens() const { return maxTokens_; }
  std::size_t Rows() const { return count_; }
  std::size_t Room() const { return room_; }
  const std::vector<Tdata>& More() const { return more_; }

 private:
  // Row `at`, past the room.
  bool Spill(std::size_t at, const Tdata& row) {
    if (more_.size() == more_.capacity() &&
        !DataFileRowsFit(static_cast<std::int64_t>(at + more_.size() + 1024), 1)) {
      return false;
    }
    more_.push_back(row);
    return true;
  }

  Tdata* rows_;
  std::size_t room_;
  std::atomic<bool>& stop_;
  std::vector<Tdata> more_;
  std::size_t count_ = 0;
  std::int64_t lines_ = 0;
  std::int64_t maxTokens_ = 0;
};

// The rows of the parts one after the other, `lines` rows in all.
std::vector<Tdata> JoinParts(std::vector<Tdata>& rows, NarrowPart* const (&parts)[2], int count,
                             std::size_t lines) {
  bool inRoom = true;
  std::size_t used = 0;
  for (int k = 0; k < count; ++k) {
    inRoom = inRoom && parts[k]->More().empty();
    used += parts[k]->Rows();
  }
  if (inRoom) {
    if (count == 2) {
      // The second part moves down to the end of the first, and the rows it leaves behind
      // are made empty again.
      const std::size_t first = parts[0]->Rows(), room = parts[0]->Room();
      Tdata* data = rows.data();
      if (parts[1]->Rows() > 0 && first != room) {
        std::memmove(static_cast<void*>(data + first), data + room,
                     parts[1]->Rows() * sizeof(Tdata));
        EmptyRows(data + used, room - first);
      }
    }
    rows.resize(std::max(lines, used));
    return std::move(rows);
  }
  std::vector<Tdata> joined = MakeEmptyRows(std::max(lines, used));
  Tdata* to = joined.data();
  const Tdata* from = rows.data();
  for (int k = 0; k < count; ++k) {
    const std::size_t inPlace = std::min(parts[k]->Rows(), parts[k]->Room());
    to = std::copy(from, from + inPlace, to);
    to = std::copy(parts[k]->More().begin(), parts[k]->More().end(), to);
    from += parts[k]->Room();
  }
  return joined;
}

}  // namespace

std::optional<NarrowFile> ReadNarrowDataFile(const std::string& path, std::uint64_t splitFrom) {
  const auto layout = CutDataFile(path, splitFrom);
  if (!layout) return std::nullopt;
  const int count = layout->parts;
  std::size_t room[2] = {0, 0};
  for (int k = 0; k < count; ++k) room[k] = RoomFor(path, layout->bounds[k], layout->bounds[k + 1]);
  if (!DataFileRowsFit(static_cast<std::int64_t>(room[0] + room[1]), 1)) return std::nullopt;
  try {
    std::vector<Tdata> rows = MakeEmptyRows(room[0] + room[1]);
    std::atomic<bool> stop{false};
    NarrowPart first(rows.data(), room[0], stop), second(rows.data() + room[0], room[1], stop);
    NarrowPart* const parts[2] = {&first, &second};
    bool ok[2] = {true, true};
    RunParts(count, [&](int k) {
      ok[k] = parts[k]->Read(path, layout->bounds[k], layout->bounds[k + 1]);
      if (!ok[k]) stop = true;
    });
    if (!ok[0] || !ok[1]) return std::nullopt;
    NarrowFile file;
    for (int k = 0; k < count; ++k) {
      file.shape.lines += parts[k]->Lines();
      file.shape.maxTokens = std::max(file.shape.maxTokens, parts[k]->MaxTokens());
    }
    // Blank lines take rows of their own at the end, without a probe before.
    if (file.shape.lines > std::numeric_limits<std::int32_t>::max() ||
        (static_cast<std::size_t>(file.shape.lines) > rows.size() &&
         !DataFileRowsFit(file.shape.lines, 1))) {
      return std::nullopt;
    }
    file.rows = JoinParts(rows, parts, count, static_cast<std::size_t>(file.shape.lines));
    return file;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}

}  // namespace tavel
