#include "core/files/data_file.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>

#include "core/files/atomic_file.h"
#include "core/files/csv_file.h"
#include "core/files/data_file_number.h"
#include "core/files/file_bytes.h"
#include "core/files/file_names.h"
#include "core/files/memory_probe.h"
#include "core/series/graph_settings.h"
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
    return result;
  }
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
      const bool xValid = ReadDataFileCell(reader.Token(), x);
      for (Series* s : series) {
        if (reader.AtLineEnd()) break;
        Tdata& row = s->Points[r];
        row.X = xValid ? x : 0;
        row.XValid = xValid;
        Real y = 0;
        row.YValid = ReadDataFileCell(reader.Token(), y);
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
