#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/prompts.h"
#include "core/series/real.h"

namespace tavel {

class Series;
class Workspace;

// ".prn" data files: one row per line, X then one Y per series, numbers in a fixed
// 23-character scientific form, lines ended by CR LF.

constexpr int kDataFileNumberWidth = 23;
// A longer token is cut here and its rest read as the next token.
constexpr int kDataFileTokenLimit = 64;

// The written form of a value: a blank or "-", one digit, ".", 14 digits, "E", the exponent's
// sign and four exponent digits, rounded to 15 significant digits as printf rounds them.
// A value that is not finite is written as EmptyValue.
std::string FormatDataFileNumber(Real value);
// The same into out[0..22]; no terminating zero.
void FormatDataFileNumber(Real value, char* out);

// A token of a data file as a number. Accepts exactly the texts ParseNumber accepts and gives
// the same value (a value in the subnormal range, too small for ParseNumber, reads as 0); the
// usual texts take a fast path that never reaches the library converter.
std::optional<Real> ParseDataFileNumber(std::string_view token);

// Writes every row of the series (ReadGrid first) to path, replacing an existing file only once
// the new one is whole. On success FileName becomes path and the caption names the file; on
// failure both stay as they were and FileWriteError (with the system's error text) is thrown.
void WriteDataFile(Series& series, const std::string& path);

enum class SaveDataResult { Saved, Cancelled, Failed };

// The options of the "Save Data" dialog for this series.
FileDialogOptions SaveDataDialogOptions(const Series& series);

// The save dialog loop: choosing the series' own FileName or a new name writes at once, another
// existing file is written only after "Yes" to the overwrite question, and "No" opens the
// dialog again. A failed write goes to prompts.ReportError.
SaveDataResult SaveDataAs(Series& series, Prompts& prompts);

// The counting pass: lines (a last line without a line end counts) and the most tokens on one
// line. CR LF, a lone CR and a lone LF each end a line.
struct DataFileShape {
  std::int64_t lines = 0;
  std::int64_t maxTokens = 0;
};
std::optional<DataFileShape> CountDataFile(const std::string& path);

// Whether `series` new series of `rows` rows each fit in the memory the machine has free.
bool DataFileRowsFit(std::int64_t rows, std::int64_t series);

struct DataFileOpenResult {
  // The new series in ascending series number; the last one is the last created.
  std::vector<Series*> created;
  // The series limit cut the file's Y columns (the limit box was shown).
  bool limitReached = false;
  // The file could not be read or is too large: the caller shows IncompatibleFormatText(path)
  // and closes LastCreated(), when there is one, through its normal close.
  bool failed = false;

  Series* LastCreated() const { return created.empty() ? nullptr : created.back(); }
};

// Opens a data file into new series, one per Y column, with the series limit, and reads it.
// The caller redraws the graph.
DataFileOpenResult OpenDataFile(Workspace& workspace, const std::string& path);

// The reading pass into the new series (ascending series number), `rows` lines. On success the
// last series takes FileName := path and every series' caption names the file; each series'
// grid is filled from what was read either way. False when the file could not be read.
bool ReadDataFile(const std::string& path, const std::vector<Series*>& series, std::int32_t rows);

}  // namespace tavel
