#pragma once

#include "core/fit/model_fit.h"

namespace tavel {

class Series;

// How well the series' fit (kinds 1..8, as its last RunFit left it) is determined,
// from the complete points of its grid: each coefficient's standard error, t value and 95 %
// interval, the residual sum of squares and standard deviation, the degrees of freedom and
// R^2 (the fit's own) with its adjusted value. The power, exponential and natural-log laws are
// fitted as straight lines in ln X or ln Y, and so are their measures; the A of the power and
// exponential laws (e to the line's intercept) takes its interval through the same e.
// For a model of the user's own, what its fit found. Nothing (ok false) when the series has
// no standing fit.
ModelFitResult FitUncertainties(const Series& series);

}  // namespace tavel
