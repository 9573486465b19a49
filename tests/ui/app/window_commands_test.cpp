#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include "core/fit/fit_engine.h"
#include "core/files/csv_file.h"

#include "core/files/atomic_file.h"
#include "core/files/graph_file.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "support/scripted_prompts.h"
#include "ui/app/main_frame.h"
#include "ui/datawin/data_window.h"
#include "ui/graph/graph_output.h"
#include "ui/graph/graph_window.h"
#include "ui/scale/grid_dialog.h"
#include "ui/scale/log_scale_dialog.h"
#include "ui/scale/prefer_dialog.h"
#include "ui/scale/scale_dialog.h"

namespace tavel {
namespace {

using testing::ScriptedPrompts;

// The frame with stand-ins for the windows that come later: a graph window that counts its
// redraws and saves (answering as saveAnswer) and text windows that only write down their calls.
class TestFrame : public TMDIMainF {
 public:
  using TMDIMainF::TMDIMainF;

  int redraws = 0;
  int graphSaves = 0;
  bool saveAnswer = true;
  std::vector<QString> textWindows;
  std::function<void(Series&)> afterSeriesCreated;

  void SeriesCreated(Series& series) override {
    TMDIMainF::SeriesCreated(series);
    if (afterSeriesCreated) afterSeriesCreated(series);
  }

 protected:
  void CreateGraphWindow() override {
    auto* graph = new QWidget;
    graph->setWindowTitle("Graph");
    AddChild(graph)->show();
    GraphWindow = graph;
  }
  void RedrawGraphWindow() override { ++redraws; }
  bool GraphWindowSaveGraph() override {
    ++graphSaves;
    return saveAnswer;
  }
  bool CreateTextWindow(const QString& path) override {
    textWindows.push_back(path);
    return true;
  }

 public:
  // The print dialog: confirmed into this PDF, cancelled while it is empty.
  QString pdf;
  bool ConfirmPrintJob(QPrinter& printer) override {
    if (pdf.isEmpty()) return false;
    UsePdfOutput(printer, pdf);
    return true;
  }
};

void Flush() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
}

QAction* ItemTitled(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
  }
  return nullptr;
}

class WindowCommandsTest : public ::testing::Test {
 protected:
  WindowCommandsTest() {
    frame =
        std::make_unique<TestFrame>(workspace, prompts, dir.filePath("tavel.cfg").toStdString());
    frame->CreateDialogs();
    frame->resize(1000, 800);
    frame->show();
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }

  std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
  void Write(const char* name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }
  std::vector<std::int32_t> Numbers() const {
    std::vector<std::int32_t> numbers;
    for (const Series* s : workspace.DataWindows) numbers.push_back(s->SeriesNumber);
    return numbers;
  }
  QList<TSpreadF*> Windows() const {
    Flush();
    QList<TSpreadF*> windows;
    for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList()) {
      if (auto* w = qobject_cast<TSpreadF*>(sub->widget())) windows << w;
    }
    return windows;
  }
  TSpreadF* WindowOf(std::int32_t number) const {
    Series* s = workspace.FindSeries(number);
    return s ? frame->DataWindowOf(*s) : nullptr;
  }
  QToolButton* Button(const char* hint) const {
    for (QToolButton* b : frame->toolButtons()) {
      if (b->toolTip() == hint) return b;
    }
    return nullptr;
  }
  void OpenFile(const std::string& path, int filter) {
    prompts.fileNames = {path};
    prompts.chosenFilters = {filter};
    frame->Open();
    Flush();
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Workspace workspace{prompts};
  std::unique_ptr<TestFrame> frame;
};

TEST_F(WindowCommandsTest, NewDataStopsAtTheSeriesLimit) {
  workspace.Settings.MaxDataIndex = 7;
  for (int i = 0; i < MaxSeries; ++i) frame->NewDataAction->trigger();
  ASSERT_EQ(Windows().size(), MaxSeries);
  EXPECT_EQ(workspace.DataWindows.front()->MaxIndex, 7);
  EXPECT_EQ(prompts.beeps, 0);

  frame->NewDataAction->trigger();
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(prompts.errors,
            std::vector<std::string>{"Sorry the number of series is LIMITED to 21."});
  EXPECT_EQ(Windows().size(), MaxSeries);
  EXPECT_EQ(workspace.DataWindows.size(), static_cast<std::size_t>(MaxSeries));
}

TEST_F(WindowCommandsTest, NumbersOfClosedWindowsAreReusedInOrder) {
  for (int i = 0; i < 3; ++i) Button("New Data")->click();
  EXPECT_EQ(frame->ActiveDataWindow(), WindowOf(3));
  prompts.answers = {Answer::Yes};
  WindowOf(2)->CloseDataAction->trigger();
  EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{1, 3}));
  EXPECT_EQ(Windows().size(), 2);

  frame->NewData();
  EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{1, 2, 3}));
  ASSERT_EQ(Windows().size(), 3);
  EXPECT_EQ(WindowOf(2)->windowTitle(), "Series Number: 2");
  EXPECT_EQ(frame->ActiveDataWindow(), WindowOf(2));
}

