#include "core/scale/preferences.h"

#include <gtest/gtest.h>

#include "support/scripted_prompts.h"

namespace tavel {
namespace {

struct NumberCase {
  const char* maxDataIndex;
  const char* barWidth;
  std::int32_t expectedIndex, expectedWidth;
  int beeps;
};

TEST(PreferencesTest, NumbersOutOfRangeOrUnparsableBeepAndKeepTheirSetting) {
  const NumberCase cases[] = {
      {"0", "3", 50, 3, 1},         {"10001", "3", 50, 3, 1},      {"", "3", 50, 3, 1},
      {"10000", "11", 10000, 5, 1}, {"10000", "10", 10000, 10, 0}, {" +$1F", "1", 31, 1, 0},
      {"2,5", "", 50, 5, 2},        {"-7", "0", 50, 5, 2},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(std::string(c.maxDataIndex) + " / " + c.barWidth);
    testing::ScriptedPrompts prompts;
    GraphSettings s;
    s.MaxDataIndex = 50;
    s.BarWidth = 5;
    PreferenceFields f = PreferenceDialogFields(s);
    f.MaxLenth1 = c.maxDataIndex;
    f.BarWidth1 = c.barWidth;
    const bool changed = ApplyPreferenceFields(s, f, false, prompts);
    EXPECT_EQ(s.MaxDataIndex, c.expectedIndex);
    EXPECT_EQ(s.BarWidth, c.expectedWidth);
    EXPECT_EQ(prompts.beeps, c.beeps);
    EXPECT_EQ(changed, c.expectedIndex != 50 || c.expectedWidth != 5);
  }
}

TEST(PreferencesTest, PrinterItemsFoldIntoPrinterOptionsAndOnlyAChangeIsWritten) {
  const struct {
    std::int32_t options;  // before
    std::int32_t colorItem;
    bool large;
    bool changed;
    std::int32_t after;
  } cases[] = {
      {2, 2, false, false, 2},  // nothing changed: nothing to write
      {2, 2, true, true, 6},    // only the font
      {6, 2, false, true, 2},   // only the font, back
      {6, 3, true, true, 7},    // only the colour
      {9, -1, true, false, 9},  // an odd value no item shows stays until an item is chosen
      {9, -1, false, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    testing::ScriptedPrompts prompts;
    GraphSettings s;
    s.PrinterOptions = c.options;
    PreferenceFields f = PreferenceDialogFields(s);
    const bool wasLarge = f.LargeFont;
    f.ColorItem = c.colorItem;
    f.LargeFont = c.large;
    EXPECT_EQ(ApplyPreferenceFields(s, f, wasLarge, prompts), c.changed);
    EXPECT_EQ(s.PrinterOptions, c.after);
    EXPECT_EQ(prompts.beeps, 0);
  }
}

}  // namespace
}  // namespace tavel
