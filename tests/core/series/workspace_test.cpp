#include "core/series/workspace.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/scripted_prompts.h"

namespace tavel {
namespace {

std::vector<std::int32_t> Numbers(const Workspace& ws) {
  std::vector<std::int32_t> numbers;
  for (const Series* s : ws.DataWindows) numbers.push_back(s->SeriesNumber);
  return numbers;
}

class Recorder : public WorkspaceObserver {
 public:
  std::vector<std::int32_t> created, destroyed;
  void SeriesCreated(Series& s) override { created.push_back(s.SeriesNumber); }
  void SeriesDestroyed(Series& s) override { destroyed.push_back(s.SeriesNumber); }
};

TEST(Workspace, NumbersAreReusedLowestFirstAndOrderKept) {
  testing::ScriptedPrompts prompts;
  Workspace ws(prompts);
  Recorder recorder;
  ws.SetObserver(&recorder);
  ws.Settings.NextDataSize = 10;
  ws.CreateSeries();
  Series& second = ws.CreateSeries();
  ws.CreateSeries();
  ws.DestroySeries(second);
  EXPECT_EQ(Numbers(ws), (std::vector<std::int32_t>{1, 3}));
  ws.CreateSeries();
  EXPECT_EQ(Numbers(ws), (std::vector<std::int32_t>{1, 3, 2}));
  ws.SortDataWindows();
  EXPECT_EQ(Numbers(ws), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(recorder.created, (std::vector<std::int32_t>{1, 2, 3, 2}));
  EXPECT_EQ(recorder.destroyed, (std::vector<std::int32_t>{2}));
  EXPECT_EQ(ws.FindSeries(3), ws.DataWindows[2]);
  EXPECT_EQ(ws.FindSeries(4), nullptr);
}

TEST(Workspace, NoFreeNumberBeepsAndGives7777) {
  testing::ScriptedPrompts prompts;
  Workspace ws(prompts);
  for (int i = 0; i < MaxSeries; ++i) ws.CreateSeries();
  EXPECT_TRUE(ws.SeriesLimitReached());
  EXPECT_EQ(prompts.beeps, 0);
  EXPECT_EQ(ws.AllocateSeriesNumber(), kNoSeriesNumber);
  EXPECT_EQ(prompts.beeps, 1);
  ws.DestroyAllSeries();
  EXPECT_TRUE(ws.DataWindows.empty());
  EXPECT_EQ(ws.AllocateSeriesNumber(), 1);
}

TEST(Workspace, SeriesThatDoesNotFitInMemoryLeavesItsNumberFree) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer ends the process instead of throwing bad_alloc";
#endif
  testing::ScriptedPrompts prompts;
  Workspace ws(prompts);
  ws.Settings.NextDataSize = INT32_MAX;
  EXPECT_ANY_THROW(ws.CreateSeries());
  EXPECT_TRUE(ws.DataWindows.empty());
  EXPECT_FALSE(ws.SeriesNumberUsed[1]);
}

TEST(Workspace, GivenNumberIsTakenOnceAndMarked) {
  testing::ScriptedPrompts prompts;
  Workspace ws(prompts);
  ws.UseGivenSeriesNumber = true;
  ws.GivenSeriesNumber = 5;
  EXPECT_EQ(ws.CreateSeries().SeriesNumber, 5);
  EXPECT_FALSE(ws.UseGivenSeriesNumber);
  EXPECT_TRUE(ws.SeriesNumberUsed[5]);
  EXPECT_EQ(ws.CreateSeries().SeriesNumber, 1);
}

TEST(Workspace, NextUsedNumberWrapsToTheLowestAndNeverLoops) {
  testing::ScriptedPrompts prompts;
  Workspace ws(prompts);
  EXPECT_EQ(ws.NextUsedSeriesNumber(3), 0);
  for (const std::int32_t n : {2, 5, 9}) ws.SeriesNumberUsed[static_cast<std::size_t>(n)] = true;
  EXPECT_EQ(ws.NextUsedSeriesNumber(9), 2);
  EXPECT_EQ(ws.NextUsedSeriesNumber(2), 5);
  EXPECT_EQ(ws.LowestUsedSeriesNumber(), 2);
  ws.SeriesNumberUsed = {};
  ws.SeriesNumberUsed[7] = true;
  EXPECT_EQ(ws.NextUsedSeriesNumber(7), 7);
  ws.SeriesNumberUsed[MaxSeries] = true;
  EXPECT_EQ(ws.NextUsedSeriesNumber(MaxSeries), 7);
}

TEST(GraphSettings, ResetLeavesPreferencesAndCalculator) {
  GraphSettings s;
  s.MaxDataIndex = 500;
  s.BarWidth = 7;
  s.PrinterOptions = 6;
  s.LogExponential = false;
  s.CalcX = 3.5L;
  s.XScaleMax = 9;
  s.YRScaleMin = -9;
  s.MultiScaleYL = false;
  s.LogX = s.LogY = true;
  s.XMajorGrid = 5;
  s.YRTicks = 4;
  s.XDecimals = 0;
  s.MainTitles[1] = "Main";
  s.RightYTitle = "R";
  s.FloatTitleText[10] = "F";
  s.FloatTitleX[10] = 1;
  s.ResetGraphSettings();
  const GraphSettings defaults;
  EXPECT_EQ(s.XScaleMax, 0);
  EXPECT_EQ(s.YRScaleMin, 0);
  EXPECT_TRUE(s.MultiScaleYL);
  EXPECT_FALSE(s.LogX || s.LogY);
  EXPECT_EQ(s.XMajorGrid, 1);
  EXPECT_EQ(s.YRTicks, 1);
  EXPECT_EQ(s.XDecimals, 2);
  EXPECT_EQ(s.MainTitles, defaults.MainTitles);
  EXPECT_EQ(s.RightYTitle, "");
  EXPECT_EQ(s.FloatTitleText, defaults.FloatTitleText);
  EXPECT_EQ(s.FloatTitleX, defaults.FloatTitleX);
  EXPECT_EQ(s.MaxDataIndex, 500);
  EXPECT_EQ(s.BarWidth, 7);
  EXPECT_EQ(s.PrinterOptions, 6);
  EXPECT_FALSE(s.LogExponential);
  EXPECT_EQ(s.CalcX, 3.5L);
}

TEST(GraphSettings, ScreenClassFromWidth) {
  const struct {
    std::int32_t width, screenClass;
  } cases[] = {{640, 640},   {699, 640},   {700, 800},   {899, 800},  {1024, 1024},
               {1099, 1024}, {1100, 1152}, {1199, 1152}, {1280, 1280}, {1300, 1600}, {2560, 1600}};
  for (const auto& c : cases) EXPECT_EQ(ScreenClassFor(c.width), c.screenClass) << c.width;
}

}  // namespace
}  // namespace tavel
