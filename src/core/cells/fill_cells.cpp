#include "core/cells/fill_cells.h"

#include <cmath>
#include <utility>

#include "core/series/number_text.h"
#include "core/series/series.h"

namespace tavel {

namespace {

FillOutcome Refuse(FillField field, std::string_view text) {
  FillOutcome outcome;
  outcome.errorField = field;
  outcome.errorText = text;
  return outcome;
}

FillOutcome Validate(const FillTexts& texts, std::int32_t maxIndex, std::int32_t& a,
                     std::int32_t& b, Real& v, Real& d) {
  const auto start = ParseInteger(texts.startIndex);
  if (!start) return Refuse(FillField::StartIndex, kEnterIntegerText);
  const auto stop = ParseInteger(texts.stopIndex);
  if (!stop) return Refuse(FillField::StopIndex, kEnterIntegerText);
  // Values are read as written: this field takes no decimal comma.
  const auto value = ParseNumber(texts.startValue);
  if (!value) return Refuse(FillField::StartValue, kEnterValueText);
  const auto step = ParseNumber(texts.stepValue);
  if (!step) return Refuse(FillField::StepValue, kEnterValueText);
  if (*start > maxIndex) return Refuse(FillField::StartIndex, kTooLargeText);
  a = *start;
  b = *stop;
  v = *value;
  d = *step;
  return {};
}

}  // namespace

void FillDefaultTexts(FillTexts& texts, std::int32_t maxIndex) {
  const auto fill = [](std::string& text, std::string value) {
    if (text.empty()) text = std::move(value);
  };
  fill(texts.startIndex, "1");
  fill(texts.stopIndex, std::to_string(maxIndex));
  fill(texts.startValue, "1");
  fill(texts.stepValue, "1");
}

FillOutcome FillCells(Series& series, int column, const FillTexts& texts) {
  std::int32_t a = 0, b = 0;
  Real v = 0, d = 0;
  FillOutcome outcome = Validate(texts, series.MaxIndex, a, b, v, d);
  // A refused fill changes nothing, the fit and its graph type included.
  if (outcome.errorField != FillField::None) return outcome;
  {
    if (a <= 0) a = 1;
    if (b < a) b = a;
    if (b > series.MaxIndex) b = series.MaxIndex;
    outcome.first = a;
    outcome.last = a - 1;
    for (std::int32_t row = a; row <= b; ++row) {
      if (!std::isfinite(v)) {
        outcome.overflow = true;
        break;
      }
      series.Cells.SetNumber(row, column, v);
      outcome.last = row;
      // Repeated addition, not start + k * step: the drift of the sums is what the user sees.
      v += d;
    }
  }
  series.ClearFit();
  if (series.GridChanged) series.GridChanged();
  return outcome;
}

}  // namespace tavel
