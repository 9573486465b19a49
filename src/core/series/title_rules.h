#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/series/real.h"

namespace tavel {

class Workspace;

// The series title dialog's "Auto Label All" buttons.
enum class AutoLabel {
  SeriesNumbers,    // "Series + ##": "Series #" and each series' own number
  TextWithNumbers,  // "\"Text\" + ##": the text, " #" and each series' own number
  TextOnly,         // "\"Text \" only": the text unchanged
  Clear,            // every title empty
};

// Gives every series a title from the text of the active series' edit, `activeNumber` being
// that series' number. Returns the edit's new text, or nothing when the button is refused
// (the caller beeps): the two text buttons refuse an empty text, and a text that already ends
// with "#" and the active series' number, which would number the titles twice.
std::optional<std::string> AutoLabelSeries(Workspace& workspace, std::int32_t activeNumber,
                                           const std::string& text, AutoLabel kind);

// A floating title position as typed: a decimal comma is accepted like everywhere else, an
// empty (or blank) field is 0, and text that is not a number keeps the old position (the
// caller beeps when `refused` comes back set).
Real ReadFloatPosition(std::string_view text, Real old, bool* refused);

}  // namespace tavel
