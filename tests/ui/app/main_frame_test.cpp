#include "ui/app/main_frame.h"
#include "ui/platform/graph_fonts.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "core/files/atomic_file.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/app/help_viewer.h"
#include "ui/app/start.h"

namespace tavel {
namespace {

using testing::ScriptedPrompts;

struct MenuItem {
  QString text;
  QKeySequence shortcut;
  int helpContext;
};

QStringList MenuBarTitles(const QMainWindow& frame) {
  QStringList titles;
  for (QAction* a : frame.menuBar()->actions()) titles << a->text();
  return titles;
}

QList<MenuItem> ItemsOf(QMenu* menu) {
  QList<MenuItem> items;
  for (QAction* a : menu->actions()) {
    items.append({a->isSeparator() ? QString("-") : a->text(), a->shortcut(),
                  a->property(kHelpContextProperty).toInt()});
  }
  return items;
}

QMenu* MenuTitled(const QMainWindow& frame, const QString& title) {
  for (QAction* a : frame.menuBar()->actions()) {
    if (a->text() == title) return a->menu();
  }
  return nullptr;
}

void WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class MainFrameTest : public ::testing::Test {
 protected:
  std::unique_ptr<TMDIMainF> MakeFrame() {
    return std::make_unique<TMDIMainF>(workspace, prompts, SettingsPath());
  }
  std::filesystem::path SettingsPath() const { return dir.filePath("tavel.cfg").toStdString(); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Workspace workspace{prompts};
};

TEST_F(MainFrameTest, StartsWithCaptionFieldsAndStartUpSettings) {
  workspace.Settings.LogExponential = false;
  workspace.Settings.XTicks = 7;
  workspace.Settings.MainTitles[1] = "old";
  auto frame = MakeFrame();
  EXPECT_EQ(frame->windowTitle(), "Tavel Graphics");
  EXPECT_EQ(frame->property(kHelpContextProperty).toInt(), 100);
  EXPECT_TRUE(workspace.Settings.LogExponential);
  EXPECT_EQ(workspace.Settings.XTicks, 1);
  EXPECT_EQ(workspace.Settings.MainTitles[1], "");
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::None);
  EXPECT_EQ(frame->ActiveChild, nullptr);
  EXPECT_FALSE(frame->Closing);
  EXPECT_TRUE(frame->HelpFile.endsWith(".hlp"));

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(workspace.Settings.ScreenClass, ScreenClassFor(screen.width()));
  EXPECT_EQ(frame->GraphBitmap.width(), screen.width());
  EXPECT_EQ(frame->GraphBitmap.height(),
            screen.height() - 2 * frame->menuBar()->sizeHint().height());
  EXPECT_EQ(frame->width(), 596);
  EXPECT_EQ(frame->height() - frame->menuBar()->sizeHint().height(), 399);
  EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(MainFrameTest, MenusHoldTheExactItemsShortCutsAndHelpContexts) {
  auto frame = MakeFrame();
  EXPECT_EQ(MenuBarTitles(*frame), QStringList({"&File", "&Preferences", "&Window", "&Help"}));

  const QKeySequence none;
  const struct {
    QString menu;
    int group;
    QList<MenuItem> items;
  } expected[] = {
      {"&File",
       kFileGroup,
       {{"&New  Data", none, 500},
        {"New  &Text", none, 500},
        {"&Open", QKeySequence(Qt::Key_F3), 500},
        {"-", none, 0},
        {"E&xit", QKeySequence(Qt::ALT | Qt::Key_F4), 500}}},
      {"&Preferences",
       kPreferencesGroup,
       {{"&Hide Tool Bar", none, 1200}, {"Preferences Dialog....", none, 1200}}},
      {"&Window",
       kWindowGroup,
       {{"Tile &Vert.", none, 800},
        {"Tile &Horz.", none, 800},
        {"&Cascade", none, 800},
        {"C&lose All", none, 800},
        {"Clear  &All", none, 800}}},
      {"&Help",
       kHelpGroup,
       {{"&Overview", none, 200},
        {"&Getting Started", none, 300},
        {"&Contents", none, 100},
        {"-", none, 0},
        {"&About", none, 200}}},
  };
  const QList<MenuGroup> groups = frame->FrameMenus();
  ASSERT_EQ(groups.size(), 4);
  for (int m = 0; m < 4; ++m) {
    SCOPED_TRACE(expected[m].menu.toStdString());
    EXPECT_EQ(groups[m].first, expected[m].group);
    QMenu* menu = MenuTitled(*frame, expected[m].menu);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, groups[m].second);
    const QList<MenuItem> items = ItemsOf(menu);
    ASSERT_EQ(items.size(), expected[m].items.size());
    for (int i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].text, expected[m].items[i].text);
      EXPECT_EQ(items[i].shortcut, expected[m].items[i].shortcut) << i;
      EXPECT_EQ(items[i].helpContext, expected[m].items[i].helpContext) << i;
    }
  }
}

