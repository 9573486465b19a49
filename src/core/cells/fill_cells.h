#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavel {

class Series;

// The texts of the fill dialog's four edits.
struct FillTexts {
  std::string startIndex;
  std::string stopIndex;
  std::string startValue;
  std::string stepValue;
};

// Puts the defaults into the edits that are empty: "1", the series' MaxIndex, "1", "1". Edits
// the user filled keep their text.
void FillDefaultTexts(FillTexts& texts, std::int32_t maxIndex);

enum class FillField { None, StartIndex, StopIndex, StartValue, StepValue };

inline constexpr std::string_view kEnterIntegerText = "Enter integer";
inline constexpr std::string_view kEnterValueText = "Enter value";
inline constexpr std::string_view kTooLargeText = "Too Large";

struct FillOutcome {
  // The first edit that failed, and the text that replaces its content; the dialog beeps.
  FillField errorField = FillField::None;
  std::string errorText;
  // The rows written, first..last (none when last < first).
  std::int32_t first = 1;
  std::int32_t last = 0;
  // The progression left the extended range: the rows from there on were not written.
  bool overflow = false;
};

// Operate: validates the edits in order, clamps the rows to the grid and writes start, start +
// step, ... by repeated addition into the rows of the column (kXColumn or kYColumn), and clears
// the series' fit. When an edit is refused nothing changes; redrawing is the caller's.
FillOutcome FillCells(Series& series, int column, const FillTexts& texts);

}  // namespace tavel
