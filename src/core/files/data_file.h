#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_file_number.h"
#include "core/files/line_count.h"
#include "core/files/memory_probe.h"
#include "core/files/save_as.h"
#include "core/platform/prompts.h"
#include "core/series/real.h"

namespace tavel {

class Series;
class Workspace;

// ".prn" data files: one row per line, X then one Y per series, numbers in a fixed
// 23-character scientific form (data_file_number.h), lines ended by CR LF.

// Writes every row of the series (ReadGrid first) to path, replacing an existing file only once
// the new one is whole. On success FileName becomes path and the caption names the file; on
// failure both stay as they were and FileWriteError (with the system's error text) is thrown.
void WriteDataFile(Series& series, const std::string& path);

// The options of the "Save Data" dialog for this series.
FileDialogOptions SaveDataDialogOptions(const Series& series);

// "&Save Data" through the save dialog: the series' own FileName writes at once, another
// existing file only after "Yes" to the overwrite question, and "No" opens the dialog again.
// A failed write goes to prompts.ReportError.
SaveResult SaveDataAs(Series& series, Prompts& prompts);

struct DataFileOpenResult {
  // The new series in ascending series number; the last one is the last created.
  std::vector<Series*> created;
  // The series limit cut the file's Y columns (the limit box was shown).
  bool limitReached = false;
  // The file could not be read or is too large: the caller shows IncompatibleFormatText(path)
  // and closes LastCreated(), when there is one, through its normal close.
  bool failed = false;
  // Failed because the rows did not fit in memory; `rows` says how many were asked for, when
  // that was known (0 otherwise).
  bool outOfMemory = false;
  std::int64_t rows = 0;
  // Failed because the file holds no number at all.
  bool noNumbers = false;

  Series* LastCreated() const { return created.empty() ? nullptr : created.back(); }
  // What the caller shows for a failed read: IncompatibleFormatText(path), for memory
  // "not enough memory to read PATH: N rows", for a file without numbers that it has none.
  std::string FailureText(const std::string& path) const;
};

// Opens a data file into new series, one per Y column, with the series limit, and reads it.
// The caller redraws the graph.
DataFileOpenResult OpenDataFile(Workspace& workspace, const std::string& path);

// The new series a file of `columns` columns (X, then one series per column) and `rows` rows
// opens into: the series limit with its box, the memory check, creation in ascending series
// number. False when there is nothing to read into; result.failed tells a refusal.
bool CreateFileSeries(Workspace& workspace, std::int32_t rows, std::int64_t columns,
                      DataFileOpenResult& result);

// The reading pass into the new series (ascending series number), `rows` lines. On success the
// last series takes FileName := path and every series' caption names the file; each series'
// grid is filled from what was read either way. False when the file could not be read.
bool ReadDataFile(const std::string& path, const std::vector<Series*>& series, std::int32_t rows);
// The same, reading the parts of the layout the counting pass found at once (both cores for a
// large file); the rows come out exactly as one reading from the start would leave them.
bool ReadDataFile(const std::string& path, const std::vector<Series*>& series, std::int32_t rows,
                  const DataFileLayout& layout);

// After a file was read into `series`: every series shows what was read; on success each
// caption names the file and the last series takes it as its FileName. Returns ok.
bool FinishReading(const std::string& path, const std::vector<Series*>& series, bool ok);

}  // namespace tavel
