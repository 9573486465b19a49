#include "core/cells/clipboard_text.h"

#include <algorithm>
#include <limits>

#include "core/files/memory_probe.h"
#include "core/platform/clipboard.h"
#include "core/platform/prompts.h"
#include "core/series/scoped_value.h"
#include "core/series/graph_settings.h"
#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

void Notify(Series& series) {
  if (series.GridChanged) series.GridChanged();
}

bool BeginsNumber(char c) {
  return c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9');
}

bool InNumber(char c) {
  return BeginsNumber(c) || c == 'E' || c == 'e';
}

// The text a paste reads line by line. Besides the CR of CR LF a lone LF also ends a line:
// that is how text copied from other programs on this platform ends its lines.
class PasteReader {
 public:
  explicit PasteReader(std::string_view text)
      : text_(text.substr(0, std::min(text.size(), kPasteLimit))) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  bool AtLineEnd() const {
    if (AtEnd()) return false;
    const char c = text_[pos_];
    return c == '\r' || (c == '\n' && (pos_ == 0 || text_[pos_ - 1] != '\r'));
  }
  void StepPastLineEnd() { ++pos_; }

  // Up to the next character that can begin a number, a line end or the end.
  void SkipToNumber() {
    while (!AtEnd() && !AtLineEnd() && !BeginsNumber(text_[pos_])) ++pos_;
  }
  std::string_view Token() {
    const std::size_t first = pos_;
    while (!AtEnd() && InNumber(text_[pos_])) ++pos_;
    return text_.substr(first, pos_ - first);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string CopyText(const CellGrid& cells, CellRect rect) {
  rect = ClipToGrid(cells, rect);
  std::string text;
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    for (int column = rect.left; column <= rect.right; ++column) {
      if (column > rect.left) text += '\t';
      text += cells.Text(row, column);
    }
    if (rect.left <= rect.right) text += "\r\n";
  }
  return text;
}

std::string CutCells(Series& series, CellRect rect) {
  rect = ClipToGrid(series.Cells, rect);
  std::string text = CopyText(series.Cells, rect);
  for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
    for (int column = rect.left; column <= rect.right; ++column) series.Cells.Clear(row, column);
  }
  if (series.FitActive) series.ClearFit();
  series.ReadGrid();
  Notify(series);
  return text;
}

namespace {

// Walks the text as a paste reads it, from the start cell's row on, and hands every number to
// `put` with its row and column; the walk ends at the text's end or once it would pass lastRow.
template <class Put>
void WalkPaste(std::string_view text, GridCell start, std::int64_t lastRow, Put put) {
  const int c0 = start.column;
  std::int64_t r = start.row;
  int k = c0;
  int j = c0;
  PasteReader reader(text);
  reader.SkipToNumber();
  for (;;) {
    const std::string_view token = reader.Token();
    if (k < kFitColumn) {
      if (const auto value = ParseNumber(NormalizeDecimalPoint(token))) put(r, j, *value);
    }
    if (j < kYColumn) ++j;
    ++k;
    reader.SkipToNumber();
    if (reader.AtLineEnd()) {
      k = c0;
      j = c0;
      ++r;
      reader.StepPastLineEnd();
      if (r > lastRow) break;
    } else if (reader.AtEnd()) {
      break;
    }
    reader.SkipToNumber();
  }
}

}  // namespace

std::int64_t PasteRowLimit(const Series& target) {
  return std::min<std::int64_t>(std::numeric_limits<std::int32_t>::max(),
                                std::int64_t{target.MaxIndex} + RowsThatFit());
}

void PasteCells(Series& target, std::string_view text, GridCell start,
                std::optional<std::int64_t> rowLimit) {
  const int c0 = start.column;
  if (start.row < 1 || start.row > target.Cells.RowCount() || c0 < kXColumn || c0 > kFitColumn) {
    return;
  }
  // The window grows to hold every pasted row, as opening a file sizes it to the file.
  std::int64_t lastRow = 0;
  WalkPaste(text, start, std::numeric_limits<std::int64_t>::max(),
            [&](std::int64_t row, int, Real) { lastRow = row; });
  const std::int64_t limit = rowLimit ? *rowLimit : PasteRowLimit(target);
  if (lastRow > target.MaxIndex && target.MaxIndex < limit) {
    target.SetMaxIndex(static_cast<std::int32_t>(std::min(lastRow, limit)));
  }
  bool wrote = false;
  WalkPaste(text, start, std::min<std::int64_t>(target.MaxIndex, target.Cells.RowCount()),
            [&](std::int64_t row, int column, Real value) {
              const auto r = static_cast<std::int32_t>(row);
              target.CellValue = value;
              target.Cells.SetNumber(r, column, value);
              ApplyFitRule(target, r, column, value);
              wrote = true;
            });
  if (wrote) Notify(target);
  if (lastRow > target.MaxIndex) {
    Prompts& prompts = target.Owner().prompts();
    prompts.Beep();
    const std::int64_t lost = lastRow - target.MaxIndex;
    prompts.ErrorBox(std::to_string(lost) + (lost == 1 ? " row was" : " rows were") +
                     " not pasted: the data window cannot hold more than " +
                     std::to_string(target.MaxIndex) + " rows.");
  }
}

std::string SeriesLimitMessage() {
  return "Sorry the number of series is LIMITED to " + std::to_string(MaxSeries) + ".";
}

Series* DuplicateSeries(Series& source, Clipboard& clipboard) {
  const CellRect xy{kXColumn, 1, kYColumn, source.MaxIndex};
  clipboard.SetText(CopyText(source.Cells, xy));

  Workspace& workspace = source.Owner();
  if (workspace.SeriesLimitReached()) {
    workspace.prompts().Beep();
    workspace.prompts().ErrorBox(SeriesLimitMessage());
    return nullptr;
  }
  Series& copy = [&]() -> Series& {
    // Put back also when the copy cannot be made (a very large series may not fit).
    const ScopedValue<std::int32_t> size(workspace.Settings.NextDataSize, source.MaxIndex);
    return workspace.CreateSeries();
  }();
  workspace.SortDataWindows();

  // Cell for cell, so a row with only a Y keeps it in Y; numbers keep their full value.
  const std::int32_t rows = std::min(source.Cells.RowCount(), copy.Cells.RowCount());
  for (std::int32_t row = 1; row <= rows; ++row) {
    for (int column : {kXColumn, kYColumn}) {
      switch (source.Cells.StateOf(row, column)) {
        case CellGrid::State::Empty:
          break;
        case CellGrid::State::Number:
          copy.Cells.SetNumber(row, column, source.Cells.Number(row, column));
          break;
        case CellGrid::State::Text:
          // An edit still open in the source: only a number is carried over.
          if (const auto value =
                  ParseNumber(NormalizeDecimalPoint(source.Cells.Text(row, column)))) {
            copy.Cells.SetNumber(row, column, *value);
          }
          break;
      }
    }
  }
  copy.MarkUnsaved();
  Notify(copy);
  return &copy;
}

}  // namespace tavel
