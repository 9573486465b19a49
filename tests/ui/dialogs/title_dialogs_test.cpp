#include "ui/dialogs/title_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include <gtest/gtest.h>

#include "core/series/number_text.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "support/series_builder.h"
#include "ui/app/main_frame.h"
#include "ui/datawin/data_window.h"
#include "ui/graph/graph_window.h"

namespace tavel {
namespace {

using testing::AddSeries;

void Type(QLineEdit* edit, const char* text) {
  edit->selectAll();
  edit->del();
  QTest::keyClicks(edit, text);
}
void Click(QPushButton* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}

class TitleDialogsTest : public ::testing::Test {
 protected:
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  GraphSettings& s = ws.Settings;
  int redraws = 0;
  int graphShown = 0;
};

TEST_F(TitleDialogsTest, MainTitlesTakenUnchangedOnOkAndDroppedOnCancel) {
  TTitleTF dlg(ws, prompts);
  s.MainTitles[1] = "Run";
  dlg.show();
  EXPECT_EQ(dlg.windowTitle(), "Main Title  Dialog");
  EXPECT_EQ(dlg.focusWidget(), dlg.TitTop1);
  EXPECT_EQ(dlg.TitTop1->selectedText(), "Run");
  Type(dlg.TitTop2, " second ");
  Click(dlg.CancelBtn);
  EXPECT_EQ(s.MainTitles[2], "");
  dlg.show();
  EXPECT_EQ(dlg.TitTop2->text(), "");  // nothing cancelled survives
  Type(dlg.TitTop2, " second ");
  Click(dlg.OKBtn);
  EXPECT_EQ(s.MainTitles[1], "Run");
  EXPECT_EQ(s.MainTitles[2], " second ");
  Click(dlg.Button1);
  EXPECT_EQ(prompts.helpTopics, std::vector<int>{900});
}

TEST_F(TitleDialogsTest, AutoLabelsBeepOrTitleEverySeriesAndHideCancel) {
  AddSeries(ws, {{1, 1}});
  AddSeries(ws, {{1, 1}});
  Series& third = AddSeries(ws, {{1, 1}});
  Series& fourth = AddSeries(ws, {{1, 1}});
  Series* active = &third;
  TTitleSerF dlg(ws, prompts);
  dlg.Hooks.ActiveSeries = [&] { return active; };
  dlg.Hooks.RedrawGraph = [&] { ++redraws; };
  third.SeriesTitle = "Run #3";
  dlg.show();
  EXPECT_EQ(dlg.Label1->text(), "Series #3");
  EXPECT_EQ(dlg.TitSer1->text(), "Run #3");
  Click(dlg.Button3);
  Click(dlg.Button4);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_TRUE(dlg.CancelBtn->isVisible());
  EXPECT_EQ(fourth.SeriesTitle, "");
  Click(dlg.CancelBtn);

  active = &fourth;
  dlg.show();
  Type(dlg.TitSer1, "Run #3");
  Click(dlg.Button3);
  EXPECT_EQ(dlg.TitSer1->text(), "Run #3 #4");
  EXPECT_EQ(ws.FindSeries(1)->SeriesTitle, "Run #3 #1");
  EXPECT_FALSE(dlg.CancelBtn->isVisible());
  EXPECT_EQ(redraws, 1);
  QTest::keyClick(&dlg, Qt::Key_Escape);  // nothing left to cancel
  EXPECT_TRUE(dlg.isVisible());
  Click(dlg.Button6);
  EXPECT_TRUE(s.NextSeriesRequested);
  EXPECT_EQ(fourth.SeriesTitle, "Run #3 #4");
  EXPECT_EQ(third.SeriesTitle, "Run #3 #3");
}

TEST_F(TitleDialogsTest, FloatingPositionsReadAsTypedAndKeptWhenUntouched) {
  TTitleFlF dlg(ws, prompts);
  dlg.Hooks.RedrawGraph = [&] { ++redraws; };
  dlg.Hooks.ShowGraphWindow = [&] { ++graphShown; };
  for (int i = 1; i <= 10; ++i) s.FloatTitleX[static_cast<std::size_t>(i)] = 7;
  s.FloatTitleY[1] = 1.0L / 3;
  s.FloatTitleY[2] = 0.25L;
  dlg.show();
  EXPECT_EQ(dlg.Edit(22)->text(), ".25");
  const struct {
    int edit;
    const char* text;
    Real stored;
  } cases[] = {
      {11, "1,5", 1.5L}, {12, "abc", 7}, {13, "12 ", 12}, {14, "", 0}, {15, "  2.5E3", 2500}};
  for (const auto& c : cases) Type(dlg.Edit(c.edit), c.text);
  Type(dlg.Edit(3), "note");
  Click(dlg.Button4);  // View
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(graphShown, 1);
  EXPECT_GE(redraws, 1);
  EXPECT_FALSE(dlg.Button2->isVisible());
  for (const auto& c : cases) {
    EXPECT_EQ(s.FloatTitleX[static_cast<std::size_t>(c.edit - 10)], c.stored) << c.text;
  }
  EXPECT_EQ(s.FloatTitleY[1], 1.0L / 3);  // not re-read from its 14 characters
  EXPECT_EQ(s.FloatTitleText[3], "note");
  dlg.reject();  // Cancel after View keeps what View stored
  EXPECT_EQ(s.FloatTitleText[3], "note");
  dlg.show();
  EXPECT_TRUE(dlg.Button2->isVisible());
}

// ---------------------------------------------------------------------------------------------
// Launched from the frame's windows

QAction* ItemTitled(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
    if (a->menu() != nullptr) {
      if (QAction* inner = ItemTitled(a->menu(), text)) return inner;
    }
  }
  return nullptr;
}

// Records the series title dialog's heading at each opening and presses Next `nexts` times,
// then OK.
void ScriptSeriesTitles(std::vector<QString>* headings, int nexts, int tries = 400) {
  QTimer::singleShot(tries == 400 ? 0 : 5, [=] {
    auto* dlg = qobject_cast<TTitleSerF*>(QApplication::activeModalWidget());
    if (dlg == nullptr) {
      if (tries > 0) ScriptSeriesTitles(headings, nexts, tries - 1);
      return;
    }
    headings->push_back(dlg->Label1->text());
    if (nexts > 0) {
      ScriptSeriesTitles(headings, nexts - 1);
      dlg->Button6->click();
    } else {
      dlg->OKBtn->click();
    }
  });
}

TEST(TitleLaunchersTest, LegendItemsOfBothWindows) {
  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  TMDIMainF frame(ws, prompts, dir.filePath("t.cfg").toStdString());
  frame.CreateDialogs();
  frame.resize(1000, 800);
  frame.show();
  for (int i = 0; i < 3; ++i) frame.NewData();
  TSpreadF* second = frame.DataWindowOf(*ws.FindSeries(2));
  frame.mdiArea()->setActiveSubWindow(second->SubWindow());
  frame.TrackActiveChild();

  QDialog* shown = nullptr;
  QTimer::singleShot(0, [&] {
    shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (shown != nullptr) shown->reject();
  });
  QAction* main = ItemTitled(second->PopupMenu1, "&Main");
  ASSERT_TRUE(main->isEnabled());
  main->trigger();
  EXPECT_EQ(shown, frame.TitleTF);

  frame.ShowGraphWindow();
  auto* graph = qobject_cast<TGraphF*>(frame.GraphWindow.data());
  ASSERT_NE(graph, nullptr);
  std::vector<QString> headings;
  ScriptSeriesTitles(&headings, 3);
  ItemTitled(graph->PopupMenu1, "S&eries")->trigger();
  EXPECT_EQ(headings, (std::vector<QString>{"Series #1", "Series #2", "Series #3", "Series #1"}));
  EXPECT_EQ(frame.ActiveChildClass, ChildClass::GraphWindow);
}

}  // namespace
}  // namespace tavel