TEST_F(WindowCommandsTest, OpenDialogStartsWithTheGraphFilterAndRemembersTheChoice) {
  Write("a.prn", "1 2\r\n");
  OpenFile(Path("a.prn"), kDataFilter);
  OpenFile(Path("a.prn"), kDataFilter);
  ASSERT_EQ(prompts.dialogs.size(), 2u);
  const FileDialogOptions& first = prompts.dialogs[0];
  ASSERT_EQ(first.filters.size(), 5u);
  const char* names[] = {"Data File", "Graph File", "Text File", "Any File as Text", "CSV File"};
  const char* patterns[] = {"*.prn *.dat *.txt *.csv *.tsv *.xy *.asc *.out", "*.gra", "*.txt", "*.*",
                            "*.csv *.tsv"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(first.filters[i].name, names[i]);
    EXPECT_EQ(first.filters[i].patterns, patterns[i]);
  }
  EXPECT_EQ(first.filterIndex, kGraphFilter);
  EXPECT_EQ(prompts.dialogs[1].filterIndex, kDataFilter);
  EXPECT_EQ(prompts.dialogs[1].fileName, Path("a.prn"));
}

TEST(OpenKindTest, ExtensionRuleOnFourCharactersInAnyCase) {
  const struct {
    const char* path;
    int filter;
    OpenKind kind;
  } cases[] = {
      {"/d/a.PRN", kGraphFilter, OpenKind::DataFile},
      {"/d/a.prn", kDataFilter, OpenKind::DataFile},
      {"/d/a.prnx", kDataFilter, OpenKind::DataFile},
      {"/d/a.Gra", kDataFilter, OpenKind::GraphFile},
      {"/d/a.grab", kGraphFilter, OpenKind::GraphFile},
      // Any other name opens as data, but under the graph filter.
      {"/d/a.txt", kDataFilter, OpenKind::DataFile},
      {"/d/a.prn.bak", kDataFilter, OpenKind::DataFile},
      {"/d.prn/a", kDataFilter, OpenKind::DataFile},
      {"/d/a", kGraphFilter, OpenKind::Nothing},
      {"/d/a.prn", kTextFilter, OpenKind::TextFile},
      {"/d/a.gra", kAnyAsTextFilter, OpenKind::TextFile},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OpenKindOf(c.path, c.filter), c.kind) << c.path << " filter " << c.filter;
  }
}