TEST_F(MainFrameTest, ToolBarButtonsHaveHintsAtTheirLeftEdges) {
  auto frame = MakeFrame();
  EXPECT_EQ(frame->toolBar()->height(), 34);
  EXPECT_EQ(frame->toolBar()->frameShadow(), QFrame::Sunken);
  EXPECT_EQ(frame->toolBar()->lineWidth(), 2);
  const struct {
    int left;
    const char* hint;
  } expected[] = {{6, "New Data"},       {39, "Open File"},       {72, "Save Graph"},
                  {105, "View Graph"},   {138, "Graph Scale"},    {172, "Graph Grid"},
                  {205, "Calculator"},   {238, "Copy"},           {271, "Paste"},
                  {304, "Tile Windows"}, {337, "Cascade Windows"}, {370, "Undo"},
                  {403, "Redo"}};
  const QList<QToolButton*>& buttons = frame->toolButtons();
  ASSERT_EQ(buttons.size(), 13);
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(buttons[i]->toolTip(), expected[i].hint);
    EXPECT_EQ(buttons[i]->geometry().left(), expected[i].left) << expected[i].hint;
    EXPECT_EQ(buttons[i]->size(), QSize(25, 25)) << expected[i].hint;
    EXPECT_FALSE(buttons[i]->icon().isNull()) << expected[i].hint;
  }
}

TEST_F(MainFrameTest, ToggleToolBarHidesAndShowsTheBarAndSwitchesTheItem) {
  auto frame = MakeFrame();
  frame->ToggleToolBarAction->trigger();
  EXPECT_TRUE(frame->toolBar()->isHidden());
  EXPECT_FALSE(frame->toolBar()->isEnabled());
  EXPECT_EQ(frame->ToggleToolBarAction->text(), "&Show Tool Bar");
  frame->ToggleToolBarAction->trigger();
  EXPECT_FALSE(frame->toolBar()->isHidden());
  EXPECT_TRUE(frame->toolBar()->isEnabled());
  EXPECT_EQ(frame->ToggleToolBarAction->text(), "&Hide Tool Bar");
}

TEST_F(MainFrameTest, SixteenDialogsAreCreatedOnceInOrderAndStayHidden) {
  auto frame = MakeFrame();
  EXPECT_TRUE(frame->Dialogs().isEmpty());
  frame->CreateDialogs();
  const struct {
    const char* className;
    const char* caption;
    int help;
  } expected[] = {
      {"tavel::TPreferF", "Perferences  Dialog", 1200},
      {"tavel::TScaleF", "Scale  Dialog", 1500},
      {"tavel::TLogScaleF", "Log Scale  Dialog", 1000},
      {"tavel::TGridF", "Grid  Dialog", 700},
      {"tavel::TTitleTF", "Main Title  Dialog", 900},
      {"tavel::TTitleXF", "X Axis Title  Dialog", 900},
      {"tavel::TTitleYF", "Y Axis Title  Dialog", 900},
      {"tavel::TTitleSerF", "Series Title  Dialog", 900},
      {"tavel::TFitF", "Regression Fit Dialog", 1400},
      {"tavel::TFillF", "Math Fill Cells", 1140},
      {"tavel::TMath_XYF", "Math X & Y Operations", 1160},
      {"tavel::TMathF", "Math Operations on Cells", 1120},
      {"tavel::TGTypeF", "Graph Type Dialog", 600},
      {"tavel::TPrintCF", "Printer Color  Dialog", 1300},
      {"tavel::TCalcF", "Tavel RPN Calculator", 150},
      {"tavel::TTitleFlF", "Floating Titles Dialog", 900},
  };
  const QList<QDialog*> dialogs = frame->Dialogs();
  ASSERT_EQ(dialogs.size(), 16);
  for (int i = 0; i < 16; ++i) {
    EXPECT_STREQ(dialogs[i]->metaObject()->className(), expected[i].className);
    EXPECT_EQ(dialogs[i]->windowTitle(), expected[i].caption);
    EXPECT_EQ(dialogs[i]->property(kHelpContextProperty).toInt(), expected[i].help);
    EXPECT_EQ(dialogs[i]->parent(), frame.get());
    EXPECT_TRUE(dialogs[i]->isHidden());
  }
}

