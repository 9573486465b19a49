#include "ui/datawin/data_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/app/help_viewer.h"
#include "ui/datawin/cell_grid_model.h"
#include "ui/datawin/data_window_host.h"
#include "ui/platform/qt_clipboard.h"

namespace tavel {
namespace {

std::string ClipText() {
  return QGuiApplication::clipboard()->text().toStdString();
}

#define TAVEL_RECORD(name)  \
  void name() override {    \
    calls.push_back(#name); \
  }

// A frame that only writes down what the data window handed on to it.
class RecordingHost : public DataWindowHost {
 public:
  std::vector<std::string> calls;
  bool Called(const std::string& name) const {
    return std::find(calls.begin(), calls.end(), name) != calls.end();
  }
  TAVEL_RECORD(NewData)
  TAVEL_RECORD(NewText)
  TAVEL_RECORD(Open)
  TAVEL_RECORD(Exit)
  TAVEL_RECORD(TrackActiveChild)
  TAVEL_RECORD(RedrawGraph)
  TAVEL_RECORD(ShowGraphWindow)
  TAVEL_RECORD(DataWindowClosed)
  void SaveData(Series& s) override {
    calls.push_back("SaveData " + std::to_string(s.SeriesNumber));
  }
  TAVEL_RECORD(SaveGraph)
  TAVEL_RECORD(SaveBitmap)
  TAVEL_RECORD(PrintData)
  TAVEL_RECORD(PrintGraph)
  TAVEL_RECORD(PrintSetup)
  TAVEL_RECORD(ShowCalculator)
  TAVEL_RECORD(OperateOnCells)
  TAVEL_RECORD(FillCells)
  TAVEL_RECORD(XYOperations)
  TAVEL_RECORD(ShowFitDialog)
  TAVEL_RECORD(ClearFitCommand)
  TAVEL_RECORD(FitError)
  TAVEL_RECORD(AutoScale)
  TAVEL_RECORD(ShowScaleDialog)
  TAVEL_RECORD(ShowGridDialog)
  TAVEL_RECORD(ShowLogScaleDialog)
  TAVEL_RECORD(ShowGraphTypeDialog)
  TAVEL_RECORD(ShowMainTitleDialog)
  TAVEL_RECORD(ShowXTitleDialog)
  TAVEL_RECORD(ShowYTitleDialog)
  TAVEL_RECORD(ShowSeriesTitleDialog)
  TAVEL_RECORD(ShowFloatingTitlesDialog)
  TAVEL_RECORD(ShowPrinterColorDialog)
};

// Gives every series created behind the window's back (Duplicate) its own window, as the frame
// does.
class WindowMaker : public WorkspaceObserver {
 public:
  WindowMaker(QMdiArea& area, DataWindowHost& host, Clipboard& clipboard)
      : area_(area), host_(host), clipboard_(clipboard) {}
  void SeriesCreated(Series& series) override {
    TSpreadF::CreateSubWindow(series, host_, clipboard_, &area_)->show();
  }

 private:
  QMdiArea& area_;
  DataWindowHost& host_;
  Clipboard& clipboard_;
};

class DataWindowTest : public ::testing::Test {
 protected:
  DataWindowTest() {
    area.resize(900, 700);
    area.show();
    area.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&area));
  }
  ~DataWindowTest() override {
    ws.SetObserver(nullptr);
    for (QMdiSubWindow* child : area.subWindowList()) {
      if (auto* window = qobject_cast<TSpreadF*>(child->widget())) window->ForgetSeries();
      delete child;
    }
  }

  TSpreadF* OpenWindow(std::int32_t rows = 10) {
    ws.Settings.NextDataSize = rows;
    Series& series = ws.CreateSeries();
    sub = TSpreadF::CreateSubWindow(series, host, clipboard, &area);
    sub->show();
    area.setActiveSubWindow(sub);
    w = qobject_cast<TSpreadF*>(sub->widget());
    w->StringGrid1->setFocus();
    return w;
  }
  Series& S() const { return *w->series(); }