TEST_F(WindowCommandsTest, OpenDispatchesByFilterAndExtension) {
  Write("A.PRN", "1 2 3\r\n4 5 6\r\n");
  Write("b.txt", "1 2\r\n");
  Write("c.prnx", "7 8\r\n");

  // Plain text of any other name opens as data under the data filter.
  OpenFile(Path("b.txt"), kDataFilter);
  ASSERT_EQ(Windows().size(), 1);
  EXPECT_EQ(workspace.FindSeries(1)->Cells.Text(1, kYColumn), "2");
  EXPECT_TRUE(frame->textWindows.empty());

  OpenFile(Path("A.PRN"), kGraphFilter);
  ASSERT_EQ(Windows().size(), 3);
  EXPECT_EQ(WindowOf(2)->windowTitle(), "Series Number: 2   -   A.PRN");
  EXPECT_EQ(WindowOf(3)->series()->FileName, Path("A.PRN"));
  EXPECT_EQ(WindowOf(3)->SubWindow()->windowTitle(), "Series Number: 3   -   A.PRN");

  OpenFile(Path("c.prnx"), kDataFilter);
  ASSERT_EQ(Windows().size(), 4);
  EXPECT_EQ(frame->ActiveDataWindow(), WindowOf(4));
  EXPECT_EQ(workspace.FindSeries(4)->Cells.Text(1, kYColumn), "8");

  if (CommandReady(Command::OpenTextFile)) {
    OpenFile(Path("b.txt"), kTextFilter);
    EXPECT_EQ(frame->textWindows, std::vector<QString>{dir.filePath("b.txt")});
  }
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(WindowCommandsTest, TextFiltersStopAtTheTextWindowLimit) {
  if (!CommandReady(Command::OpenTextFile)) GTEST_SKIP() << "text windows are not built yet";
  for (int i = 0; i < MaxTextWindows; ++i) frame->TextWindows << nullptr;
  Write("b.txt", "x");
  OpenFile(Path("b.txt"), kAnyAsTextFilter);
  frame->NewTextAction->trigger();
  EXPECT_TRUE(frame->textWindows.empty());
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(prompts.errors,
            std::vector<std::string>(2, "Sorry the number of Text files is LIMITED to 10."));
  frame->TextWindows.clear();
}

TEST_F(WindowCommandsTest, GraphFileAsksWhenDataWindowsExistAndAbortLeavesEverything) {
  frame->NewData();
  Series* kept = workspace.DataWindows.front();
  kept->Cells.SetNumber(1, kYColumn, 5);
  kept->MarkUnsaved();
  frame->ShowGraphWindow();
  workspace.Settings.XTicks = 2;
  const std::string good = Path("g.gra");
  // Series 2 and 5 of three rows each, four X ticks.
  {
    Workspace other{prompts};
    other.Settings.XTicks = 4;
    for (const std::int32_t number : {5, 2}) {
      other.UseGivenSeriesNumber = true;
      other.GivenSeriesNumber = number;
      other.Settings.NextDataSize = 3;
      other.CreateSeries().Cells.SetNumber(1, kXColumn, number);
    }
    other.SortDataWindows();
    WriteGraphFile(other, good);
  }
  workspace.Settings.GraphFileName = "old.gra";

  OpenFile(good, kGraphFilter);  // Abort
  EXPECT_EQ(prompts.questions, std::vector<std::string>{"Possible data loss. Continue?"});
  EXPECT_EQ(workspace.Settings.GraphFileName, "old.gra");
  EXPECT_EQ(Numbers(), std::vector<std::int32_t>{1});

  // A file that cannot be read changes nothing at all, not even the name the next save uses.
  const struct {
    const char* name;
    std::string text;
    const char* why;  // said under the box's text
  } broken[] = {{"empty.gra", "", "line 1: the file ends too early"},
                {"cut.gra", "1\r\n3\r\n7\r\n", "line 2: a row count the file cannot hold"},
                {"number99.gra", "1\r\n0\r\n99\r\n", "line 3: a value no setting can take"}};
  for (const auto& b : broken) {
    SCOPED_TRACE(b.name);
    Write(b.name, b.text);
    prompts.errors.clear();
    prompts.answers = {Answer::Yes};
    OpenFile(Path(b.name), kGraphFilter);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{IncompatibleFormatText(Path(b.name)) +
                                                       "\n(" + b.why + ")"});
    EXPECT_EQ(workspace.Settings.GraphFileName, "old.gra");
    EXPECT_FALSE(workspace.Settings.GraphLoadFailed);
    EXPECT_EQ(Numbers(), std::vector<std::int32_t>{1});
    EXPECT_EQ(workspace.DataWindows.front(), kept);
    EXPECT_EQ(kept->Cells.Text(1, kYColumn), "5");
    EXPECT_FALSE(frame->GraphWindow.isNull());
  }

  // Yes on a good file: the windows are replaced, the graph shown and drawn.
  prompts.errors.clear();
  prompts.answers = {Answer::Yes};
  const int redraws = frame->redraws;
  OpenFile(good, kGraphFilter);
  EXPECT_TRUE(prompts.errors.empty());
  EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{2, 5}));
  ASSERT_EQ(Windows().size(), 2);
  EXPECT_EQ(WindowOf(5)->windowTitle(), "Series Number: 5");
  EXPECT_EQ(workspace.FindSeries(5)->Cells.Text(1, kXColumn), "5");
  EXPECT_EQ(workspace.Settings.GraphFileName, good);
  EXPECT_EQ(workspace.Settings.XTicks, 4);
  EXPECT_FALSE(frame->GraphWindow.isNull());
  EXPECT_GT(frame->redraws, redraws);
  EXPECT_FALSE(workspace.Settings.GraphJustCreated);
  EXPECT_FALSE(workspace.Settings.GraphLoadFailed);
}

TEST_F(WindowCommandsTest, DataFileThatVanishesBetweenThePassesClosesTheLastNewWindow) {
  const std::string path = Path("gone.prn");
  Write("gone.prn", "1 2 3\r\n4 5 6\r\n");
  // The windows are made between the counting pass and the reading pass.
  frame->afterSeriesCreated = [&](Series&) { std::filesystem::remove(path); };
  OpenFile(path, kDataFilter);
  frame->afterSeriesCreated = nullptr;
  EXPECT_EQ(prompts.errors, std::vector<std::string>{IncompatibleFormatText(path)});
  // What it held came from the file: closing it loses nothing, so nothing is asked.
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_EQ(Numbers(), std::vector<std::int32_t>{1});
  EXPECT_EQ(Windows().size(), static_cast<qsizetype>(workspace.DataWindows.size()));
}

TEST_F(WindowCommandsTest, SaveDataWritesTheFileAndNamesItInTheCaption) {
  frame->NewData();
  TSpreadF* w = WindowOf(1);
  w->series()->Cells.SetNumber(1, kXColumn, 1.5L);
  w->series()->Cells.SetNumber(1, kYColumn, -2);
  prompts.fileNames = {Path("out.prn")};
  ItemTitled(w->FileMenu, "&Save Data")->trigger();
  EXPECT_TRUE(std::filesystem::exists(Path("out.prn")));
  EXPECT_EQ(w->windowTitle(), "Series Number: 1   -   OUT.PRN");
  EXPECT_EQ(w->SubWindow()->windowTitle(), "Series Number: 1   -   OUT.PRN");
  EXPECT_EQ(std::filesystem::file_size(Path("out.prn")), 10u * 49u);

  // Cancelled: nothing changes.
  ItemTitled(w->PopupMenu1, "&Save Data")->trigger();
  EXPECT_EQ(w->windowTitle(), "Series Number: 1   -   OUT.PRN");
}

