#pragma once

#include <cstdint>
#include <string>

#include "core/platform/prompts.h"
#include "core/series/graph_settings.h"

namespace tavel {

// The Log Scale dialog's two choices, in the order of their items.
enum LogChoice { kLogChoiceX = 0, kLogChoiceY = 1, kLogChoiceBoth = 2, kLogChoiceNone = 3 };
enum LogFormat { kLogFormatExponential = 0, kLogFormatDecimal = 1 };

LogChoice LogChoiceOf(const GraphSettings& settings);
void ApplyLogChoice(GraphSettings& settings, int choice);
LogFormat LogFormatOf(const GraphSettings& settings);
void ApplyLogFormat(GraphSettings& settings, int format);

// The printer's minor-grid colour items 0..3; PrinterOptions adds this for the large font.
constexpr std::int32_t kLargePrinterFont = 4;

// The Preferences dialog's controls as data. A colour item outside 0..3 (a settings file may
// hold any number) selects no item; the dialog then shows none checked.
struct PreferenceFields {
  std::string MaxLenth1;
  std::string BarWidth1;
  std::int32_t ColorItem = 0;
  bool LargeFont = false;
};

// What the dialog shows on opening; LargeFont is also the PrinterFontWasLarge it remembers.
PreferenceFields PreferenceDialogFields(const GraphSettings& settings);

// The OK action. Each number is taken when it parses as a whole integer within its range,
// otherwise it beeps and the setting stays; the other is still taken. A colour item of -1 (none
// chosen) counts as unchanged; should anything else change, it becomes the default colour. True
// when the preferences changed and the settings file is to be written.
bool ApplyPreferenceFields(GraphSettings& settings, const PreferenceFields& fields,
                           bool printerFontWasLarge, Prompts& prompts);

}  // namespace tavel
