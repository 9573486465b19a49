#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavel {

// `tavel --fit KIND INPUT` and `tavel --fit INPUT.gra`: args are the words after "--fit".
// Prints the fit of every series of the file to out and returns the exit status: 0 when every
// fit stood, 1 when a fit was refused, 2 (with one line on err) for a wrong command line or a
// file that cannot be read or holds no series. Needs no display: nothing of Qt is touched.
int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `tavel --fit-model FORMULA [--start NAME=VALUE,...] INPUT`: fits the model to every series
// of the file and prints, per series, "Series #N", "NAME = VALUE +- STDERR" for each parameter,
// "RSS = VALUE" and "R^2 = VALUE", all to 17 significant digits; a refused fit prints
// "Fit refused: " and why. The statuses of RunFitCommand.
int RunFitModelCommand(const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err);

// A fit kind as typed on the command line: "1".."8" exactly.
std::optional<std::int32_t> ParseFitKind(std::string_view text);

// The command line fit: opens the data or graph file (by its name, as "&Open" does) at path
// into a workspace of its own (no windows, beeps ignored), fits every series with the kind and
// writes each report to out. Returns 0 when every fit stood, 1 when one was refused and 2,
// with one line on err, when the kind is not 1..8 or the file gives no series.
int FitDataFile(std::string_view kindText, const std::string& path, std::ostream& out,
                std::ostream& err);

// The fits a graph file holds: for each series in ascending number the report of its fit as
// the load ran it again, or "Series #N" and "No fit" when none was stored active. The same
// statuses as FitDataFile.
int ReportGraphFileFits(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace tavel