  // Keys go where the user's keys would: into the editor while it is open.
  QWidget* KeyTarget() const {
    return w->Editor() ? static_cast<QWidget*>(w->Editor()) : w->StringGrid1;
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(KeyTarget(), key, modifiers);
  }
  // One key going down and up with the modifiers already held: QTest's clicks would also press
  // each modifier key, and a modifier key is a key of its own to the edit rules.
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(KeyTarget(), &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(KeyTarget(), &up);
  }
  void Type(const QString& text) {
    for (QChar c : text) QTest::keyClick(KeyTarget(), c.toLatin1());
  }
  std::string Cell(std::int32_t row, int column) const {
    return w->model()
        ->data(w->model()->IndexOf({row, column}), Qt::DisplayRole)
        .toString()
        .toStdString();
  }
  void Put(std::int32_t row, Real x, Real y) {
    S().Cells.SetNumber(row, kXColumn, x);
    S().Cells.SetNumber(row, kYColumn, y);
  }
  void UseLinearFit() {
    S().Fit.FitKind = 1;
    S().Fit.A = 1;
    S().Fit.B = 2;
    S().FitActive = true;
    S().Cells.SetNumber(1, kFitColumn, 3);
  }

  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  RecordingHost host;
  QtClipboard clipboard;
  QMdiArea area;
  QMdiSubWindow* sub = nullptr;
  TSpreadF* w = nullptr;
};

TEST_F(DataWindowTest, GridShowsTheSeriesAsDesigned) {
  ws.Settings.NextDataSize = 3;
  ws.CreateSeries();  // so the window's series is number 2
  OpenWindow(12);
  CellGridModel* m = w->model();
  EXPECT_EQ(m->rowCount(), 12);
  EXPECT_EQ(m->columnCount(), 3);
  EXPECT_EQ(m->CornerText().toStdString(), " Index");
  EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
            "             X2");
  EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
            "             Y2");
  EXPECT_EQ(m->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
            "          Y2 Fit");
  EXPECT_EQ(m->headerData(0, Qt::Vertical, Qt::DisplayRole).toString().toStdString(), "      1");
  EXPECT_EQ(m->headerData(11, Qt::Vertical, Qt::DisplayRole).toString().toStdString(), "     12");
  for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
    EXPECT_EQ(m->headerData(0, o, Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 255));
  }
  EXPECT_EQ(w->StringGrid1->verticalHeader()->width(), 64);
  EXPECT_EQ(w->StringGrid1->columnWidth(0), 128);
  EXPECT_EQ(w->StringGrid1->columnWidth(2), 128);
  EXPECT_EQ(w->StringGrid1->rowHeight(5), 24);
  EXPECT_EQ(w->StringGrid1->horizontalHeader()->height(), 24);
  EXPECT_EQ(w->StringGrid1->selectionMode(), QAbstractItemView::ContiguousSelection);
  EXPECT_EQ(sub->size(), QSize(480, 350));
  EXPECT_EQ(sub->windowTitle().toStdString(), "Series Number: 2");
  EXPECT_EQ(w->CurrentCell(), (GridCell{1, kXColumn}));
  EXPECT_FALSE(w->EditMode());
  EXPECT_EQ(HelpContextOf(w), 400);
}

