#include "ui/text/text_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "core/series/workspace.h"
#include "support/failing_sync.h"
#include "support/pdf_text.h"
#include "support/scripted_prompts.h"
#include "ui/app/help_viewer.h"
#include "ui/app/main_frame.h"
#include "ui/graph/graph_output.h"

namespace tavel {
namespace {

// The real frame, with the print dialog answered by the test: confirmed prints go to a PDF.
class PrintingFrame : public TMDIMainF {
 public:
  using TMDIMainF::TMDIMainF;
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

class TextWindowTest : public ::testing::Test {
 protected:
  TextWindowTest() {
    frame = std::make_unique<PrintingFrame>(workspace, prompts,
                                            dir.filePath("tavel.cfg").toStdString());
    frame->CreateDialogs();
    frame->resize(1000, 800);
    frame->show();
  }

  std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
  void Write(const char* name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  TTextF* Active() const { return frame->ActiveTextWindow(); }
  TTextF* NewText() {
    frame->NewTextAction->trigger();
    Flush();
    return Active();
  }
  TTextF* OpenText(const std::string& path) {
    prompts.fileNames = {path};
    prompts.chosenFilters = {kTextFilter};
    frame->Open();
    Flush();
    return Active();
  }
  QToolButton* Button(const char* hint) const {
    for (QToolButton* b : frame->toolButtons()) {
      if (b->toolTip() == hint) return b;
    }
    return nullptr;
  }

  QTemporaryDir dir;
  testing::ScriptedPrompts prompts;
  Workspace workspace{prompts};
  std::unique_ptr<PrintingFrame> frame;
};

TEST_F(TextWindowTest, NewWindowIsNoNameWithItsMenusMergedAndEveryItemInPlace) {
  TTextF* w = NewText();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "NoName.txt");
  EXPECT_EQ(w->SubWindow()->windowTitle(), "NoName.txt");
  EXPECT_EQ(frame->TextWindows, QList<QWidget*>{w});
  EXPECT_EQ(frame->ActiveChildClass, ChildClass::TextWindow);
  QStringList bar;
  for (QAction* a : frame->menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, QStringList({"&File", "&Edit", "&Preferences", "&Window", "&Help"}));

