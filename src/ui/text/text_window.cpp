#include "ui/text/text_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextOption>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>

#include "core/files/atomic_file.h"
#include "core/platform/clipboard.h"
#include "core/platform/prompts.h"
#include "ui/app/help_viewer.h"
#include "ui/app/menu_items.h"
#include "ui/app/texts.h"
#include "ui/graph/graph_output.h"
#include "ui/platform/qt_canvas.h"
#include "ui/text/text_window_host.h"

namespace tavel {

namespace {

constexpr int kWindowWidth = 420;
constexpr int kWindowHeight = 300;
constexpr int kTabStop = 8;  // characters

// Arial, bold, 17 pixels high on the 96 dpi screen the window was laid out on; in points, so
// the printed text has the same size.
QFont MemoFont() {
  QFont font = QtCanvas::FontFor("Arial", 13, {true, false});
  font.setPointSizeF(17 * 72.0 / 96.0);
  return font;
}

qreal TabStopFor(const QFontMetrics& metrics) {
  return kTabStop * metrics.horizontalAdvance(' ');
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Text and its file

QString LimitedPasteText(const QString& text) {
  if (text.size() <= kTextPasteLimit) return text;
  qsizetype n = kTextPasteLimit;
  if (text.at(n - 1).isHighSurrogate()) --n;
  return text.left(n);
}

void TextMemo::InsertLimited(const QString& text) {
  insertPlainText(LimitedPasteText(text));
}

void TextMemo::insertFromMimeData(const QMimeData* source) {
  if (source != nullptr && source->hasText()) InsertLimited(source->text());
}

TextFileLines TextLinesOf(const QByteArray& bytes) {
  TextFileLines result;
  // A byte order mark stays in the text, so a save writes it back.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) {
    text = QString::fromLatin1(bytes);
    result.latin1 = true;
  }
  qsizetype start = 0;
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size; ++i) {
    const QChar c = text.at(i);
    if (c != '\r' && c != '\n') continue;
    result.lines << text.mid(start, i - start);
    if (c == '\r' && i + 1 < size && text.at(i + 1) == '\n') ++i;
    start = i + 1;
  }
  if (start < size) result.lines << text.mid(start);
  return result;
}

QByteArray TextFileBytes(const QStringList& lines, bool latin1) {
  QString text;
  for (const QString& line : lines) {
    text += line;
    text += QLatin1String("\r\n");
  }
  const bool fitsLatin1 =
      std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
  return latin1 && fitsLatin1 ? text.toLatin1() : text.toUtf8();
}

bool PrintTextLines(QPrinter& printer, const QFont& font, const QStringList& lines,
                    Prompts& prompts) {
  QPainter painter;
  if (!BeginPrintJob(painter, printer, prompts)) return false;
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetrics metrics = painter.fontMetrics();
  const int step = std::max(1, metrics.lineSpacing());
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(TabStopFor(metrics));
  int y = 0;
  for (const QString& line : lines) {
    if (y > 0 && y + step > printer.height()) {
      if (!printer.newPage()) {
        printer.abort();
        painter.end();
        prompts.ReportError("The printer could not start a new page.");
        return false;
      }
      y = 0;
    }
    painter.drawText(QRectF(0, y, std::max(printer.width(), 1), step), line, option);
    y += step;
  }
  if (!painter.end()) {
    prompts.ReportError("The print job could not be finished.");
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// The window

TTextF::TTextF(TextWindowHost& host, Prompts& prompts, Clipboard& clipboard, QWidget* parent)
    : QWidget(parent), host_(host), prompts_(prompts), clipboard_(clipboard) {
  SetHelpContext(this, 500);
  resize(kWindowWidth, kWindowHeight);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Memo1 = new TextMemo(this);
  Memo1->setObjectName("Memo1");
  Memo1->setFrameShape(QFrame::NoFrame);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setTabChangesFocus(false);
  Memo1->setFont(MemoFont());
  Memo1->setTabStopDistance(TabStopFor(Memo1->fontMetrics()));
  QPalette palette = Memo1->palette();
  palette.setColor(QPalette::Text, Qt::black);
  Memo1->setPalette(palette);
  layout->addWidget(Memo1);
  setFocusProxy(Memo1);
  CreateMenus();
  SetCaption("NoName.txt");
  connect(Memo1->document(), &QTextDocument::modificationChanged, this,
          [this] { SetCaption(path_); });
  host_.TextWindowCreated(this);
}

TTextF::~TTextF() {
  host_.TextWindowClosed(this);
}

QMdiSubWindow* TTextF::CreateSubWindow(TextWindowHost& host, Prompts& prompts, Clipboard& clipboard,
                                       QMdiArea* area) {
  auto* window = new TTextF(host, prompts, clipboard);
  QMdiSubWindow* sub = NewChildSubWindow(window, 500, [&host] { host.TrackActiveChild(); });
  sub->resize(kWindowWidth, kWindowHeight);
  if (area) area->addSubWindow(sub);
  return sub;
}

QMdiSubWindow* TTextF::SubWindow() const {
  return SubWindowOf(this);
}

void TTextF::CreateMenus() {
  FileMenu = new QMenu("&File", this);
  SetHelpContext(FileMenu->menuAction(), 500);
  LocalShortcut(this, AddNewAndOpenItems(FileMenu, host_, true));
  SaveTextAction = AddMenuItem(FileMenu, "&Save Text", 500);
  connect(SaveTextAction, &QAction::triggered, this, [this] { Save(); });
  CloseTextAction = LocalShortcut(
      this, AddMenuItem(FileMenu, "&Close Text", 500, QKeySequence(Qt::ALT | Qt::Key_F3)));
  connect(CloseTextAction, &QAction::triggered, this, &TTextF::CloseText);
  PrintTextAction = AddMenuItem(FileMenu, "&Print Text", 1300);
  connect(PrintTextAction, &QAction::triggered, this, &TTextF::PrintText);
  connect(AddCommandItem(FileMenu, "P&rint Setup...", 1300, Command::PrintSetup),
          &QAction::triggered, this, [this] { host_.PrintSetup(); });
  connect(AddCommandItem(FileMenu, "E&xit", 500, Command::Exit), &QAction::triggered, this,
          [this] { host_.Exit(); });

  EditMenu = AddEditMenu(this, CutAction, CopyAction, PasteAction);
  // The editor keeps its own history of the text.
  AddUndoItems(this, EditMenu, UndoAction, RedoAction);
  connect(UndoAction, &QAction::triggered, this, &TTextF::UndoText);
  connect(RedoAction, &QAction::triggered, this, &TTextF::RedoText);
  UndoAction->setEnabled(false);
  RedoAction->setEnabled(false);
  connect(Memo1, &QPlainTextEdit::undoAvailable, UndoAction, &QAction::setEnabled);
  connect(Memo1, &QPlainTextEdit::redoAvailable, RedoAction, &QAction::setEnabled);
  connect(CutAction, &QAction::triggered, this, &TTextF::Cut);
  connect(CopyAction, &QAction::triggered, this, &TTextF::Copy);
  connect(PasteAction, &QAction::triggered, this, &TTextF::Paste);
}

QList<MenuGroup> TTextF::MenuGroups() const {
  return {{kFileGroup, FileMenu}, {kEditGroup, EditMenu}};
}

void TTextF::SetCaption(const QString& path) {
  path_ = path;
  const QString caption = Modified() ? path + " *" : path;
  setWindowTitle(caption);
  if (QMdiSubWindow* sub = SubWindow()) sub->setWindowTitle(caption);
}

void TTextF::Open(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    throw std::runtime_error(path.toStdString() + ": not a file that can be read as text");
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error(file.errorString().toStdString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    throw std::runtime_error(file.errorString().toStdString());
  }
  const TextFileLines text = TextLinesOf(bytes);
  Memo1->setPlainText(text.lines.join('\n'));
  Memo1->document()->setModified(false);
  latin1_ = text.latin1;
  SetCaption(path);
}

QStringList TTextF::Lines() const {
  QStringList lines;
  const QTextDocument* document = Memo1->document();
  if (document->isEmpty()) return lines;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    lines << block.text();
  }
  return lines;
}

bool TTextF::Modified() const {
  return Memo1->document()->isModified();
}

SaveResult TTextF::Save() {
  SaveAsRequest request;
  request.dialog.filters = {{"Text File", "*.txt"}, {"Any File", "*.*"}};
  request.dialog.fileName = path_.toStdString();
  request.dialog.helpContext = 500;
  request.ownName = path_.toStdString();
  request.reopenWithChosenName = true;
  const QByteArray bytes = TextFileBytes(Lines(), latin1_);
  std::string written;
  const SaveResult result = SaveAs(prompts_, request, [&](const std::string& path) {
    WriteFileAtomically(path, std::string_view(bytes.constData(), bytes.size()));
    written = path;
  });
  if (result == SaveResult::Saved) {
    Memo1->document()->setModified(false);
    SetCaption(QString::fromStdString(written));
    host_.FileUsed(written);
  }
  return result;
}

void TTextF::PrintText() {
  QPrinter& printer = host_.Printer();
  PreparePrinter(printer, path_.toStdString());
  if (!host_.ConfirmPrintJob(printer)) return;
  const QStringList lines = Lines();
  const QFont font = Memo1->font();
  PrintSafely(printer, prompts_,
              [&](QPrinter& target) { return PrintTextLines(target, font, lines, prompts_); });
}

void TTextF::CloseText() {
  CloseChild(this);
}

void TTextF::CloseWithoutQuestion() {
  closeWithoutQuestion_ = true;
  CloseText();
  closeWithoutQuestion_ = false;
}

void TTextF::closeEvent(QCloseEvent* event) {
  if (!closeWithoutQuestion_ && Modified() && !prompts_.AskYesAbort(kDataLossQuestion)) {
    event->ignore();
    return;
  }
  event->accept();
  // Gone from the list at once: the limit of open windows must not count it while it waits
  // for its delete.
  host_.TextWindowClosed(this);
}

void TTextF::SetContents(const QString& path, const QString& text, bool modified) {
  Memo1->setPlainText(text);
  Memo1->document()->setModified(modified);
  SetCaption(path);
}

void TTextF::UndoText() {
  Memo1->undo();
}

void TTextF::RedoText() {
  Memo1->redo();
}

void TTextF::Cut() {
  QTextCursor cursor = Memo1->textCursor();
  if (!cursor.hasSelection()) return;
  Copy();
  cursor.removeSelectedText();
}

void TTextF::Copy() {
  const QTextCursor cursor = Memo1->textCursor();
  if (!cursor.hasSelection()) return;
  QString text = cursor.selectedText();
  text.replace(QChar::ParagraphSeparator, '\n');
  text.replace(QChar::LineSeparator, '\n');
  clipboard_.SetText(text.toStdString());
}

void TTextF::Paste() {
  const QString text = QString::fromStdString(clipboard_.GetText());
  if (!text.isEmpty()) Memo1->InsertLimited(text);
}

}  // namespace tavel
