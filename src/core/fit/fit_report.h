#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "core/fit/fit_engine.h"
#include "core/series/real.h"

namespace tavel {

class Series;

// The texts of a fit as the data printout and the command line give them.

// "Y   = A + B*X" and its kin for kinds 1..8; empty for any other kind.
std::string FitEquationLine(std::int32_t kind);
// The coefficients a kind prints: kind + 1 for the polynomials, 2 for kinds 6..8, else 0.
int FitCoefficientCount(std::int32_t kind);
// 'A'..'F' for coefficient 0..5; anything beyond prints as 'F', as the printout always did.
char FitCoefficientName(int index);
// A value with every digit the extended type holds: printf's "%.21Lg".
std::string FullPrecision(Real value);
// Why a fit of `kind` on `pointCount` complete points was refused, without the "Fit refused: ".
std::string FitRefusalText(FitRefusal reason, std::int32_t kind, std::int32_t pointCount);

// The report of the series' last fit, one line each, '\n' after every line:
//   Series #N / the equation line / "A   = value" per coefficient / "R^2 = value"
// or, when the fit was refused, "Series #N" and "Fit refused: " with the reason.
std::string FitReport(const Series& series);

// A fit kind as typed on the command line: "1".."8" exactly.
std::optional<std::int32_t> ParseFitKind(std::string_view text);

// The command line fit: opens the data file at path into a workspace of its own (no windows,
// beeps ignored), fits every series with the kind and writes each report to out. Returns 0
// when every fit stood, 1 when one was refused and 2, with one line on err, when the kind is
// not 1..8 or the file gives no series.
int FitDataFile(std::string_view kindText, const std::string& path, std::ostream& out,
                std::ostream& err);

}  // namespace tavel