TEST_F(WindowCommandsTest, DuplicateGetsItsWindowThroughTheWorkspace) {
  frame->NewData();
  TSpreadF* w = WindowOf(1);
  w->series()->Cells.SetNumber(2, kYColumn, 9);
  w->DuplicateAction->trigger();
  ASSERT_EQ(Windows().size(), 2);
  EXPECT_EQ(Numbers(), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(frame->ActiveDataWindow(), WindowOf(2));
  EXPECT_EQ(WindowOf(2)->series()->Cells.Text(2, kYColumn), "9");
}

TEST_F(WindowCommandsTest, ClearAllWithoutWindowsResetsAndRereadsTheSettings) {
  workspace.Settings.XTicks = 5;
  workspace.Settings.LogX = true;
  workspace.Settings.GraphFileName = "x.gra";
  std::ofstream(frame->settingsPath(), std::ios::binary) << "7\r\n3\r\n0\r\n1\r\n";
  frame->ClearAllAction->trigger();
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_EQ(workspace.Settings.XTicks, 1);
  EXPECT_FALSE(workspace.Settings.LogX);
  EXPECT_EQ(workspace.Settings.GraphFileName, "NoName.gra");
  EXPECT_EQ(workspace.Settings.MaxDataIndex, 7);
  EXPECT_EQ(workspace.Settings.BarWidth, 3);
}

TEST_F(WindowCommandsTest, ClearAllAndCloseAllAskOnceAndAbortKeepsTheWindows) {
  frame->NewData();
  frame->NewData();
  workspace.DataWindows.back()->MarkUnsaved();
  workspace.Settings.XTicks = 5;
  frame->ClearAllAction->trigger();
  frame->CloseAllAction->trigger();
  EXPECT_EQ(prompts.questions.size(), 2u);
  EXPECT_EQ(Windows().size(), 2);
  EXPECT_EQ(workspace.Settings.XTicks, 5);

  prompts.answers = {Answer::Yes};
  frame->CloseAllAction->trigger();
  EXPECT_EQ(prompts.questions.size(), 3u);
  EXPECT_TRUE(workspace.DataWindows.empty());
  EXPECT_TRUE(Windows().isEmpty());
  EXPECT_EQ(workspace.Settings.XTicks, 5);
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::None);

  frame->CloseAllAction->trigger();  // nothing open: no question
  EXPECT_EQ(prompts.questions.size(), 3u);
}

TEST_F(WindowCommandsTest, ExitWithDataWindowsYesNoCancel) {
  const struct {
    Answer answer;
    bool saved;
    bool closes;
    int saves;
  } cases[] = {{Answer::Cancel, true, false, 0},
               {Answer::No, true, true, 0},
               {Answer::Yes, true, true, 1},
               // The save dialog cancelled or the write failed: nothing is lost, nothing closes.
               {Answer::Yes, false, false, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.answer));
    frame->show();
    frame->Closing = false;
    frame->graphSaves = 0;
    frame->saveAnswer = c.saved;
    frame->NewData();
    frame->NewData();
    workspace.DataWindows.back()->MarkUnsaved();
    prompts.questions.clear();
    prompts.answers = {c.answer};
    frame->ExitAction->trigger();
    Flush();
    EXPECT_EQ(prompts.questions,
              std::vector<std::string>{"Save & Exit [YES] -- No Save & Exit [NO] -- Cancel Exit "
                                       "[CANCEL]"});
    EXPECT_EQ(frame->isVisible(), !c.closes);
    EXPECT_EQ(frame->Closing, c.closes);
    EXPECT_EQ(frame->graphSaves, c.saves);
    EXPECT_EQ(workspace.DataWindows.empty(), c.closes);
    EXPECT_EQ(Windows().isEmpty(), c.closes);
    // Yes shows the graph window for its save; the close takes it down again.
    EXPECT_EQ(frame->GraphWindow.isNull(), c.closes || c.saves == 0);
    frame->CloseWindows(true);
  }
  // With nothing open the frame closes without a word.
  frame->show();
  prompts.questions.clear();
  frame->close();
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_FALSE(frame->isVisible());
}

