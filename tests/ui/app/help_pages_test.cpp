#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <set>

#include <gtest/gtest.h>

#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/app/help_viewer.h"
#include "ui/app/main_frame.h"

namespace tavel {
namespace {

using testing::ScriptedPrompts;

// A page that only names its subject helps no one.
constexpr int kLeastWords = 150;

int WordCount(const QString& text) {
  return static_cast<int>(text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size());
}

class HelpPagesTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Workspace workspace{prompts};
};

// Every widget, menu and menu item of the frame, its dialogs, a data window and the graph
// window that carries a help context leads to a page of substance.
TEST_F(HelpPagesTest, EveryHelpContextInUseHasAPageOfSubstance) {
  TMDIMainF frame(workspace, prompts, dir.filePath("tavel.cfg").toStdString());
  frame.CreateDialogs();
  frame.NewData();
  frame.ShowGraphWindow();
  ASSERT_FALSE(frame.GraphWindow.isNull());

  QList<QObject*> carriers = frame.findChildren<QObject*>();
  carriers << &frame;
  std::set<int> contexts;
  for (QObject* object : carriers) {
    const int context = object->property(kHelpContextProperty).toInt();
    if (context <= 0) continue;
    contexts.insert(context);
    const QString page = HelpPagePlainText(context);
    EXPECT_GE(WordCount(page), kLeastWords)
        << "help context " << context << " of " << object->metaObject()->className() << " "
        << object->objectName().toStdString();
  }
  // The walk met the windows it was meant to: frame, data window, graph window, dialogs.
  for (int context : {100, 150, 400, 500, 550, 600, 700, 900, 1120, 1400, 1500}) {
    EXPECT_TRUE(contexts.count(context)) << context;
  }
}

// F1 in a dialog and its "Help" button show the dialog's own page.
TEST_F(HelpPagesTest, HelpKeyAndHelpButtonsOfEveryDialogShowItsPage) {
  TMDIMainF frame(workspace, prompts, dir.filePath("tavel.cfg").toStdString());
  frame.CreateDialogs();
  for (QDialog* dialog : frame.Dialogs()) {
    const int context = HelpContextOf(dialog);
    SCOPED_TRACE(dialog->windowTitle().toStdString());
    ASSERT_GT(context, 0);
    QTest::keyClick(dialog, Qt::Key_F1);
    ASSERT_FALSE(prompts.helpTopics.empty());
    EXPECT_EQ(prompts.helpTopics.back(), context);
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
      if (button->text().remove('&') != "Help") continue;
      prompts.helpTopics.clear();
      button->click();
      ASSERT_EQ(prompts.helpTopics.size(), 1u);
      EXPECT_EQ(prompts.helpTopics[0], context);
    }
  }
}

TEST(HelpPageFilesTest, LinksLeadToPagesAndPicturesAreBuiltIn) {
  const QList<int> topics = HelpTopics();
  ASSERT_GE(topics.size(), 20);
  const QRegularExpression link("\\]\\(([^)]+)\\)");
  for (int context : topics) {
    SCOPED_TRACE(context);
    const QString page = HelpPageMarkdown(context);
    EXPECT_FALSE(HelpTopicDescription(context).isEmpty());
    for (auto it = link.globalMatch(page); it.hasNext();) {
      const QString target = it.next().captured(1);
      EXPECT_TRUE(QFile::exists(":/help/" + target)) << target.toStdString();
    }
  }
}

TEST(HelpSearchTest, FindsAWordOnThePageWhereItStands) {
  const QList<HelpSearchHit> hits = SearchHelp("polynominal");
  ASSERT_FALSE(hits.isEmpty());
  EXPECT_EQ(hits.first().context, 1400);
  EXPECT_TRUE(hits.first().excerpt.contains("Polynominal")) << hits.first().excerpt.toStdString();

  // Every word must stand on the page.
  QList<int> both;
  for (const HelpSearchHit& hit : SearchHelp("Multi-Scale logarithmic")) both << hit.context;
  EXPECT_TRUE(both.contains(1000));
  EXPECT_TRUE(both.contains(1500));
  EXPECT_FALSE(both.contains(1400));
  EXPECT_TRUE(SearchHelp("xylophone").isEmpty());
  EXPECT_TRUE(SearchHelp("  ").isEmpty());

  HelpViewer viewer("/x/tavel.hlp");
  viewer.ShowTopic(100);
  viewer.SearchField->setText("polynominal");
  QTest::keyClick(viewer.SearchField, Qt::Key_Return);
  EXPECT_EQ(viewer.CurrentTopic(), 0);
  EXPECT_TRUE(viewer.PageText().contains("Regression fit"));
  viewer.ShowTopicAt(1400, "polynominal");
  EXPECT_EQ(viewer.CurrentTopic(), 1400);
  EXPECT_EQ(viewer.SelectedText(), "Polynominal");

  // Back retraces the way: results, then contents, then nothing more.
  EXPECT_TRUE(viewer.Back());
  EXPECT_EQ(viewer.CurrentTopic(), 0);
  EXPECT_TRUE(viewer.Back());
  EXPECT_EQ(viewer.CurrentTopic(), 100);
  EXPECT_FALSE(viewer.Back());
  EXPECT_FALSE(viewer.BackButton->isEnabled());
}

}  // namespace
}  // namespace tavel
