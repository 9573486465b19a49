#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/data_file.h"

namespace tavel {

class Series;
class Workspace;

// Comma- and tab-separated files as spreadsheets, instruments and scripts write them: X in the
// first column, one series per further column, an optional first line of column names.

// How the file is written, found from its first lines.
struct CsvDialect {
  char separator = ',';    // ',', ';' or '\t'
  char decimalMark = '.';  // ',' only where the separator is ';' or a tab
};
CsvDialect DetectCsvDialect(std::string_view head);

struct CsvOpenResult : DataFileOpenResult {
  // Cells that held something other than a number; they are left empty.
  std::int64_t cellsNotNumbers = 0;
  // Plain text only: lines that held no number (after the names), and lines with fewer
  // columns than the widest of their block, each with the first one's line number.
  std::int64_t skippedLines = 0, firstSkippedLine = 0;
  std::int64_t unevenLines = 0, firstUnevenLine = 0;
};

// Opens a CSV or TSV file into new series, one per Y column, with the series limit, as
// OpenDataFile opens a data file: a first line of names gives the series titles, quoted fields
// may hold separators and line breaks, a byte-order mark is skipped, ragged rows leave the
// missing cells empty. The caller reports cellsNotNumbers once (CsvNotNumbersText).
CsvOpenResult OpenCsvFile(Workspace& workspace, const std::string& path);

// A data file by its name: ".csv" and ".tsv" by OpenCsvFile, ".prn" by OpenDataFile (with no
// cells counted), any other name by OpenPlainDataFile.
CsvOpenResult OpenDataFileByName(Workspace& workspace, const std::string& path);

// "N cells of FILE held no number and were left empty."
std::string CsvNotNumbersText(const std::string& path, std::int64_t cells);

// Whether a name asks for CSV: ".csv" or ".tsv" in any case.
bool IsCsvFileName(const std::string& path);

// Writes the series as CSV: a header line of the series title (or "X", "Y"), then X and Y of
// every row that holds either, with 17 significant digits and a point; empty cells stay empty.
// Through the safe replace; FileName becomes path on success. Throws FileWriteError.
void WriteCsvFile(Series& series, const std::string& path);

}  // namespace tavel
