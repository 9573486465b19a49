#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "core/fit/fit_engine.h"
#include "core/series/fit_result.h"
#include "core/series/real.h"

namespace tavel {

class Series;
class Workspace;

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

// "Y   = " and the model's formula, the equation line of a model of the user's own.
std::string ModelEquationLine(const UserModel& model);
// A value to `digits` significant digits, printf's "%.*g".
std::string Digits(double value, int digits = 17);

// The report of the series' last fit, one line each, '\n' after every line:
//   Series #N / the equation line / "A   = value" per coefficient / "R^2 = value"
// (for a model of the user's own: "NAME = value +- error" per parameter, "RSS = ", "R^2 = ")
// or, when the fit was refused, "Series #N" and "Fit refused: " with the reason.
std::string FitReport(const Series& series);

// "Fit Report": for every series with a standing fit, its law, each coefficient to 17
// significant digits with its standard error, t value and 95 % interval, R^2 and adjusted R^2,
// the residual sum of squares, standard deviation and degrees of freedom, and how it was
// solved. "No series has a fit." when none has.
std::string FullFitReport(const Workspace& workspace);

}  // namespace tavel