TEST_F(WindowCommandsTest, GraphWindowClosesWithTheLastDataWindowAndRedrawsBefore) {
  frame->NewData();
  frame->NewData();
  Button("View Graph")->click();
  ASSERT_FALSE(frame->GraphWindow.isNull());
  EXPECT_TRUE(workspace.Settings.GraphJustCreated);
  const int redraws = frame->redraws;

  prompts.answers = {Answer::Yes, Answer::Yes};
  WindowOf(2)->CloseData();
  Flush();
  EXPECT_EQ(frame->redraws, redraws + 1);
  EXPECT_FALSE(frame->GraphWindow.isNull());

  // While the frame closes, windows going down leave the graph window alone.
  frame->Closing = true;
  WindowOf(1)->CloseData();
  Flush();
  EXPECT_FALSE(frame->GraphWindow.isNull());
  EXPECT_EQ(frame->redraws, redraws + 1);
  frame->Closing = false;

  frame->NewData();
  prompts.answers = {Answer::Yes};
  WindowOf(1)->CloseData();
  Flush();
  EXPECT_TRUE(frame->GraphWindow.isNull());
  EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());

  // No data window: the graph buttons do nothing.
  for (const char* hint : {"View Graph", "Save Graph", "Graph Scale", "Graph Grid"}) {
    Button(hint)->click();
  }
  EXPECT_TRUE(frame->GraphWindow.isNull());
  EXPECT_EQ(frame->graphSaves, 0);
}

TEST_F(WindowCommandsTest, SeriesDestroyedElsewhereTakesItsWindowAlong) {
  frame->NewData();
  frame->NewData();
  frame->NewData();
  frame->ShowGraphWindow();
  const int redraws = frame->redraws;
  QPointer<TSpreadF> second = WindowOf(2);
  workspace.DestroySeries(*workspace.FindSeries(2));
  EXPECT_EQ(second->series(), nullptr);
  EXPECT_EQ(frame->redraws, redraws + 1);
  Flush();
  EXPECT_TRUE(second.isNull());
  EXPECT_EQ(Windows().size(), 2);

  // As a graph file load does it: every series at once, from the last.
  workspace.DestroyAllSeries();
  Flush();
  EXPECT_TRUE(Windows().isEmpty());
  EXPECT_TRUE(frame->GraphWindow.isNull());
  EXPECT_TRUE(prompts.questions.empty());
}

TEST_F(WindowCommandsTest, FrameDestroyedWithWindowsOpenTakesTheirSeries) {
  frame->NewData();
  frame->NewData();
  WindowOf(1)->CloseWithoutQuestion();  // still waiting for its deferred delete
  frame.reset();
  EXPECT_TRUE(workspace.DataWindows.empty());
  EXPECT_FALSE(workspace.SeriesNumberUsed[1]);
  EXPECT_FALSE(workspace.SeriesNumberUsed[2]);
  Flush();
}

TEST_F(WindowCommandsTest, CopyAndPasteButtonsGoToTheActiveDataWindowOrBeep) {
  Button("Copy")->click();
  Button("Paste")->click();
  EXPECT_EQ(prompts.beeps, 2);

  frame->NewData();
  TSpreadF* w = WindowOf(1);
  w->series()->Cells.SetNumber(1, kXColumn, 4);
  Button("Copy")->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "4\r\n");
  QGuiApplication::clipboard()->setText("5\t6\r\n");
  Button("Paste")->click();
  EXPECT_EQ(w->series()->Cells.Text(1, kXColumn), "5");
  EXPECT_EQ(w->series()->Cells.Text(1, kYColumn), "6");
  EXPECT_EQ(prompts.beeps, 2);
}

TEST_F(WindowCommandsTest, AutoScaleSetsNiceLimitsAndShowsTheGraph) {
  frame->NewData();
  Series& s = *workspace.FindSeries(1);
  s.Cells.SetNumber(1, kXColumn, 0.3L);
  s.Cells.SetNumber(1, kYColumn, 1);
  s.Cells.SetNumber(2, kXColumn, 9.2L);
  s.Cells.SetNumber(2, kYColumn, 47);
  ItemTitled(WindowOf(1)->GraphMenu, "&Auto Scale")->trigger();
  EXPECT_LE(workspace.Settings.XScaleMin, 0.3L);
  EXPECT_GE(workspace.Settings.XScaleMax, 9.2L);
  EXPECT_LE(workspace.Settings.YLScaleMin, 1);
  EXPECT_GE(workspace.Settings.YLScaleMax, 47);
  EXPECT_FALSE(frame->GraphWindow.isNull());
  EXPECT_GE(frame->redraws, 1);
}

