#include "ui/scale/log_scale_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

TEST(LogScaleDialogTest, XThenBothTakesEffectAtOnceAndOkKeepsIt) {
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  GraphSettings& s = ws.Settings;
  TLogScaleF dlg{ws, prompts};
  int redraws = 0;
  dlg.RedrawGraph = [&] { ++redraws; };

  s.LogX = true;
  s.LogExponential = false;
  dlg.show();
  EXPECT_EQ(dlg.LogBoxItems->checkedButton()->text(), "X");
  EXPECT_EQ(dlg.FormatBoxItems->checkedButton()->text(), "Decimal");
  EXPECT_TRUE(dlg.CancelBtn->isVisible());
  const int opened = redraws;

  QTest::mouseClick(dlg.LogBoxItems->button(2), Qt::LeftButton);  // "Both"
  EXPECT_TRUE(s.LogX);
  EXPECT_TRUE(s.LogY);
  EXPECT_EQ(redraws, opened + 1);
  EXPECT_FALSE(dlg.CancelBtn->isVisible());
  EXPECT_FALSE(dlg.CancelBtn->isEnabled());
  // Nothing is left to cancel: Escape does not close the dialog.
  QTest::keyClick(&dlg, Qt::Key_Escape);
  EXPECT_TRUE(dlg.isVisible());

  QTest::mouseClick(dlg.FormatBoxItems->button(0), Qt::LeftButton);  // "Exponential"
  EXPECT_TRUE(s.LogExponential);
  EXPECT_EQ(redraws, opened + 2);
  QTest::mouseClick(dlg.Button1, Qt::LeftButton);
  EXPECT_EQ(prompts.helpTopics, std::vector<int>{1000});

  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(s.LogX && s.LogY && s.LogExponential);

  // Opened again on settings changed elsewhere: the choice follows them, Cancel is back and
  // leaves them as they are.
  s.LogX = false;
  dlg.show();
  EXPECT_EQ(dlg.LogBoxItems->checkedButton()->text(), "Y");
  EXPECT_TRUE(dlg.CancelBtn->isVisible());
  QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_FALSE(s.LogX);
  EXPECT_TRUE(s.LogY);
}

}  // namespace
}  // namespace tavel