TEST_F(DataWindowTest, TypingCommitsOnEnter) {
  OpenWindow();
  Type("1,5");
  ASSERT_TRUE(w->EditMode());
  EXPECT_EQ(Cell(1, kXColumn), "1,5");  // the open edit lives in the cell
  Key(Qt::Key_Return);
  EXPECT_EQ(Cell(1, kXColumn), "1.5");
  EXPECT_EQ(S().Cells.Number(1, kXColumn), 1.5L);
  EXPECT_TRUE(w->EditMode());
  EXPECT_EQ(w->Editor()->text(), "1.5");
  EXPECT_TRUE(host.Called("RedrawGraph"));
  EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(DataWindowTest, TextThatIsNoNumberComesBackWithABeep) {
  OpenWindow();
  Put(1, 1, 2.25L);
  w->SetCurrentCell({1, kYColumn});
  Type("abc");
  Key(Qt::Key_Return);
  EXPECT_EQ(Cell(1, kYColumn), "2.25");
  EXPECT_EQ(S().Cells.StateOf(1, kYColumn), CellGrid::State::Number);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_FALSE(host.Called("RedrawGraph"));
}

TEST_F(DataWindowTest, ClearingACellKeepsTheFit) {
  OpenWindow();
  UseLinearFit();
  Put(2, 5, 11);
  w->SetCurrentCell({2, kYColumn});
  Key(Qt::Key_Backspace);  // opens the editor and clears its selected text
  Key(Qt::Key_Return);
  EXPECT_EQ(Cell(2, kYColumn), "");
  EXPECT_TRUE(S().FitActive);
}

TEST_F(DataWindowTest, KeyDownRulesForEditMode) {
  OpenWindow();
  Key(Qt::Key_Down, Qt::ShiftModifier);  // Shift, then Shift+arrow: selects without editing
  EXPECT_FALSE(w->EditMode());
  EXPECT_EQ(w->Selection().bottom, 2);
  Press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(w->EditMode());
  Press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(w->EditMode());
  Press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_TRUE(w->EditMode());                 // not Ctrl+Shift exactly: a plain key's rule
  Press(Qt::Key_Shift, Qt::ControlModifier);  // Shift goes down while Ctrl is held
  EXPECT_FALSE(w->EditMode());
  Press(Qt::Key_Control, Qt::NoModifier);  // Ctrl alone starts editing
  EXPECT_TRUE(w->EditMode());
  Press(Qt::Key_Control, Qt::NoModifier);
  EXPECT_TRUE(w->EditMode());
  Press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(w->EditMode());
  Key(Qt::Key_Escape);  // any other key starts editing; Escape has no rule of its own
  EXPECT_TRUE(w->EditMode());
  ASSERT_NE(w->Editor(), nullptr);
  Key(Qt::Key_Escape);
  EXPECT_TRUE(w->EditMode());
}

TEST_F(DataWindowTest, FitColumnIsNeverEdited) {
  OpenWindow();
  S().Cells.SetNumber(1, kFitColumn, 3);
  Type("5");
  ASSERT_TRUE(w->EditMode());
  Key(Qt::Key_Right);  // Right at the text's end stays in the editor
  Key(Qt::Key_Tab);
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(w->CurrentCell().column, kYColumn);
  w->SetCurrentCell({1, kFitColumn});
  EXPECT_FALSE(w->EditMode());
  EXPECT_EQ(w->Editor(), nullptr);
  Type("9");
  Key(Qt::Key_Return);
  QTest::mouseDClick(w->StringGrid1->viewport(), Qt::LeftButton, {},
                     w->StringGrid1->visualRect(w->model()->IndexOf({1, kFitColumn})).center());
  EXPECT_FALSE(w->EditMode());
  EXPECT_EQ(Cell(1, kFitColumn), "3");
  EXPECT_EQ(Cell(1, kXColumn), "5");
}

TEST_F(DataWindowTest, TabAndShiftTabStopAtTheGridsEnds) {
  OpenWindow(3);
  struct Step {
    GridCell from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    GridCell to;
  };
  const Step steps[] = {
      {{1, kXColumn}, Qt::Key_Tab, Qt::NoModifier, {1, kYColumn}},
      {{1, kYColumn}, Qt::Key_Tab, Qt::NoModifier, {2, kXColumn}},
      {{3, kYColumn}, Qt::Key_Tab, Qt::NoModifier, {3, kXColumn}},
      {{2, kYColumn}, Qt::Key_Backtab, Qt::ShiftModifier, {2, kXColumn}},
      {{2, kXColumn}, Qt::Key_Backtab, Qt::ShiftModifier, {1, kYColumn}},
      {{1, kXColumn}, Qt::Key_Backtab, Qt::ShiftModifier, {1, kYColumn}},
  };
  for (const Step& step : steps) {
    w->SetCurrentCell(step.from);
    Key(step.key, step.modifiers);
    EXPECT_EQ(w->CurrentCell(), step.to) << step.from.row << "," << step.from.column;
  }
}

TEST_F(DataWindowTest, DeleteEmptiesTheSelection) {
  OpenWindow();
  UseLinearFit();
  for (int row = 1; row <= 3; ++row) Put(row, row, row * 10);
  w->SetCurrentCell({2, kXColumn});
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Delete);
  for (const auto& [row, x, y] :
       {std::tuple{1, "1", "10"}, std::tuple{2, "", ""}, std::tuple{3, "", ""}}) {
    EXPECT_EQ(Cell(row, kXColumn), x) << row;
    EXPECT_EQ(Cell(row, kYColumn), y) << row;
  }
  EXPECT_FALSE(S().FitActive);
  EXPECT_EQ(w->CurrentCell(), (GridCell{2, kXColumn}));
  const CellRect r = w->Selection();
  EXPECT_EQ(r.bottom, 2);
  EXPECT_EQ(r.right, kXColumn);
  EXPECT_FALSE(S().Points[1].XValid);
  EXPECT_TRUE(host.Called("RedrawGraph"));
}

