#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "core/files/recovery_file.h"
#include "support/frame_fixture.h"
#include "ui/app/recovery_keeper.h"
#include "ui/text/text_window.h"

namespace tavel {
namespace {

class HistoryWindowTest : public testing::FrameFixture {
 protected:
  TSpreadF* NewWindow() {
    frame->NewData();
    return WindowOf(*workspace.DataWindows.back());
  }
  void Paste(TSpreadF* w, const char* text) {
    QGuiApplication::clipboard()->setText(text);
    w->PasteAction->trigger();
  }
  QToolButton* Button(const char* hint) {
    for (QToolButton* b : frame->toolButtons()) {
      if (b->toolTip() == hint) return b;
    }
    return nullptr;
  }
  std::string Path(const char* name) { return dir.filePath(name).toStdString(); }
};

TEST_F(HistoryWindowTest, UndoAndRedoNameTheStepAndTakeItBackByKeyItemAndButton) {
  TSpreadF* w = NewWindow();
  Paste(w, "1\t2\r\n3\t4");
  EXPECT_EQ(w->UndoAction->text(), "&Undo Paste");
  EXPECT_TRUE(w->windowTitle().endsWith(" *"));
  w->StringGrid1->setFocus();
  QTest::keyClick(w->StringGrid1, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(w->series()->Cells.IsEmpty(2, kYColumn));
  EXPECT_EQ(w->windowTitle(), "Series Number: 1");
  EXPECT_EQ(w->UndoAction->text(), "&Undo New Data");
  EXPECT_EQ(w->RedoAction->text(), "&Redo Paste");

  Button("Redo")->click();
  EXPECT_EQ(Cell(*w->series(), 2, kYColumn), "4");
  // Undoing the window's making closes it; redoing makes it again, with what it held.
  Button("Undo")->click();
  Button("Undo")->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(workspace.DataWindows.empty());
  EXPECT_TRUE(prompts.questions.empty());
  frame->RedoCommand();
  frame->RedoCommand();
  ASSERT_EQ(workspace.DataWindows.size(), 1u);
  EXPECT_EQ(Cell(*workspace.DataWindows[0], 1, kXColumn), "1");
  EXPECT_NE(WindowOf(*workspace.DataWindows[0]), nullptr);
  frame->RedoCommand();  // nothing left to redo
  EXPECT_EQ(prompts.beeps, 1);
}

// "Possible data loss" and the exit question come only when something unsaved would be lost.
TEST_F(HistoryWindowTest, TheQuestionsAreAskedOnlyWhenSomethingUnsavedWouldBeLost) {
  const struct {
    const char* name;
    bool paste, save, pasteAgainAndUndo;
    bool asks;
  } cases[] = {{"new and empty", false, false, false, false},
               {"pasted into", true, false, false, true},
               {"saved", true, true, false, false},
               {"undone back to the saved state", true, true, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.questions.clear();
    TSpreadF* w = NewWindow();
    if (c.paste) Paste(w, "5\t6");
    if (c.save) {
      prompts.fileNames = {Path("saved.prn")};
      std::filesystem::remove(Path("saved.prn"));
      frame->SaveData(*w->series());
    }
    if (c.pasteAgainAndUndo) {
      Paste(w, "7\t8");
      frame->UndoCommand();
    }
    EXPECT_EQ(w->windowTitle().endsWith(" *"), c.asks);
    EXPECT_TRUE(frame->CloseQuery() || c.asks);  // the exit question, cancelled
    w->CloseDataAction->trigger();               // Abort when asked
    EXPECT_EQ(prompts.questions.size(), c.asks ? 2u : 0u);
    EXPECT_EQ(workspace.DataWindows.empty(), !c.asks);
    frame->CloseWindows(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// A program killed with unsaved work leaves its recovery file; the next start offers it and
// puts every window back, names and unsaved state included. The file of a program still
// running is never offered.
TEST_F(HistoryWindowTest, AfterAKillTheNextStartRestoresTheWindows) {
  const std::filesystem::path folder = Path("state");
  const pid_t killed = fork();
  ASSERT_GE(killed, 0);
  if (killed == 0) {
    pause();
    _exit(0);
  }
  TSpreadF* typed = NewWindow();
  Paste(typed, "1.5\t2\r\n3\t4");
  std::ofstream(Path("read.prn"), std::ios::binary) << "1 10\r\n2 20\r\n";
  prompts.fileNames = {Path("read.prn")};
  frame->Open();
  frame->NewText();
  auto* text = qobject_cast<TTextF*>(frame->TextWindows.last());
  text->Memo1->insertPlainText("notes");
  {
    RecoveryKeeper keeper(*frame, folder, killed);
    keeper.Keep(true);
    EXPECT_TRUE(std::filesystem::exists(keeper.Path()));
  }
  kill(killed, SIGKILL);
  waitpid(killed, nullptr, 0);

  frame->CloseWindows(true);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  RecoveryKeeper running(*frame, folder, getpid());
  prompts.answers = {Answer::Yes};
  running.OfferRestore();
  ASSERT_EQ(workspace.DataWindows.size(), 2u);
  const Series& first = *workspace.DataWindows[0];
  const Series& second = *workspace.DataWindows[1];
  EXPECT_EQ(Cell(first, 1, kXColumn), "1.5");
  EXPECT_TRUE(first.Modified());
  EXPECT_EQ(WindowOf(first)->windowTitle(), "Series Number: 1 *");
  EXPECT_FALSE(second.Modified());
  EXPECT_EQ(WindowOf(second)->windowTitle(), "Series Number: 2   -   READ.PRN");
  ASSERT_EQ(frame->TextWindows.size(), 1);
  auto* restored = qobject_cast<TTextF*>(frame->TextWindows.last());
  EXPECT_EQ(restored->Lines(), QStringList{"notes"});
  EXPECT_TRUE(restored->Modified());
  EXPECT_TRUE(OrphanedRecoveryFiles(folder).empty());

  running.Keep(true);
  EXPECT_TRUE(std::filesystem::exists(running.Path()));
  EXPECT_TRUE(OrphanedRecoveryFiles(folder).empty());
  frame->CloseWindows(true);
  running.Keep(true);  // nothing unsaved any more: nothing to keep
  EXPECT_FALSE(std::filesystem::exists(running.Path()));
}

}  // namespace
}  // namespace tavel