  const struct {
    QMenu* menu;
    const char* text;
    QKeySequence key;
    int help;
  } items[] = {
      {w->FileMenu, "&New  Data", {}, 500},
      {w->FileMenu, "New  &Text", {}, 500},
      {w->FileMenu, "&Open", QKeySequence(Qt::Key_F3), 500},
      {w->FileMenu, "&Save Text", {}, 500},
      {w->FileMenu, "&Close Text", QKeySequence(Qt::ALT | Qt::Key_F3), 500},
      {w->FileMenu, "&Print Text", {}, 1300},
      {w->FileMenu, "P&rint Setup...", {}, 1300},
      {w->FileMenu, "E&xit", {}, 500},
      {w->EditMenu, "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), 400},
      {w->EditMenu, "&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y), 400},
      {w->EditMenu, "", {}, 0},
      {w->EditMenu, "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), 400},
      {w->EditMenu, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), 400},
      {w->EditMenu, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), 400},
  };
  std::size_t i = 0;
  for (QMenu* menu : {w->FileMenu, w->EditMenu}) {
    for (QAction* a : menu->actions()) {
      ASSERT_LT(i, std::size(items));
      EXPECT_EQ(menu, items[i].menu);
      EXPECT_EQ(a->text(), items[i].text);
      EXPECT_EQ(a->shortcut(), items[i].key) << items[i].text;
      EXPECT_EQ(a->property(kHelpContextProperty).toInt(), items[i].help) << items[i].text;
      // Nothing to undo or redo yet.
      EXPECT_EQ(a->isEnabled(), menu == w->FileMenu || i > 9) << items[i].text;
      ++i;
    }
  }
  EXPECT_EQ(i, std::size(items));

  const QPlainTextEdit* memo = w->Memo1;
  EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_FALSE(memo->tabChangesFocus());
  EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(memo->font().bold());
}

TEST_F(TextWindowTest, SaveProposesTheCaptionAsksOnlyForAnotherExistingFileAndNoReopens) {
  TTextF* w = NewText();
  w->Memo1->setPlainText("one\n\ttwo");
  prompts.fileNames = {Path("a.txt")};
  w->SaveTextAction->trigger();
  ASSERT_EQ(prompts.dialogs.size(), 1u);
  EXPECT_EQ(prompts.dialogs[0].fileName, "NoName.txt");
  ASSERT_EQ(prompts.dialogs[0].filters.size(), 2u);
  EXPECT_EQ(prompts.dialogs[0].filters[0].name, "Text File");
  EXPECT_EQ(prompts.dialogs[0].filters[1].patterns, "*.*");
  EXPECT_EQ(w->windowTitle(), QString::fromStdString(Path("a.txt")));
  EXPECT_EQ(Read(Path("a.txt")), "one\r\n\ttwo\r\n");
  EXPECT_FALSE(w->Modified());

  // Its own name again: written without a question.
  w->Memo1->appendPlainText("three");
  prompts.fileNames = {Path("a.txt")};
  w->SaveTextAction->trigger();
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_EQ(Read(Path("a.txt")), "one\r\n\ttwo\r\nthree\r\n");

  // Another existing file: a beep and the question; No opens the dialog on that name.
  Write("b", "old");
  prompts.fileNames = {Path("b"), Path("b")};
  prompts.answers = {Answer::No, Answer::Yes};
  w->SaveTextAction->trigger();
  EXPECT_EQ(prompts.questions, std::vector<std::string>(
                                   2, "The File  " + Path("b") + "  already exists overwrite it?"));
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(prompts.dialogs.back().fileName, Path("b"));
  EXPECT_EQ(Read(Path("b")), "one\r\n\ttwo\r\nthree\r\n");  // no extension added
  EXPECT_EQ(w->windowTitle(), QString::fromStdString(Path("b")));
}

TEST_F(TextWindowTest, AFailedSaveLeavesTheOldFileWholeAndTheCaptionAsItWas) {
  Write("keep.txt", "precious\r\n");
  TTextF* w = OpenText(Path("keep.txt"));
  ASSERT_NE(w, nullptr);
  w->Memo1->insertPlainText("new");
  w->SaveTextAction->trigger();  // cancelled
  {
    testing::FailingSync failing;
    prompts.fileNames = {Path("keep.txt")};
    EXPECT_EQ(w->Save(), SaveResult::Failed);
  }
  EXPECT_EQ(prompts.reports.size(), 1u);
  EXPECT_EQ(Read(Path("keep.txt")), "precious\r\n");
  EXPECT_TRUE(w->Modified());
  EXPECT_EQ(w->windowTitle(), QString::fromStdString(Path("keep.txt")) + " *");
}

TEST_F(TextWindowTest, OpenReadsEveryLineEndAndKeepsTheFilesEncoding) {
  Write("mixed.txt", "a\r\nb\nc\rd\r\n\r\n");
  TTextF* w = OpenText(Path("mixed.txt"));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QString::fromStdString(Path("mixed.txt")));
  EXPECT_EQ(w->Lines(), QStringList({"a", "b", "c", "d", ""}));
  EXPECT_FALSE(w->Modified());

  // Bytes that are not UTF-8 are one character each, and go back as they came.
  Write("latin.txt", "caf\xE9\r\n");
  TTextF* latin = OpenText(Path("latin.txt"));
  EXPECT_EQ(latin->Lines(), QStringList({QString::fromUtf8("caf\xC3\xA9")}));
  prompts.fileNames = {Path("latin.txt")};
  latin->Save();
  EXPECT_EQ(Read(Path("latin.txt")), "caf\xE9\r\n");
  EXPECT_EQ(frame->TextWindows.size(), 2);

