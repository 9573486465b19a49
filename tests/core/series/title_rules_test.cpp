#include "core/series/title_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"

namespace tavel {
namespace {

std::vector<std::string> Titles(const Workspace& ws) {
  std::vector<std::string> titles;
  for (const Series* s : ws.DataWindows) titles.push_back(s->SeriesTitle);
  return titles;
}

TEST(AutoLabelTest, EachButtonWithTheActiveSeries) {
  const struct {
    AutoLabel kind;
    std::int32_t active;
    const char* text;
    std::optional<std::string> edit;  // nothing: refused
    std::vector<std::string> titles;
  } cases[] = {
      {AutoLabel::TextWithNumbers, 3, "Run #3", std::nullopt, {"old", "old", "old"}},
      {AutoLabel::TextOnly, 3, "Run #3", std::nullopt, {"old", "old", "old"}},
      {AutoLabel::TextWithNumbers,
       4,
       "Run #3",
       "Run #3 #4",
       {"Run #3 #2", "Run #3 #3", "Run #3 #4"}},
      {AutoLabel::TextOnly, 4, "Run #3", "Run #3", {"Run #3", "Run #3", "Run #3"}},
      {AutoLabel::TextWithNumbers, 4, "", std::nullopt, {"old", "old", "old"}},
      {AutoLabel::TextOnly, 4, "", std::nullopt, {"old", "old", "old"}},
      {AutoLabel::TextWithNumbers, 4, "4", "4 #4", {"4 #2", "4 #3", "4 #4"}},
      {AutoLabel::SeriesNumbers, 3, "", "Series #3", {"Series #2", "Series #3", "Series #4"}},
      {AutoLabel::Clear, 3, "x", "", {"", "", ""}},
  };
  for (const auto& c : cases) {
    testing::ScriptedPrompts prompts;
    Workspace ws{prompts};
    testing::AddSeries(ws, {{1, 1}});
    for (int i = 0; i < 3; ++i) testing::AddSeries(ws, {{1, 1}});
    ws.DestroySeries(*ws.FindSeries(1));
    for (Series* s : ws.DataWindows) s->SeriesTitle = "old";
    SCOPED_TRACE(std::string(c.text) + " with series " + std::to_string(c.active));
    EXPECT_EQ(AutoLabelSeries(ws, c.active, c.text, c.kind), c.edit);
    EXPECT_EQ(Titles(ws), c.titles);
  }
}

TEST(FloatPositionTest, TypedTextAsThePositionOrARefusal) {
  const struct {
    const char* text;
    Real value;
    bool refused;
  } cases[] = {{"1,5", 1.5L, false}, {"abc", 7, true},       {"12 ", 12, false},
               {"", 0, false},       {"   ", 0, false},      {"  2.5E3", 2500, false},
               {"1.5.2", 7, true},   {"-.25", -0.25L, false}};
  for (const auto& c : cases) {
    bool refused = false;
    EXPECT_EQ(ReadFloatPosition(c.text, 7, &refused), c.value) << c.text;
    EXPECT_EQ(refused, c.refused) << c.text;
  }
}

}  // namespace
}  // namespace tavel
