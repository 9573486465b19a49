#pragma once

#include <QFont>
#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

#include "core/files/save_as.h"
#include "ui/app/mdi_child.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;

namespace tavel {

class Clipboard;
class Prompts;
class TextWindowHost;

// At most this many characters of the clipboard are pasted at once.
constexpr int kTextPasteLimit = 99998;

// The memo of a text window: every paste, by key or by menu, goes through the window's limit.
class TextMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  using QPlainTextEdit::QPlainTextEdit;

  // The text, at most kTextPasteLimit characters of it, in place of the selection.
  void InsertLimited(const QString& text);

 protected:
  void insertFromMimeData(const QMimeData* source) override;
};

// The text a paste inserts: its first kTextPasteLimit characters, never half a character.
QString LimitedPasteText(const QString& text);

// A text file as lines: a line ends at CR LF, LF or CR, and an end after the last line adds no
// empty line. UTF-8 when the bytes are valid UTF-8, otherwise one byte per character.
struct TextFileLines {
  QStringList lines;
  bool latin1 = false;
};
TextFileLines TextLinesOf(const QByteArray& bytes);
// Every line ended by CR LF, in the encoding the file was read with when it still holds the
// text.
QByteArray TextFileBytes(const QStringList& lines, bool latin1);

// The lines on the printer, one output line each, in the font; a full page goes on on the next.
// False, after prompts.ReportError, when the job could not start or a page could not be made.
bool PrintTextLines(QPrinter& printer, const QFont& font, const QStringList& lines,
                    Prompts& prompts);

// A text window: one plain-text document in a memo, saved, printed and closed through its
// "&File" menu.
class TTextF : public QWidget, public MdiChild {
  Q_OBJECT

 public:
  TTextF(TextWindowHost& host, Prompts& prompts, Clipboard& clipboard, QWidget* parent = nullptr);
  ~TTextF() override;

  // The window in a new MDI sub-window that deletes itself when closed and tells the host when
  // it becomes active. Added to the area when one is given; not shown.
  static QMdiSubWindow* CreateSubWindow(TextWindowHost& host, Prompts& prompts,
                                        Clipboard& clipboard, QMdiArea* area = nullptr);

  ChildClass Class() const override { return ChildClass::TextWindow; }
  // File 1, Edit 2.
  QList<MenuGroup> MenuGroups() const override;
  QMdiSubWindow* SubWindow() const;

  // Loads the whole file into the memo and names it in the caption. Throws std::runtime_error
  // with the system's text when the file cannot be read; the memo is then unchanged.
  void Open(const QString& path);
  // "&Save Text": the save dialog with the overwrite question; the caption names the file once
  // it is written.
  SaveResult Save();
  // "&Print Text".
  void PrintText();
  // "&Close Text" and the close box: asks when the text is unsaved.
  void CloseText();
  // Close All, Clear All and the frame's own close: no question.
  void CloseWithoutQuestion();

  void Cut();
  void Copy();
  void Paste();
  void UndoText();
  void RedoText();
  // The file the window names ("NoName.txt" before it has one).
  const QString& FilePath() const { return path_; }
  // The window holding the text under the file's name, saved or not (as a recovery file kept
  // it, or a report the program wrote).
  void SetContents(const QString& path, const QString& text, bool modified);

  // The lines of the memo; none when it is empty.
  QStringList Lines() const;
  // Whether the text changed since it was opened or last saved (a new window: since it was
  // made).
  bool Modified() const;

  TextMemo* Memo1 = nullptr;
  QMenu* FileMenu = nullptr;
  QMenu* EditMenu = nullptr;
  QAction* SaveTextAction = nullptr;
  QAction* CloseTextAction = nullptr;
  QAction* PrintTextAction = nullptr;
  QAction* UndoAction = nullptr;
  QAction* RedoAction = nullptr;
  QAction* CutAction = nullptr;
  QAction* CopyAction = nullptr;
  QAction* PasteAction = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateMenus();
  // Names the file in the caption, with a trailing star while the text is unsaved.
  void SetCaption(const QString& path);

  TextWindowHost& host_;
  Prompts& prompts_;
  Clipboard& clipboard_;
  QString path_;
  bool latin1_ = false;
  bool closeWithoutQuestion_ = false;
};

}  // namespace tavel