  // A file that cannot be read is reported and leaves no window.
  OpenText(dir.path().toStdString());
  EXPECT_EQ(prompts.reports.size(), 1u);
  EXPECT_EQ(frame->TextWindows.size(), 2);
}

TEST_F(TextWindowTest, PasteTakesTheFirst99998CharactersByMenuKeyAndToolButton) {
  TTextF* w = NewText();
  const QString big(150000, QChar('x'));
  QGuiApplication::clipboard()->setText(big);
  w->PasteAction->trigger();
  EXPECT_EQ(w->Memo1->toPlainText().size(), 99998);

  w->Memo1->clear();
  w->Memo1->setFocus();
  QTest::keyClick(w->Memo1, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(w->Memo1->toPlainText().size(), 99998);

  w->Memo1->setPlainText("keep ");
  w->Memo1->moveCursor(QTextCursor::End);
  QGuiApplication::clipboard()->setText("abc");
  Button("Paste")->click();
  EXPECT_EQ(w->Memo1->toPlainText(), "keep abc");
  // Never half of a character outside the basic plane.
  EXPECT_EQ(LimitedPasteText(QString(99997, 'y') + QString::fromUtf8("\xF0\x9F\x98\x80")).size(),
            99997);
}

TEST_F(TextWindowTest, CutAndCopyPutTheSelectionOnTheClipboard) {
  TTextF* w = NewText();
  w->Memo1->setPlainText("first\nsecond");
  w->Memo1->selectAll();
  Button("Copy")->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "first\nsecond");
  QTextCursor cursor = w->Memo1->textCursor();
  cursor.setPosition(0);
  cursor.setPosition(6, QTextCursor::KeepAnchor);
  w->Memo1->setTextCursor(cursor);
  w->CutAction->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "first\n");
  EXPECT_EQ(w->Memo1->toPlainText(), "second");
  EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(TextWindowTest, CloseAsksWhenUnsavedAndAbortKeepsTheWindow) {
  TTextF* unchanged = NewText();
  QPointer<TTextF> gone(unchanged);
  unchanged->CloseTextAction->trigger();  // nothing to lose: no question
  Flush();
  EXPECT_TRUE(gone.isNull());
  EXPECT_TRUE(prompts.questions.empty());

  TTextF* w = NewText();
  QPointer<TTextF> guard(w);
  w->Memo1->insertPlainText("x");
  w->CloseTextAction->trigger();
  Flush();
  EXPECT_EQ(prompts.questions, std::vector<std::string>{"Possible data loss. Continue?"});
  EXPECT_FALSE(guard.isNull());

  prompts.answers = {Answer::Yes};
  w->SubWindow()->close();  // the close box
  EXPECT_TRUE(frame->TextWindows.isEmpty());
  Flush();
  EXPECT_TRUE(guard.isNull());
  EXPECT_EQ(prompts.questions.size(), 2u);
}

TEST_F(TextWindowTest, TheTenthWindowIsTheLast) {
  for (int i = 0; i < MaxTextWindows; ++i) NewText()->Memo1->insertPlainText("x");
  EXPECT_EQ(frame->TextWindows.size(), MaxTextWindows);
  EXPECT_TRUE(prompts.errors.empty());
  NewText();
  EXPECT_EQ(frame->TextWindows.size(), MaxTextWindows);
  EXPECT_EQ(prompts.errors,
            std::vector<std::string>{"Sorry the number of Text files is LIMITED to 10."});
  EXPECT_EQ(prompts.beeps, 1);
  // Close All asks once and closes them without another word.
  prompts.answers = {Answer::Yes};
  frame->CloseAllAction->trigger();
  Flush();
  EXPECT_EQ(prompts.questions.size(), 1u);
  EXPECT_TRUE(frame->TextWindows.isEmpty());
  EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());
}

TEST_F(TextWindowTest, SaveAndExitSavesChangedTextWindowsAndACancelledSaveKeepsTheProgram) {
  TTextF* changed = NewText();
  changed->Memo1->insertPlainText("unsaved");
  NewText();  // unchanged: no save dialog for it
  prompts.answers = {Answer::Yes};
  frame->ExitAction->trigger();  // the save dialog is cancelled
  Flush();
  EXPECT_TRUE(frame->isVisible());
  EXPECT_FALSE(frame->Closing);
  EXPECT_EQ(frame->TextWindows.size(), 2);
  EXPECT_EQ(prompts.dialogs.size(), 1u);

  prompts.answers = {Answer::Yes};
  prompts.fileNames = {Path("exit.txt")};
  frame->ExitAction->trigger();
  Flush();
  EXPECT_EQ(Read(Path("exit.txt")), "unsaved\r\n");
  EXPECT_EQ(prompts.dialogs.size(), 2u);
  EXPECT_FALSE(frame->isVisible());
  EXPECT_TRUE(frame->TextWindows.isEmpty());
}

TEST_F(TextWindowTest, PrintTextPaginatesEveryLineInTheMemoFont) {
  if (!testing::HavePdfToText()) GTEST_SKIP() << "no pdftotext";
  TTextF* w = NewText();
  QStringList lines;
  for (int i = 1; i <= 150; ++i) lines << QString("line %1\tend").arg(i);
  w->Memo1->setPlainText(lines.join('\n'));
  w->PrintTextAction->trigger();  // not confirmed: nothing printed
  frame->pdf = dir.filePath("text.pdf");
  EXPECT_FALSE(QFile::exists(frame->pdf));
  w->PrintTextAction->trigger();
  const std::string text = testing::PdfText(frame->pdf);
  EXPECT_GE(testing::PageCount(text), 2);
  for (const char* line : {"line 1 ", "line 75 ", "line 150 "}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  EXPECT_LT(text.find("line 149 "), text.find("line 150 "));
  EXPECT_TRUE(prompts.reports.empty());
}

}  // namespace
}  // namespace tavel