TEST_F(DataWindowTest, DoubleClickTogglesEditMode) {
  OpenWindow();
  const QPoint y1 = w->StringGrid1->visualRect(w->model()->IndexOf({1, kYColumn})).center();
  QTest::mouseClick(w->StringGrid1->viewport(), Qt::LeftButton, {}, y1);
  EXPECT_EQ(w->CurrentCell(), (GridCell{1, kYColumn}));
  QTest::mouseDClick(w->StringGrid1->viewport(), Qt::LeftButton, {}, y1);
  EXPECT_TRUE(w->EditMode());
  ASSERT_NE(w->Editor(), nullptr);
  // Now the editor covers the cell and takes the double click.
  QTest::mouseDClick(w->Editor(), Qt::LeftButton, {}, w->Editor()->rect().center());
  EXPECT_FALSE(w->EditMode());
}

TEST_F(DataWindowTest, CopyCutAndPasteGoThroughTheSystemClipboard) {
  OpenWindow(4);
  Put(1, 1, 2);
  Put(2, 3, 4);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipText(), "1\t2\r\n3\t4\r\n");

  QGuiApplication::clipboard()->setText("7 8 9\r\n-1\t5,5\r\n6\r\n");
  w->SetCurrentCell({3, kXColumn});
  Type("4");  // an open edit; the paste ends edit mode
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_FALSE(w->EditMode());
  EXPECT_EQ(Cell(3, kXColumn), "7");
  EXPECT_EQ(Cell(3, kYColumn), "8");
  EXPECT_EQ(Cell(4, kXColumn), "-1");
  EXPECT_EQ(Cell(4, kYColumn), "5");  // the comma splits 5,5: its second 5 has no column left

  QGuiApplication::clipboard()->setText("11\r\n12\r\n");
  w->SetCurrentCell({1, kYColumn});
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Cell(1, kXColumn), "1");
  EXPECT_EQ(Cell(1, kYColumn), "11");
  EXPECT_EQ(Cell(2, kYColumn), "12");

  w->SetCurrentCell({3, kXColumn});
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(ClipText(), "7\r\n-1\r\n");
  EXPECT_EQ(Cell(3, kXColumn), "");
  EXPECT_EQ(Cell(4, kXColumn), "");
  EXPECT_EQ(Cell(4, kYColumn), "5");
}

