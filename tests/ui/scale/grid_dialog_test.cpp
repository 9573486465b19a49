#include "ui/scale/grid_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

class GridDialogTest : public ::testing::Test {
 protected:
  GridDialogTest() {
    dlg.RedrawGraph = [this] { ++redraws; };
    dlg.ShowGraphWindow = [this] { ++graphShown; };
  }

  static void Type(QLineEdit* edit, const char* text) {
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
  }
  static void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  std::vector<QLineEdit*> XEdits() const { return {dlg.XMinor, dlg.XMajor, dlg.XTicks, dlg.XDec}; }
  std::vector<QLineEdit*> YEdits() const {
    return {dlg.YMinor, dlg.YMajor, dlg.YLTicks, dlg.YLDec, dlg.YRTicks, dlg.YRDec};
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  GraphSettings& s = ws.Settings;
  TGridF dlg{ws, prompts};
  int redraws = 0;
  int graphShown = 0;
};

TEST_F(GridDialogTest, OpeningShowsTheSettingsAndFocusesXMajor) {
  s.XMinorGrid = 2, s.XMajorGrid = 3, s.XTicks = 4, s.XDecimals = 5;
  s.YMinorGrid = 6, s.YMajorGrid = 7, s.YLTicks = 8, s.YLDecimals = 0, s.YRTicks = 20;
  s.YRDecimals = 1;
  dlg.show();

  const char* shown[] = {"2", "3", "4", "5", "6", "7", "8", "0", "20", "1"};
  int i = 0;
  for (const auto& edits : {XEdits(), YEdits()}) {
    for (QLineEdit* e : edits) {
      EXPECT_EQ(e->text(), shown[i++]);
      EXPECT_TRUE(e->isEnabled());
    }
  }
  EXPECT_EQ(dlg.focusWidget(), dlg.XMajor);
  EXPECT_EQ(dlg.XMajor->selectedText(), "3");
  EXPECT_TRUE(dlg.CancelBtn->isVisible());
  EXPECT_FALSE(dlg.GoScaleB->isVisible());  // no Scale dialog to go to
  Click(dlg.HelpB);
  EXPECT_EQ(prompts.helpTopics, std::vector<int>{700});
}

TEST_F(GridDialogTest, OkStoresTheFieldsAndOutOfRangeValuesBeepAndKeepTheirSetting) {
  struct Case {
    QLineEdit* edit;
    const char* text;
    std::int32_t* setting;
  };
  // Each refused value sits beside a valid hexadecimal one that must still be taken.
  const Case refused[] = {{dlg.XMinor, "11", &s.XMinorGrid}, {dlg.XMajor, "0", &s.XMajorGrid},
                          {dlg.YMajor, "21", &s.YMajorGrid}, {dlg.XDec, "-1", &s.XDecimals},
                          {dlg.YRDec, "9", &s.YRDecimals},   {dlg.YLTicks, "2.5", &s.YLTicks}};
  for (const Case& c : refused) {
    SCOPED_TRACE(c.text);
    ws.Settings.ResetGraphSettings();
    *c.setting = 3;
    prompts.beeps = 0;
    dlg.show();
    Type(c.edit, c.text);
    Type(dlg.XTicks, "$A");
    Click(dlg.OKBtn);
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(*c.setting, 3);
    EXPECT_EQ(s.XTicks, 10);
  }
}

TEST_F(GridDialogTest, ALogarithmicAxisLocksItsFieldsAndOkLeavesThemAlone) {
  s.LogX = true;
  s.XMajorGrid = 4, s.XDecimals = 3;
  dlg.show();
  for (QLineEdit* e : XEdits()) {
    EXPECT_EQ(e->text(), "Log");
    EXPECT_FALSE(e->isEnabled());
  }
  EXPECT_EQ(dlg.focusWidget(), dlg.YMinor);
  Type(dlg.YMajor, "12");
  Click(dlg.AutoXGridB);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_TRUE(dlg.CancelBtn->isVisible());
  Click(dlg.OKBtn);
  EXPECT_EQ(s.XMajorGrid, 4);
  EXPECT_EQ(s.XDecimals, 3);
  EXPECT_EQ(s.YMajorGrid, 12);
  EXPECT_EQ(prompts.beeps, 1);

  // Reopened on a linear axis, the fields are unlocked again.
  s.LogX = false;
  s.LogY = true;
  dlg.show();
  EXPECT_EQ(dlg.XMajor->text(), "4");
  EXPECT_TRUE(dlg.XMajor->isEnabled());
  for (QLineEdit* e : YEdits()) EXPECT_FALSE(e->isEnabled());
}

TEST_F(GridDialogTest, ClearResetsTheLinearAxesHidesCancelAndShowsTheGraph) {
  s.LogY = true;
  s.XMajorGrid = 9, s.XDecimals = 0;
  s.YMajorGrid = 9;
  dlg.show();
  Click(dlg.ClearB);
  EXPECT_EQ(dlg.XMajor->text(), "1");
  EXPECT_EQ(dlg.XDec->text(), "2");
  EXPECT_EQ(dlg.YMajor->text(), "Log");
  EXPECT_EQ(s.XMajorGrid, 1);
  EXPECT_EQ(s.XDecimals, 2);
  EXPECT_EQ(s.YMajorGrid, 9);
  EXPECT_FALSE(dlg.CancelBtn->isVisible());
  EXPECT_EQ(graphShown, 1);
  EXPECT_EQ(redraws, 1);
}

TEST_F(GridDialogTest, AutoGridShowsItsAxisAndCancelKeepsIt) {
  s.YLScaleMax = 7, s.YLScaleMin = 0;
  s.YRScaleMax = s.YRScaleMin = 4;
  dlg.show();
  Type(dlg.XMajor, "6");  // typed but never applied
  Click(dlg.AutoYRGridB);
  EXPECT_EQ(prompts.beeps, 1);  // equal limits
  EXPECT_TRUE(dlg.CancelBtn->isVisible());

  Click(dlg.AutoYLGridB);
  EXPECT_EQ(dlg.YMajor->text(), "14");
  EXPECT_EQ(dlg.YMinor->text(), "5");
  EXPECT_EQ(dlg.YLTicks->text(), "7");
  EXPECT_EQ(dlg.YLDec->text(), "1");
  EXPECT_EQ(dlg.XMajor->text(), "6");
  EXPECT_FALSE(dlg.CancelBtn->isEnabled());
  EXPECT_EQ(graphShown, 1);

  dlg.reject();
  EXPECT_EQ(s.YMajorGrid, 14);
  EXPECT_EQ(s.YLTicks, 7);
  EXPECT_EQ(s.XMajorGrid, 1);
}

TEST_F(GridDialogTest, ViewAppliesAndLeavesMultiScaleWhereTheRangeIsUsable) {
  s.XScaleMax = 10, s.XScaleMin = 0;
  s.YLScaleMax = s.YLScaleMin = 2;
  dlg.show();
  Type(dlg.XMajor, "5");
  Click(dlg.DrawGridB);
  EXPECT_EQ(s.XMajorGrid, 5);
  EXPECT_FALSE(s.MultiScaleX);
  EXPECT_TRUE(s.MultiScaleYL);
  EXPECT_FALSE(dlg.CancelBtn->isVisible());
  EXPECT_EQ(graphShown, 1);

  // Both axes logarithmic: nothing to view, only a beep.
  s.LogX = s.LogY = true;
  dlg.hide();
  dlg.show();
  Click(dlg.DrawGridB);
  Click(dlg.ClearB);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(graphShown, 1);
}

}  // namespace
}  // namespace tavel
