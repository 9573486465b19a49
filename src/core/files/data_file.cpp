#include "core/files/data_file.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>

#include "core/cells/clipboard_text.h"
#include "core/files/atomic_file.h"
#include "core/files/csv_file.h"
#include "core/files/data_file_number.h"
#include "core/files/file_bytes.h"
#include "core/files/file_names.h"
#include "core/files/memory_probe.h"
#include "core/files/narrow_read.h"
#include "core/series/graph_settings.h"
#include "core/series/run_parts.h"
#include "core/series/scoped_value.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

void WriteDataFile(Series& series, const std::string& path) {
  series.ReadGrid();
  constexpr std::size_t kLine = 2 * kDataFileNumberWidth + 3;
  std::string content(series.Points.size() * kLine, '\0');
  char* p = content.data();
  for (const Tdata& row : series.Points) {
    if (row.XValid) {
      FormatDataFileNumber(row.X, p);
    } else {
      std::memcpy(p, kDataFileEmptyText, kDataFileNumberWidth);
    }
    p += kDataFileNumberWidth;
    *p++ = ' ';
    if (row.YValid) {
      FormatDataFileNumber(row.Y, p);
    } else {
      std::memcpy(p, kDataFileEmptyText, kDataFileNumberWidth);
    }
    p += kDataFileNumberWidth;
    *p++ = '\r';
    *p++ = '\n';
  }
  WriteFileAtomically(path, content);
  series.FileName = path;
  series.CaptionFileName.clear();
  series.FileNameInCaption = true;
  series.MarkSaved();
}

FileDialogOptions SaveDataDialogOptions(const Series& series) {
  FileDialogOptions options;
  options.filters = {{"Data File", "*.prn"}, {"CSV File", "*.csv"}};
  options.filterIndex = 1;
  options.defaultExtension = "prn";
  options.fileName = WithoutExtension(series.FileName);
  return options;
}

SaveResult SaveDataAs(Series& series, Prompts& prompts) {
  SaveAsRequest request;
  request.dialog = SaveDataDialogOptions(series);
  request.ownName = series.FileName;
  return SaveAs(prompts, request, [&series](const std::string& path) {
    if (IsCsvFileName(path)) {
      WriteCsvFile(series, path);
    } else {
      WriteDataFile(series, path);
    }
  });
}

std::string DataFileOpenResult::FailureText(const std::string& path) const {
  if (noNumbers) return "The file " + path + " holds no numbers.";
  if (!outOfMemory) return IncompatibleFormatText(path);
  return "not enough memory to read " + path + (rows > 0 ? ": " + std::to_string(rows) + " rows" : "");
}

bool CreateFileSeries(Workspace& workspace, std::int32_t rows, std::int64_t columns,
                      DataFileOpenResult& result) {
  const auto open = static_cast<std::int64_t>(workspace.DataWindows.size());
  if (open + columns > MaxSeries + 1) {
    columns = MaxSeries - open + 1;
    workspace.prompts().Beep();
    workspace.prompts().ErrorBox(SeriesLimitMessage());
    result.limitReached = true;
  }
  if (columns <= 1) return false;
  result.rows = rows;
  if (!DataFileRowsFit(rows, columns - 1)) {
    result.failed = true;
    result.outOfMemory = true;
    return false;
  }
  try {
    const ScopedValue<std::int32_t> size(workspace.Settings.NextDataSize, rows);
    for (std::int64_t i = 1; i < columns; ++i) result.created.push_back(&workspace.CreateSeries());
  } catch (const std::exception&) {
    // bad_alloc or length_error: the file is refused as a whole, nothing half-made stays open.
    while (!result.created.empty()) {
      workspace.DestroySeries(*result.created.back());
      result.created.pop_back();
    }
    workspace.SortDataWindows();
    result.failed = true;
    result.outOfMemory = true;
    return false;
  }
  workspace.SortDataWindows();
  std::stable_sort(
      result.created.begin(), result.created.end(),
      [](const Series* a, const Series* b) { return a->SeriesNumber < b->SeriesNumber; });
  return true;
}

DataFileOpenResult OpenDataFile(Workspace& workspace, const std::string& path) {
  DataFileOpenResult result;
  if (auto narrow = ReadNarrowDataFile(path)) {
    const auto rows = static_cast<std::int32_t>(narrow->shape.lines);
    if (!CreateFileSeries(workspace, rows, narrow->shape.maxTokens, result)) return result;
    result.created.front()->Points.swap(narrow->rows);
    FinishReading(path, result.created, true);
    return result;
  }
  const auto layout = MeasureDataFile(path);
  if (!layout || layout->shape.lines > std::numeric_limits<std::int32_t>::max()) {
    result.failed = true;
    return result;
  }
  const auto rows = static_cast<std::int32_t>(layout->shape.lines);
  const std::int64_t columns = layout->shape.maxTokens;
  if (!CreateFileSeries(workspace, rows, columns, result)) return result;
  result.failed = !ReadDataFile(path, result.created, rows, *layout);
  return result;
}

namespace {

// Reads the lines of bytes [begin, end) into the rows from `firstRow` on, below `rowLimit`.
// False when the file could not be read.
bool ReadPart(const std::string& path, std::uint64_t begin, std::uint64_t end, std::size_t firstRow,
              std::size_t rowLimit, const std::vector<Series*>& series) {
  FileBytes in(path, begin, end - begin);
  if (!in.IsOpen()) return false;
  TokenReader reader(in);
  for (std::size_t r = firstRow; r < rowLimit && reader.Peek() != -1; ++r) {
    Real x = 0;
    const bool xValid = reader.Cell(x);
    for (Series* s : series) {
      if (reader.AtLineEnd()) break;
      Tdata& row = s->Points[r];
      row.X = xValid ? x : 0;
      row.XValid = xValid;
      Real y = 0;
      row.YValid = reader.Cell(y);
      row.Y = row.YValid ? y : 0;
    }
    reader.SkipLine();
  }
  return !in.Failed();
}

std::size_t RowLimit(const std::vector<Series*>& series, std::int32_t rows) {
  std::size_t rowLimit = rows < 0 ? 0 : static_cast<std::size_t>(rows);
  for (const Series* s : series) rowLimit = std::min(rowLimit, s->Points.size());
  return rowLimit;
}

}  // namespace

bool ReadDataFile(const std::string& path, const std::vector<Series*>& series, std::int32_t rows) {
  const bool ok = ReadPart(path, 0, std::numeric_limits<std::uint64_t>::max(), 0,
                           RowLimit(series, rows), series);
  return FinishReading(path, series, ok);
}

bool ReadDataFile(const std::string& path, const std::vector<Series*>& series, std::int32_t rows,
                  const DataFileLayout& layout) {
  const std::size_t rowLimit = RowLimit(series, rows);
  if (layout.parts != 2) return ReadDataFile(path, series, rows);
  // The first part stops where the second begins, even should the file have changed since it
  // was counted: no row is ever written by both.
  const auto secondRow = static_cast<std::size_t>(std::max<std::int64_t>(layout.firstRow[1], 0));
  bool ok[2] = {false, false};
  RunParts(2, [&](int k) {
    ok[k] = k == 0
                ? ReadPart(path, layout.bounds[0], layout.bounds[1], 0,
                           std::min(rowLimit, secondRow), series)
                : ReadPart(path, layout.bounds[1], layout.bounds[2], secondRow, rowLimit, series);
  });
  return FinishReading(path, series, ok[0] && ok[1]);
}

bool FinishReading(const std::string& path, const std::vector<Series*>& series, bool ok) {
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