TEST_F(DataWindowTest, CopyWhileEditingCopiesCells) {
  OpenWindow();
  Put(1, 1, 2);
  Type("9");
  ASSERT_NE(w->Editor(), nullptr);
  w->Editor()->selectAll();
  QTest::keyClick(w->Editor(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipText(), "9\r\n");
}

TEST_F(DataWindowTest, DuplicateKeepsEveryCellInItsColumn) {
  OpenWindow(3);
  WindowMaker maker(area, host, clipboard);
  ws.SetObserver(&maker);
  Put(1, 1, 2);
  S().Cells.SetNumber(2, kYColumn, 5);
  S().Cells.SetNumber(3, kXColumn, 6);
  w->DuplicateAction->trigger();
  EXPECT_EQ(ClipText(), "1\t2\r\n\t5\r\n6\t\r\n");
  ASSERT_EQ(area.subWindowList().size(), 2);
  auto* copy = qobject_cast<TSpreadF*>(area.subWindowList().at(1)->widget());
  ASSERT_NE(copy, nullptr);
  // The copy is in no file yet.
  EXPECT_EQ(copy->windowTitle().toStdString(), "Series Number: 2 *");
  CellGridModel* m = copy->model();
  EXPECT_EQ(m->rowCount(), 3);
  const auto text = [m](std::int32_t row, int column) {
    return m->data(m->IndexOf({row, column}), Qt::DisplayRole).toString().toStdString();
  };
  EXPECT_EQ(text(1, kXColumn) + "|" + text(1, kYColumn), "1|2");
  EXPECT_EQ(text(2, kXColumn) + "|" + text(2, kYColumn), "|5");
  EXPECT_EQ(text(3, kXColumn) + "|" + text(3, kYColumn), "6|");
}

TEST_F(DataWindowTest, SortXReordersTheRows) {
  OpenWindow(4);
  Put(1, 3, 30);
  Put(2, 1, 10);
  Put(3, 2, 20);
  w->SortAscendingAction->trigger();
  EXPECT_EQ(Cell(1, kXColumn) + Cell(2, kXColumn) + Cell(3, kXColumn), "123");
  EXPECT_EQ(Cell(1, kYColumn), "10");
  w->SortDescendingAction->trigger();
  EXPECT_EQ(Cell(1, kXColumn) + Cell(2, kXColumn) + Cell(3, kXColumn), "321");
  EXPECT_EQ(Cell(4, kXColumn), "");
}

struct Item {
  QString text;
  QKeySequence shortcut;
  int help;
};

QList<Item> ItemsOf(const QMenu* menu) {
  QList<Item> items;
  for (QAction* a : menu->actions()) {
    items.append({a->text(), a->shortcut(), a->property(kHelpContextProperty).toInt()});
  }
  return items;
}

void ExpectItems(const QMenu* menu, const QList<Item>& expected) {
  const QList<Item> items = ItemsOf(menu);
  ASSERT_EQ(items.size(), expected.size()) << menu->title().toStdString();
  for (qsizetype i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].text, expected[i].text);
    EXPECT_EQ(items[i].shortcut, expected[i].shortcut) << expected[i].text.toStdString();
    EXPECT_EQ(items[i].help, expected[i].help) << expected[i].text.toStdString();
  }
}

