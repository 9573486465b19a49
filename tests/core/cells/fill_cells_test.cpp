#include "core/cells/fill_cells.h"

#include <gtest/gtest.h>

#include <string>

#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

class FillCellsTest : public ::testing::Test {
 protected:
  FillCellsTest() {
    ws.Settings.NextDataSize = 5;
    s = &ws.CreateSeries();
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  Series* s = nullptr;
};

struct FillCase {
  FillTexts texts;
  FillField errorField;
  std::string errorText;
  std::int32_t first;
  std::int32_t last;
};

class FillTable : public FillCellsTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(FillTable, ValidatesAndClamps) {
  const FillCase& c = GetParam();
  s->FitActive = true;
  s->GraphType = kGraphLineFit;
  const FillOutcome outcome = FillCells(*s, kYColumn, c.texts);
  EXPECT_EQ(outcome.errorField, c.errorField);
  EXPECT_EQ(outcome.errorText, c.errorText);
  for (std::int32_t row = 1; row <= s->MaxIndex; ++row) {
    const bool written = row >= c.first && row <= c.last;
    EXPECT_EQ(s->Cells.Text(row, kYColumn), written ? std::to_string(row - c.first + 1) : "")
        << "row " << row;
  }
  // The fit goes with a fill that was done; a refused one changes nothing.
  const bool refused = c.errorField != FillField::None;
  EXPECT_EQ(s->FitActive, refused);
  EXPECT_EQ(s->GraphType == kGraphLineFit, refused);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, FillTable,
    ::testing::Values(
        FillCase{{"0", "3", "1", "1"}, FillField::None, "", 1, 3},
        FillCase{{"3", "1", "1", "1"}, FillField::None, "", 3, 3},
        FillCase{{"2", "99", "1", "1"}, FillField::None, "", 2, 5},
        FillCase{{"$2", "-4", "1", "1"}, FillField::None, "", 2, 2},
        FillCase{{"6", "7", "1", "1"}, FillField::StartIndex, "Too Large", 1, 0},
        FillCase{{"1.5", "2", "1", "1"}, FillField::StartIndex, "Enter integer", 1, 0},
        FillCase{{"1", "", "1", "1"}, FillField::StopIndex, "Enter integer", 1, 0},
        FillCase{{"1", "2", "1,5", "1"}, FillField::StartValue, "Enter value", 1, 0},
        FillCase{{"1", "2", "1", "x"}, FillField::StepValue, "Enter value", 1, 0},
        // The first failure in order is the one reported.
        FillCase{{"9", "2", "1,5", "1"}, FillField::StartValue, "Enter value", 1, 0}));

TEST_F(FillCellsTest, DefaultsGoIntoEmptyEditsOnly) {
  FillTexts texts{"", "3", "", ""};
  FillDefaultTexts(texts, 5);
  EXPECT_EQ(texts.startIndex, "1");
  EXPECT_EQ(texts.stopIndex, "3");
  EXPECT_EQ(texts.startValue, "1");
  EXPECT_EQ(texts.stepValue, "1");
  FillTexts blank;
  FillDefaultTexts(blank, 5);
  EXPECT_EQ(blank.stopIndex, "5");
}

// The cells show the drift of adding 0.1 again and again, not start + k * step.
TEST_F(FillCellsTest, RepeatedAdditionDrift) {
  s->SetMaxIndex(100001);
  const FillOutcome outcome = FillCells(*s, kXColumn, {"1", "100001", "0", "0.1"});
  ASSERT_EQ(outcome.last, 100001);
  EXPECT_EQ(s->Cells.Text(1, kXColumn), "0");
  EXPECT_EQ(s->Cells.Text(4, kXColumn), ".3");
  EXPECT_EQ(s->Cells.Text(100001, kXColumn), "10000");
  // 100000 * 0.1 would be 10000 exactly; the sums fall short in the last digits.
  EXPECT_LT(s->Cells.Number(100001, kXColumn), 10000.0L);
}

TEST_F(FillCellsTest, StopsWhereTheProgressionLeavesTheRange) {
  const FillOutcome outcome = FillCells(*s, kXColumn, {"1", "5", "1e4932", "1e4932"});
  EXPECT_TRUE(outcome.overflow);
  EXPECT_EQ(outcome.last, 1);
  EXPECT_TRUE(s->Cells.IsEmpty(2, kXColumn));
}

}  // namespace
}  // namespace tavel
