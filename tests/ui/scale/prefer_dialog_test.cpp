#include "ui/scale/prefer_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/series/workspace.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

class PreferDialogTest : public ::testing::Test {
 protected:
  PreferDialogTest() { dlg.SettingsPath = dir.filePath("tavel.cfg").toStdString(); }

  std::string SettingsText() const {
    std::ifstream in(dlg.SettingsPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void Type(QLineEdit* edit, const char* text) {
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
  }

  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  GraphSettings& s = ws.Settings;
  TPreferF dlg{ws, prompts};
};

TEST_F(PreferDialogTest, OpeningShowsTheSettingsWithTheRowCountSelected) {
  s.MaxDataIndex = 250;
  s.BarWidth = 4;
  s.PrinterOptions = 6;
  dlg.show();
  EXPECT_EQ(dlg.MaxLenth1->text(), "250");
  EXPECT_EQ(dlg.MaxLenth1->selectedText(), "250");
  EXPECT_EQ(dlg.focusWidget(), dlg.MaxLenth1);
  EXPECT_EQ(dlg.BarWidth1->text(), "4");
  EXPECT_EQ(dlg.RadioGroup1Items->checkedButton()->text(), "Black");
  EXPECT_EQ(dlg.RadioGroup2Items->checkedButton()->text(), "Large");
  EXPECT_TRUE(dlg.PrinterFontWasLarge);
  EXPECT_EQ(dlg.PreferBox1->title(), "Data Set Size && Graph Bar Width");
  QTest::mouseClick(dlg.Button1, Qt::LeftButton);
  EXPECT_EQ(prompts.helpTopics, std::vector<int>{1200});
}

TEST_F(PreferDialogTest, OkWritesTheSettingsFileOnlyWhenSomethingChanged) {
  s.SettingsReserved = 5;
  dlg.show();
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_FALSE(std::filesystem::exists(dlg.SettingsPath));

  // Only the printer font: still a change, written at once.
  dlg.show();
  dlg.RadioGroup2Items->button(1)->click();
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_EQ(s.PrinterOptions, 4);
  EXPECT_EQ(SettingsText(), "10\r\n1\r\n5\r\n4\r\n");

  // A refused number beeps and the other is still taken.
  dlg.show();
  Type(dlg.MaxLenth1, "");
  Type(dlg.BarWidth1, "10");
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(SettingsText(), "10\r\n10\r\n5\r\n4\r\n");

  // Cancel takes nothing over.
  dlg.show();
  Type(dlg.MaxLenth1, "77");
  QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
  EXPECT_EQ(s.MaxDataIndex, 10);
  EXPECT_TRUE(prompts.reports.empty());
}

TEST_F(PreferDialogTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheValuesHold) {
  dlg.SettingsPath = dir.filePath("no/such/folder/tavel.cfg").toStdString();
  dlg.show();
  Type(dlg.MaxLenth1, "40");
  QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
  EXPECT_EQ(s.MaxDataIndex, 40);
  EXPECT_EQ(prompts.reports.size(), 1u);
}

}  // namespace
}  // namespace tavel
