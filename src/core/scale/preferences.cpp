#include "core/scale/preferences.h"

#include <optional>

#include "core/series/number_text.h"

namespace tavel {

LogChoice LogChoiceOf(const GraphSettings& s) {
  if (s.LogX && s.LogY) return kLogChoiceBoth;
  if (s.LogX) return kLogChoiceX;
  if (s.LogY) return kLogChoiceY;
  return kLogChoiceNone;
}

void ApplyLogChoice(GraphSettings& s, int choice) {
  s.LogX = choice == kLogChoiceX || choice == kLogChoiceBoth;
  s.LogY = choice == kLogChoiceY || choice == kLogChoiceBoth;
}

LogFormat LogFormatOf(const GraphSettings& s) {
  return s.LogExponential ? kLogFormatExponential : kLogFormatDecimal;
}

void ApplyLogFormat(GraphSettings& s, int format) {
  s.LogExponential = format == kLogFormatExponential;
}

PreferenceFields PreferenceDialogFields(const GraphSettings& s) {
  PreferenceFields f;
  f.MaxLenth1 = std::to_string(s.MaxDataIndex);
  f.BarWidth1 = std::to_string(s.BarWidth);
  f.LargeFont = s.PrinterOptions >= kLargePrinterFont;
  f.ColorItem = f.LargeFont ? s.PrinterOptions - kLargePrinterFont : s.PrinterOptions;
  return f;
}

namespace {

// Unlike the grid fields, an empty text is no number here.
void ReadInto(const std::string& text, std::int32_t limit, std::int32_t& setting,
              Prompts& prompts) {
  const auto value = ParseInteger(NormalizeDecimalPoint(text));
  if (!value || *value < 1 || *value > limit) {
    prompts.Beep();
    return;
  }
  setting = *value;
}

}  // namespace

bool ApplyPreferenceFields(GraphSettings& s, const PreferenceFields& f, bool printerFontWasLarge,
                           Prompts& prompts) {
  const std::int32_t maxDataIndex = s.MaxDataIndex;
  const std::int32_t barWidth = s.BarWidth;
  const std::int32_t colorItem = s.PrinterOptions >= kLargePrinterFont
                                     ? s.PrinterOptions - kLargePrinterFont
                                     : s.PrinterOptions;
  ReadInto(f.MaxLenth1, MaxDataIndexLimit, s.MaxDataIndex, prompts);
  ReadInto(f.BarWidth1, BarWidthLimit, s.BarWidth, prompts);
  const std::int32_t chosenColor = f.ColorItem < 0 ? colorItem : f.ColorItem;
  if (s.MaxDataIndex == maxDataIndex && s.BarWidth == barWidth && chosenColor == colorItem &&
      f.LargeFont == printerFontWasLarge) {
    return false;
  }
  // A number no item stands for draws as the default colour; it is not carried into a new
  // value, where it would read back as another font.
  const std::int32_t colour = chosenColor >= 0 && chosenColor < kLargePrinterFont ? chosenColor : 0;
  s.PrinterOptions = colour + (f.LargeFont ? kLargePrinterFont : 0);
  return true;
}

}  // namespace tavel