TEST_F(WindowCommandsTest, ScaleAndGridOpenModallyAndRedrawAfterwards) {
  frame->NewData();
  frame->ShowGraphWindow();
  const struct {
    const char* how;
    std::function<void()> run;
    QDialog* expected;
  } cases[] = {
      {"&Scale", [&] { ItemTitled(WindowOf(1)->GraphMenu, "&Scale")->trigger(); }, frame->ScaleF},
      {"&Grid", [&] { ItemTitled(WindowOf(1)->GraphMenu, "&Grid")->trigger(); }, frame->GridF},
      {"Graph Scale", [&] { Button("Graph Scale")->click(); }, frame->ScaleF},
      {"Graph Grid", [&] { Button("Graph Grid")->click(); }, frame->GridF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&] {
      shown = QApplication::activeModalWidget();
      if (shown) static_cast<QDialog*>(shown)->reject();
    });
    const int redraws = frame->redraws;
    c.run();
    EXPECT_EQ(shown, c.expected);
    EXPECT_GE(frame->redraws, redraws + 1);
  }
  // The dialogs reach the frame's graph window through their hooks.
  const int redraws = frame->redraws;
  frame->ScaleF->RedrawGraph();
  frame->GridF->RedrawGraph();
  EXPECT_EQ(frame->redraws, redraws + 2);
}

TEST_F(WindowCommandsTest, PreferencesAndLogScaleOpenFromTheirItemsAndRedrawAfterwards) {
  frame->NewData();
  frame->ShowGraphWindow();
  int redraws = frame->redraws;
  QTimer::singleShot(0, [&] {
    ASSERT_EQ(QApplication::activeModalWidget(), frame->PreferF);
    frame->PreferF->MaxLenth1->setText("25");
    frame->PreferF->OKBtn->click();
  });
  frame->PreferencesAction->trigger();
  EXPECT_EQ(frame->redraws, redraws + 1);
  EXPECT_TRUE(std::filesystem::exists(frame->settingsPath()));
  // Only data windows made from now on take the new row count.
  frame->NewData();
  EXPECT_EQ(workspace.FindSeries(1)->MaxIndex, 10);
  EXPECT_EQ(workspace.FindSeries(2)->MaxIndex, 25);

  redraws = frame->redraws;
  QTimer::singleShot(0, [&] {
    ASSERT_EQ(QApplication::activeModalWidget(), frame->LogScaleF);
    frame->LogScaleF->LogBoxItems->button(1)->click();  // "Y": redrawn at once
    frame->LogScaleF->OKBtn->click();
  });
  ItemTitled(WindowOf(1)->GraphMenu, "&Log Scale")->trigger();
  EXPECT_TRUE(workspace.Settings.LogY);
  EXPECT_FALSE(workspace.Settings.LogX);
  EXPECT_GE(frame->redraws, redraws + 2);
}

TEST_F(WindowCommandsTest, PrintDataPrintsEverySeriesOnceTheDialogIsConfirmed) {
  frame->NewData();
  frame->NewData();
  workspace.FindSeries(2)->Cells.SetText(1, kYColumn, "42");
  QAction* print = ItemTitled(WindowOf(1)->FileMenu, "Print &Data");
  ASSERT_TRUE(print->isEnabled());
  print->trigger();  // cancelled
  frame->pdf = dir.filePath("data.pdf");
  EXPECT_FALSE(QFile::exists(frame->pdf));
  print->trigger();
  EXPECT_GT(QFileInfo(frame->pdf).size(), 0);
  EXPECT_TRUE(prompts.reports.empty());
}

TEST_F(WindowCommandsTest, F3OpensTheDialogWithAndWithoutADataWindow) {
  QTest::keyClick(frame.get(), Qt::Key_F3);
  EXPECT_EQ(prompts.dialogs.size(), 1u);

  frame->NewData();
  TSpreadF* w = WindowOf(1);
  w->StringGrid1->setFocus();
  EXPECT_TRUE(frame->OpenAction->shortcut().isEmpty());
  QTest::keyClick(w->StringGrid1, Qt::Key_F3);
  EXPECT_EQ(prompts.dialogs.size(), 2u);
  // Also while a cell is being edited.
  QTest::keyClick(w->StringGrid1, Qt::Key_5);
  ASSERT_NE(w->Editor(), nullptr);
  QTest::keyClick(w->Editor(), Qt::Key_F3);
  EXPECT_EQ(prompts.dialogs.size(), 3u);

  prompts.answers = {Answer::Yes};
  w->CloseData();
  Flush();
  EXPECT_EQ(frame->OpenAction->shortcut(), QKeySequence(Qt::Key_F3));
  QTest::keyClick(frame.get(), Qt::Key_F3);
  EXPECT_EQ(prompts.dialogs.size(), 4u);
}

}  // namespace
}  // namespace tavel

namespace tavel {
namespace {

// The real graph window inside the real frame: created by the frame, drawn from the typed
// numbers, merged into the menu bar, gone with the last data window and with the frame.
TEST(FrameGraphWindowTest, ViewGraphDrawsTheSeriesAndGoesWithTheLastDataWindow) {
  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  Workspace workspace{prompts};
  auto frame =
      std::make_unique<TMDIMainF>(workspace, prompts, dir.filePath("tavel.cfg").toStdString());
  frame->CreateDialogs();
  frame->resize(1000, 800);
  frame->show();
  frame->NewData();
  Series& series = *workspace.DataWindows.front();
  for (int row = 1; row <= 3; ++row) {
    series.Cells.SetNumber(row, kXColumn, row);
    series.Cells.SetNumber(row, kYColumn, row * row);
  }
  frame->ViewGraph();
  Flush();
  auto* graph = qobject_cast<TGraphF*>(frame->GraphWindow.data());
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::GraphWindow);
  EXPECT_EQ(series.PointCount, 3);  // the redraw sorted and measured the series
  // F3 reaches Open while the graph window is the active child.
  frame->activateWindow();
  QWidget* focused = QApplication::focusWidget();
  ASSERT_NE(focused, nullptr);
  QTest::keyClick(focused, Qt::Key_F3);
  EXPECT_EQ(prompts.dialogs.size(), 1u);