// Settings file cases as the frame meets them at start-up; the file logic itself is covered
// by the core tests.
TEST_F(MainFrameTest, NoSettingsFileKeepsDefaultsAndCreatesNothing) {
  auto frame = MakeFrame();
  EXPECT_EQ(workspace.Settings.MaxDataIndex, 10);
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
  EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(MainFrameTest, MalformedSettingsFileShowsTheBoxNamingItAndTakesDefaults) {
  WriteFile(SettingsPath(), "abc\r\n5\r\n0\r\n3\r\n");
  workspace.Settings.BarWidth = 4;
  auto frame = MakeFrame();
  ASSERT_EQ(prompts.errors.size(), 1u);
  EXPECT_EQ(prompts.errors[0], IncompatibleFormatText(SettingsPath().string()));
  EXPECT_NE(prompts.errors[0].find("tavel.cfg"), std::string::npos);
  EXPECT_EQ(workspace.Settings.MaxDataIndex, 10);
  EXPECT_EQ(workspace.Settings.BarWidth, 1);
  EXPECT_EQ(workspace.Settings.PrinterOptions, 0);
}

TEST_F(MainFrameTest, OutOfRangeSettingsAreCorrectedAndWrittenBack) {
  WriteFile(SettingsPath(), "0\r\n11\r\n5\r\n");
  auto frame = MakeFrame();
  EXPECT_TRUE(prompts.errors.empty());
  EXPECT_EQ(workspace.Settings.MaxDataIndex, 10);
  EXPECT_EQ(workspace.Settings.BarWidth, 1);
  EXPECT_EQ(workspace.Settings.PrinterOptions, 0);
  EXPECT_EQ(ReadFile(SettingsPath()), "10\r\n1\r\n5\r\n0\r\n");
}

// A child window with its own menus, standing in for the data window.
class FakeChild : public QWidget, public MdiChild {
 public:
  FakeChild(ChildClass cls, const QList<int>& groups) : cls_(cls) {
    for (int g : groups) groups_ << MenuGroup{g, new QMenu(QString("Child %1").arg(g), this)};
  }
  ChildClass Class() const override { return cls_; }
  QList<MenuGroup> MenuGroups() const override { return groups_; }

 private:
  ChildClass cls_;
  QList<MenuGroup> groups_;
};

class MenuMergeTest : public MainFrameTest {
 protected:
  void SetUp() override {
    frame = MakeFrame();
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  }
  void Activate(QMdiSubWindow* sub) {
    frame->mdiArea()->setActiveSubWindow(sub);
    QApplication::processEvents();
  }
  std::unique_ptr<TMDIMainF> frame;
};

TEST_F(MenuMergeTest, ActiveChildMenusStandBetweenByGroupAndFileIsReplaced) {
  auto* child = new FakeChild(ChildClass::DataWindow, {7, 1, 4, 2, 5});
  QMdiSubWindow* sub = frame->AddChild(child);
  sub->show();
  Activate(sub);
  EXPECT_EQ(frame->ActiveChild, child);
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::DataWindow);
  EXPECT_EQ(MenuBarTitles(*frame), QStringList({"Child 1", "Child 2", "&Preferences", "Child 4",
                                                "Child 5", "Child 7", "&Window", "&Help"}));

  // A child without menus of its own shows the frame's alone again.
  auto* plain = new FakeChild(ChildClass::TextWindow, {});
  QMdiSubWindow* plainSub = frame->AddChild(plain);
  plainSub->show();
  Activate(plainSub);
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::TextWindow);
  EXPECT_EQ(MenuBarTitles(*frame), QStringList({"&File", "&Preferences", "&Window", "&Help"}));

  Activate(sub);
  EXPECT_EQ(MenuBarTitles(*frame).first(), "Child 1");
}

TEST_F(MenuMergeTest, ClosingTheLastChildRestoresTheFrameMenus) {
  auto* child = new FakeChild(ChildClass::GraphWindow, {1, 7});
  QMdiSubWindow* sub = frame->AddChild(child);
  sub->show();
  Activate(sub);
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::GraphWindow);
  sub->close();
  QApplication::processEvents();
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::None);
  EXPECT_EQ(frame->ActiveChild, nullptr);
  EXPECT_EQ(MenuBarTitles(*frame), QStringList({"&File", "&Preferences", "&Window", "&Help"}));
}

TEST_F(MenuMergeTest, MergeApiWithoutAChild) {
  QMenu edit("&Edit");
  frame->MergeChildMenus({{2, &edit}});
  EXPECT_EQ(MenuBarTitles(*frame),
            QStringList({"&File", "&Edit", "&Preferences", "&Window", "&Help"}));
  frame->MergeChildMenus({});
  EXPECT_EQ(MenuBarTitles(*frame), QStringList({"&File", "&Preferences", "&Window", "&Help"}));
}