TEST_F(DataWindowTest, MenusCarryEveryItemForMerging) {
  OpenWindow();
  const QList<MenuGroup> groups = w->MenuGroups();
  QStringList titles;
  QList<int> indexes;
  for (const MenuGroup& g : groups) {
    indexes << g.first;
    titles << g.second->title();
  }
  EXPECT_EQ(indexes, (QList<int>{1, 2, 4, 5, 7}));
  EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Math", "&Regression", "&Graph"}));

  ExpectItems(w->FileMenu, {{"&New  Data", {}, 500},
                            {"New  &Text", {}, 500},
                            {"&Open", QKeySequence(Qt::Key_F3), 500},
                            {"&Save Data", {}, 500},
                            {"Save &Graph", {}, 500},
                            {"Save &Bitmap", {}, 500},
                            {"&Close Data", QKeySequence(Qt::ALT | Qt::Key_F3), 500},
                            {"Print &Data", {}, 1300},
                            {"&Print Graph", {}, 1300},
                            {"P&rint Setup...", {}, 1300},
                            {"E&xit", {}, 0}});
  ExpectItems(w->EditMenu, {{"&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), 400},
                            {"&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y), 400},
                            {"", {}, 0},
                            {"Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), 400},
                            {"&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), 400},
                            {"&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), 400}});
  ExpectItems(w->MathMenu, {{"&Calculator", {}, 1100},
                            {"&Operate on Cells", {}, 1120},
                            {"&Fill Cells", {}, 1140},
                            {"&X && Y Operations", {}, 1160},
                            {"Sort X &Ascending", {}, 1100},
                            {"Sort X &Descending", {}, 1100}});
  ExpectItems(w->RegressionMenu,
              {{"&Fit", {}, 1400}, {"&User Model...", {}, 1420}, {"&Clear Fit", {}, 1400}, {"Fit &Error %", {}, 1400}, {"Fit &Report", {}, 1400}});
  ExpectItems(w->GraphMenu, {{"&View", {}, 550},
                             {"&Auto Scale", {}, 550},
                             {"&Scale", {}, 1500},
                             {"&Grid", {}, 700},
                             {"&Log Scale", {}, 1000},
                             {"Graph &Type", {}, 600},
                             {"L&egend", {}, 900}});
  ExpectItems(w->GraphMenu->actions().last()->menu(), {{"&Main", {}, 900},
                                                       {"&X Axis", {}, 900},
                                                       {"&Y Axis", {}, 900},
                                                       {"&Series", {}, 900},
                                                       {"&Floating", {}, 0}});
  QStringList popup;
  for (const Item& i : ItemsOf(w->PopupMenu1)) popup << i.text;
  EXPECT_EQ(popup, (QStringList{"&Operate on Cells", "F&ill Cells", "&X && Y Operations", "&Fit",
                                "Graph &Type", "&Legend", "&Printer Color", "&Duplicate Data",
                                "&Save Data"}));
  QStringList legend;
  for (const Item& i : ItemsOf(w->PopupMenu1->actions().at(5)->menu())) legend << i.text;
  EXPECT_EQ(legend, (QStringList{"&Main", "&X  Axis", "&Y Axis", "&Series", "&Floating"}));
}

TEST_F(DataWindowTest, ItemsOfLaterWorkCallTheHost) {
  OpenWindow();
  host.calls.clear();
  const auto trigger = [](const QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
      if (a->text() == text) {
        // The wiring is what is tried here, whether or not the command is ready yet.
        a->setEnabled(true);
        a->trigger();
        return;
      }
    }
    ADD_FAILURE() << "no item " << text.toStdString();
  };
  const QMenu* legend = w->GraphMenu->actions().last()->menu();
  trigger(w->FileMenu, "&New  Data");
  trigger(w->FileMenu, "&Save Data");
  trigger(w->FileMenu, "P&rint Setup...");
  trigger(w->MathMenu, "&Fill Cells");
  trigger(w->RegressionMenu, "&Clear Fit");
  trigger(w->GraphMenu, "&View");
  trigger(w->GraphMenu, "&Scale");
  trigger(legend, "&Floating");
  trigger(w->PopupMenu1, "&Printer Color");
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"NewData", "SaveData 1", "PrintSetup", "FillCells",
                                      "ClearFitCommand", "ShowGraphWindow", "ShowScaleDialog",
                                      "ShowFloatingTitlesDialog", "ShowPrinterColorDialog"}));
}

TEST_F(DataWindowTest, ContextMenuTracksTheActiveChild) {
  OpenWindow();
  host.calls.clear();
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(100, 40),
                          w->StringGrid1->viewport()->mapToGlobal(QPoint(100, 40)));
  QApplication::sendEvent(w->StringGrid1->viewport(), &event);
  EXPECT_TRUE(host.Called("TrackActiveChild"));
  EXPECT_TRUE(w->PopupMenu1->isVisible());
  w->PopupMenu1->hide();
}

TEST_F(DataWindowTest, CloseAsksAndAbortKeepsTheWindow) {
  OpenWindow();
  Series* series = w->series();
  series->MarkUnsaved();
  QPointer<QMdiSubWindow> window = sub;
  prompts.answers = {Answer::Abort, Answer::Yes};
  w->CloseDataAction->trigger();
  EXPECT_EQ(prompts.questions, (std::vector<std::string>{"Possible data loss. Continue?"}));
  EXPECT_EQ(ws.DataWindows, (std::vector<Series*>{series}));
  EXPECT_FALSE(window.isNull());

  w->CloseDataAction->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(prompts.questions.size(), 2u);
  EXPECT_TRUE(ws.DataWindows.empty());
  EXPECT_FALSE(ws.SeriesNumberUsed[1]);
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(host.Called("DataWindowClosed"));
}

TEST_F(DataWindowTest, CloseWithoutQuestionForTheFrame) {
  OpenWindow();
  w->CloseWithoutQuestion();
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_TRUE(ws.DataWindows.empty());
}

TEST_F(DataWindowTest, AMillionRowsShowTheirLastRow) {
  OpenWindow(1000000);
  S().Cells.SetNumber(1000000, kYColumn, 42);
  w->StringGrid1->scrollToBottom();
  QApplication::processEvents();
  EXPECT_EQ(w->model()->headerData(999999, Qt::Vertical, Qt::DisplayRole).toString().toStdString(),
            "1000000");
  EXPECT_EQ(Cell(1000000, kYColumn), "42");
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(w->CurrentCell().row, 1000000);
}

}  // namespace
}  // namespace tavel