  prompts.answers = {Answer::Yes};
  frame->DataWindowOf(series)->CloseData();
  Flush();
  EXPECT_TRUE(frame->GraphWindow.isNull());

  frame->NewData();
  frame->ViewGraph();
  Flush();
  EXPECT_FALSE(frame->GraphWindow.isNull());
  frame.reset();  // the frame takes the graph window down with it
  EXPECT_TRUE(workspace.DataWindows.empty());
}

// Save Graph from the real graph window, then the file opened again: caption, questions,
// a failed save, the fit column refilled and the windows tiled side by side.
TEST(FrameGraphWindowTest, SaveGraphAndOpenItAgain) {
  QTemporaryDir dir;
  const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
  testing::ScriptedPrompts prompts;
  Workspace workspace{prompts};
  auto frame =
      std::make_unique<TMDIMainF>(workspace, prompts, dir.filePath("tavel.cfg").toStdString());
  frame->CreateDialogs();
  frame->resize(1000, 800);
  frame->show();
  frame->NewData();
  Series& series = *workspace.DataWindows.front();
  for (int row = 1; row <= 3; ++row) {
    series.Cells.SetNumber(row, kXColumn, row);
    series.Cells.SetNumber(row, kYColumn, 2 * row + (row == 2 ? 0.5L : 0));
  }
  series.Fit.FitKind = 1;
  TFitObj(series).RunFit();
  ASSERT_TRUE(series.FitActive);
  frame->ViewGraph();
  Flush();
  auto* graph = qobject_cast<TGraphF*>(frame->GraphWindow.data());
  ASSERT_NE(graph, nullptr);
  ASSERT_TRUE(graph->SaveGraph1->isEnabled());

  prompts.fileNames = {path("mine.gra")};
  graph->SaveGraph1->trigger();
  ASSERT_EQ(prompts.dialogs.size(), 1u);
  EXPECT_EQ(prompts.dialogs[0].fileName, "NoName");
  EXPECT_EQ(prompts.dialogs[0].defaultExtension, "gra");
  EXPECT_EQ(workspace.Settings.GraphFileName, path("mine.gra"));
  EXPECT_EQ(graph->SubWindow()->windowTitle(), "Graph   -   MINE.GRA");
  EXPECT_TRUE(std::filesystem::exists(path("mine.gra")));

  // Its own name: no question. Another file that exists: asked, and No opens the dialog again.
  std::ofstream(path("other.gra")) << "x";
  prompts.fileNames = {path("mine.gra"), path("other.gra"), path("third.gra")};
  prompts.answers = {Answer::No};
  graph->SaveGraph1->trigger();
  EXPECT_TRUE(prompts.questions.empty());
  graph->SaveGraph1->trigger();
  EXPECT_EQ(prompts.questions, std::vector<std::string>{"The File [ " + path("other.gra") +
                                                        " ] already exists overwrite it?"});
  EXPECT_EQ(prompts.dialogs.size(), 4u);
  EXPECT_EQ(prompts.dialogs[3].fileName, path("mine"));
  EXPECT_EQ(workspace.Settings.GraphFileName, path("third.gra"));

  // A failed save says why and leaves the name and the caption.
  prompts.fileNames = {path("no/such/folder/x.gra")};
  graph->SaveGraph1->trigger();
  EXPECT_EQ(prompts.reports.size(), 1u);
  EXPECT_EQ(workspace.Settings.GraphFileName, path("third.gra"));
  EXPECT_EQ(graph->SubWindow()->windowTitle(), "Graph   -   THIRD.GRA");

  // Opened again over two new windows.
  frame->NewData();
  prompts.answers = {Answer::Yes};
  prompts.fileNames = {path("mine.gra")};
  frame->Open();
  Flush();
  ASSERT_EQ(workspace.DataWindows.size(), 1u);
  const Series& read = *workspace.DataWindows.front();
  EXPECT_EQ(read.SeriesNumber, 1);
  for (int row = 1; row <= 3; ++row) {
    ASSERT_FALSE(read.Cells.IsEmpty(row, kFitColumn)) << row;
  }
  graph = qobject_cast<TGraphF*>(frame->GraphWindow.data());
  ASSERT_NE(graph, nullptr);
  EXPECT_EQ(graph->SubWindow()->windowTitle(), "Graph   -   MINE.GRA");
  QList<QMdiSubWindow*> shown;
  for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList()) {
    if (sub->isVisible()) shown << sub;
  }
  ASSERT_EQ(shown.size(), 2);
  const int width = frame->mdiArea()->viewport()->width();
  EXPECT_EQ(shown[0]->width() + shown[1]->width(), width);
  EXPECT_EQ(shown[0]->y(), 0);
  EXPECT_EQ(shown[1]->y(), 0);
  EXPECT_NE(shown[0]->x(), shown[1]->x());