TEST_F(MenuMergeTest, TilesSideBySideAndOneAboveTheOther) {
  QList<QMdiSubWindow*> subs;
  for (int i = 0; i < 3; ++i) {
    subs << frame->AddChild(new FakeChild(ChildClass::DataWindow, {}));
    subs.last()->show();
  }
  const QRect area = frame->mdiArea()->viewport()->rect();
  frame->TileVertAction->trigger();
  int right = 0;
  int widths = 0;
  for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList(QMdiArea::StackingOrder)) {
    EXPECT_EQ(sub->y(), 0);
    EXPECT_EQ(sub->height(), area.height());
    widths += sub->width();
    right = std::max(right, sub->geometry().right());
  }
  EXPECT_EQ(widths, area.width());
  EXPECT_EQ(right, area.right());

  frame->TileHorzAction->trigger();
  int heights = 0;
  for (QMdiSubWindow* sub : subs) {
    EXPECT_EQ(sub->x(), 0);
    EXPECT_EQ(sub->width(), area.width());
    heights += sub->height();
  }
  EXPECT_EQ(heights, area.height());
  // The active child comes first.
  EXPECT_EQ(frame->mdiArea()->currentSubWindow()->y(), 0);
}

TEST_F(MenuMergeTest, WindowMenuListsTheOpenChildren) {
  auto* child = new FakeChild(ChildClass::DataWindow, {});
  child->setWindowTitle("Series Number: 1");
  frame->AddChild(child)->show();
  QMenu* window = MenuTitled(*frame, "&Window");
  ASSERT_NE(window, nullptr);
  emit window->aboutToShow();
  const QList<QAction*> actions = window->actions();
  ASSERT_EQ(actions.size(), 7);
  EXPECT_TRUE(actions[5]->isSeparator());
  EXPECT_EQ(actions[6]->text(), "&1 Series Number: 1");
}

TEST_F(MainFrameTest, HelpItemsShowTheirTopics) {
  auto frame = MakeFrame();
  frame->OverviewAction->trigger();
  frame->GettingStartedAction->trigger();
  frame->ContentsAction->trigger();
  EXPECT_EQ(prompts.helpTopics, std::vector<int>({200, 300, 100}));
}

TEST_F(MainFrameTest, HelpKeyShowsTheTopicOfTheFocusedWindow) {
  auto frame = MakeFrame();
  frame->CreateDialogs();
  QTest::keyClick(frame.get(), Qt::Key_F1);
  QTest::keyClick(frame->Dialogs()[3], Qt::Key_F1);  // the grid dialog
  EXPECT_EQ(prompts.helpTopics, std::vector<int>({100, 700}));
}

TEST_F(MainFrameTest, HelpKeyInAnOpenMenuShowsTheHighlightedItem) {
  auto frame = MakeFrame();
  frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  QMenu* window = MenuTitled(*frame, "&Window");
  window->popup(QPoint(0, 0));
  window->setActiveAction(frame->CloseAllAction);
  QTest::keyClick(window, Qt::Key_F1);
  window->close();
  EXPECT_EQ(prompts.helpTopics, std::vector<int>({800}));
}

TEST_F(MainFrameTest, AboutBoxIsModalWithItsCaption) {
  auto frame = MakeFrame();
  frame->show();
  QString caption;
  QTimer::singleShot(0, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      caption = box->windowTitle();
      QTest::keyClick(box, Qt::Key_Escape);
    }
  });
  frame->AboutAction->trigger();
  EXPECT_EQ(caption, "About Tavel Graphics");
}

TEST_F(MainFrameTest, ExitClosesTheFrameAndSetsClosing) {
  auto frame = MakeFrame();
  frame->show();
  frame->ExitAction->trigger();
  EXPECT_TRUE(frame->Closing);
  EXPECT_FALSE(frame->isVisible());
}

TEST(CommandLineTest, OnlyAnExistingFileIsReadAsGraphFile) {
  QTemporaryDir dir;
  const QString file = dir.filePath("graph.gra");
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  EXPECT_EQ(CommandLineGraphFile({"tavel"}), std::nullopt);
  EXPECT_EQ(CommandLineGraphFile({"tavel", dir.filePath("missing.gra")}), std::nullopt);
  EXPECT_EQ(CommandLineGraphFile({"tavel", dir.path()}), std::nullopt);
  EXPECT_EQ(CommandLineGraphFile({"tavel", file, "extra"}), file);
}

TEST(CondensedFontTest, FoundInASubfolderInAnyCase) {
  QTemporaryDir dir;
  EXPECT_FALSE(CondensedFontFileIn({dir.path()}));
  ASSERT_TRUE(QDir(dir.path()).mkpath("truetype/abadi"));
  QFile f(dir.filePath("truetype/abadi/ABAEXBC.TTF"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  EXPECT_TRUE(CondensedFontFileIn({dir.filePath("missing"), dir.path()}));
}

}  // namespace
}  // namespace tavel