  // The command line takes the same road: a file it cannot read changes nothing.
  std::ofstream(path("bad.gra")) << "2\r\n";
  prompts.errors.clear();
  frame->LoadGraphFileFromCommandLine(dir.filePath("bad.gra"));
  EXPECT_EQ(prompts.errors, std::vector<std::string>{IncompatibleFormatText(path("bad.gra")) +
                                                     "\n(line 1: a series count the file cannot hold)"});
  EXPECT_EQ(workspace.Settings.GraphFileName, path("mine.gra"));
  EXPECT_EQ(frame->GraphWindow.data(), graph);
  frame.reset();
}

}  // namespace
}  // namespace tavel

namespace tavel {
namespace {

TEST_F(WindowCommandsTest, PerSeriesLoopStepsToTheNextUsedNumberAndRestoresMinimised) {
  frame->show();
  for (int i = 0; i < 9; ++i) frame->NewData();
  for (const std::int32_t gone : {1, 3, 4, 6, 7, 8}) WindowOf(gone)->CloseWithoutQuestion();
  Flush();
  ASSERT_EQ(Numbers(), (std::vector<std::int32_t>{2, 5, 9}));
  WindowOf(5)->SubWindow()->showMinimized();
  frame->mdiArea()->setActiveSubWindow(WindowOf(9)->SubWindow());
  frame->TrackActiveChild();

  std::vector<std::int32_t> shown;
  int nexts = 3;
  frame->RunPerSeriesLoop("Test", [&] {
    shown.push_back(frame->ActiveDataWindow()->series()->SeriesNumber);
    workspace.Settings.NextSeriesRequested = nexts-- > 0;
  });
  EXPECT_EQ(shown, (std::vector<std::int32_t>{9, 2, 5, 9}));
  EXPECT_FALSE(WindowOf(5)->SubWindow()->isMinimized());
  EXPECT_FALSE(workspace.Settings.NextSeriesRequested);

  // A request left over from elsewhere is not this loop's: one show only.
  shown.clear();
  workspace.Settings.NextSeriesRequested = true;
  frame->RunPerSeriesLoop("Test",
      [&] { shown.push_back(frame->ActiveDataWindow()->series()->SeriesNumber); });
  EXPECT_EQ(shown.size(), 1u);
}

}  // namespace
}  // namespace tavel

namespace tavel {
namespace {

TEST_F(WindowCommandsTest, CsvDropsAndRecentFilesOpenAsOpenWould) {
  Write("m.csv", "t;volts\n1;2,5\n2;n/a\n");
  OpenFile(Path("m.csv"), kCsvFilter);
  ASSERT_EQ(Windows().size(), 1);
  EXPECT_EQ(workspace.FindSeries(1)->SeriesTitle, "volts");
  EXPECT_EQ(workspace.FindSeries(1)->Cells.Text(1, kYColumn), "2.5");
  EXPECT_EQ(prompts.errors, std::vector<std::string>{CsvNotNumbersText(Path("m.csv"), 1)});

  // A dropped data file opens like "Open"; any other name is read as data, and says when it
  // holds no numbers.
  Write("d.prn", "1 2\r\n");
  Write("x.jpg", "?");
  QMimeData mime;
  mime.setUrls(
      {QUrl::fromLocalFile(dir.filePath("d.prn")), QUrl::fromLocalFile(dir.filePath("x.jpg"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame.get(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame.get(), &drop);
  EXPECT_EQ(Windows().size(), 2);
  EXPECT_EQ(prompts.errors.back(), "The file " + Path("x.jpg") + " holds no numbers.");

  // Both files are listed newest first in the frame's "File" menu; a vanished one is dropped
  // with a message when chosen.
  QStringList listed;
  QAction* first = nullptr;
  for (QAction* action : qobject_cast<QMenu*>(frame->ExitAction->parent())->actions()) {
    if (action->text().startsWith("&1 ")) first = action;
    if (action->text().startsWith("&")) listed << action->text();
  }
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->text().endsWith("d.prn")) << first->text().toStdString();
  QFile::remove(dir.filePath("d.prn"));
  prompts.errors.clear();
  first->trigger();
  ASSERT_EQ(prompts.errors.size(), 1u);
  EXPECT_NE(prompts.errors[0].find("no longer exists"), std::string::npos);
  EXPECT_EQ(Windows().size(), 2);
}

}  // namespace
}  // namespace tavel
