#include "ui/calc/calc_dialog.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <limits>

#include "core/platform/prompts.h"
#include "core/series/number_text.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/app/tool_glyphs.h"
#include "ui/calc/calc_glyphs.h"
#include "ui/cells/math_dialog.h"
#include "ui/scale/dialog_placement.h"

namespace tavel {

namespace {

constexpr int kHelpTopic = 150;
constexpr int kFrameInset = 30;
// Four stack rows, five rows of keys, three rows of function keys: "Trig" takes the last
// quarter of the window away, exactly the function rows.
constexpr int kRows = 12;
constexpr int kColumns = 5;
constexpr int kMargin = 6;
// Below the last row: with it the quarter taken away ends exactly where the function rows
// begin.
constexpr int kBottomMargin = 2;

const QColor kLime(0, 255, 0);

}  // namespace

TCalcF::TCalcF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts), machine_(workspace.Settings) {
  setWindowTitle("Tavel RPN Calculator");
  SetHelpContext(this, kHelpTopic);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  setModal(false);
  setWindowIcon(ToolGlyphPixmap(ToolGlyph::Calculator));
  CreateControls();
}

void TCalcF::CreateControls() {
  const QFontMetrics fm = fontMetrics();
  int column = 50;
  for (const char* caption : {"sin (x)", "deg/rad", "deg>rad", "deg<rad", "Degrees", "Radians",
                              "Shrunk", "Paste", "Edit X"}) {
    column = std::max(column, fm.horizontalAdvance(caption) + 14);
  }
  const int pitch = std::max(26, fm.height() + 12);
  const int labelWidth = fm.horizontalAdvance("W") + 8;
  const int width = 2 * kMargin + labelWidth + kColumns * column;
  const int height = kMargin + kRows * pitch + kBottomMargin;

  const auto cell = [&](int row, int col, int span = 1) {
    return QRect(kMargin + labelWidth + col * column + 1, kMargin + row * pitch + 2,
                 span * column - 2, pitch - 4);
  };

  // The stack, T at the top and X at the bottom, as it is written on paper.
  const struct {
    QLabel*& label;
    const char* caption;
    QLineEdit*& edit;
  } levels[] = {
      {Label4, "T", EditT}, {Label3, "Z", EditZ}, {Label2, "Y", EditY}, {Label1, "X", EditX}};
  int row = 0;
  for (const auto& level : levels) {
    level.label = new QLabel(level.caption, this);
    level.label->setGeometry(kMargin, kMargin + row * pitch, labelWidth, pitch);
    level.label->setAlignment(Qt::AlignCenter);
    level.edit = new QLineEdit("0", this);
    level.edit->setGeometry(cell(row, 0, kColumns));
    level.edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (level.edit != EditX) {
      level.edit->setReadOnly(true);
      level.edit->setFocusPolicy(Qt::NoFocus);
      QPalette palette = level.edit->palette();
      palette.setColor(QPalette::Base, kLime);
      level.edit->setPalette(palette);
    }
    ++row;
  }
  Label1->setBuddy(EditX);
  EditX->installEventFilter(this);
  connect(EditX, &QLineEdit::textEdited, this,
          [this](const QString& text) { machine_.SetEntryText(text.toStdString()); });

  const auto push = [&](const char* caption, const char* hint, QRect where,
                        const std::function<void()>& run) {
    auto* button = new QPushButton(caption, this);
    button->setGeometry(where);
    // Return belongs to EditX (it is Enter there), never to a default button.
    button->setAutoDefault(false);
    if (hint != nullptr) button->setToolTip(hint);
    connect(button, &QPushButton::clicked, this, run);
    return button;
  };
  // The keys without captions, as small as the rest and never taking the focus from EditX.
  const auto speed = [&](const char* caption, const char* hint, QRect where,
                         const std::function<void()>& run) {
    auto* button = new QToolButton(this);
    button->setGeometry(where);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    if (caption != nullptr) button->setText(caption);
    connect(button, &QToolButton::clicked, this, run);
    return button;
  };
  const auto glyph = [&](CalcGlyph g, const char* hint, QRect where,
                         CalcOutcome (CalcMachine::*op)()) {
    QToolButton* button = speed(nullptr, hint, where, [this, op] { Finish((machine_.*op)()); });
    button->setIcon(CalcGlyphPixmap(g));
    button->setIconSize(QSize(24, 16));
    return button;
  };
  const auto op = [this](CalcOutcome (CalcMachine::*f)()) {
    return [this, f] { Finish((machine_.*f)()); };
  };

  ButtonE = push("Enter", nullptr, cell(4, 0, 2), op(&CalcMachine::Enter));
  SpeedButtonxy = glyph(CalcGlyph::Exchange, "X Y interchange", cell(4, 2), &CalcMachine::Exchange);
  SpeedButtonR = glyph(CalcGlyph::RollDown, "Down Roll", cell(4, 3), &CalcMachine::RollDown);
  SpeedButtonPM = glyph(CalcGlyph::ChangeSign, "Change sign", cell(4, 4), &CalcMachine::ChangeSign);

  SpeedButtonP = glyph(CalcGlyph::Plus, "X = Y + X", cell(5, 0), &CalcMachine::Add);
  SpeedButtonM = glyph(CalcGlyph::Minus, "X = Y - X", cell(5, 1), &CalcMachine::Subtract);
  SpeedButtonMu = glyph(CalcGlyph::Times, "X = Y * X", cell(5, 2), &CalcMachine::Multiply);
  SpeedButtonD = glyph(CalcGlyph::Divide, "X = Y / X", cell(5, 3), &CalcMachine::Divide);
  SpeedButtonYX = glyph(CalcGlyph::PowerYX, "X = Y^X", cell(5, 4), &CalcMachine::PowerYX);

  SpeedButton1X = glyph(CalcGlyph::Reciprocal, "X = 1 / X", cell(6, 0), &CalcMachine::Reciprocal);
  SpeedButtonsqrt = glyph(CalcGlyph::SquareRoot, "X = X^0.5", cell(6, 1), &CalcMachine::SquareRoot);
  SpeedButtonX2 = glyph(CalcGlyph::Square, "X = X^2", cell(6, 2), &CalcMachine::Square);
  SpeedButtonPME =
      speed(nullptr, "Change sign E+/-", cell(6, 3), [this] { SpeedButtonPMEClick(); });
  SpeedButtonPME->setIcon(CalcGlyphPixmap(CalcGlyph::ExponentSign));
  SpeedButtonPME->setIconSize(QSize(24, 16));
  SpeedButtonCE = speed("CX", "Clear X", cell(6, 4), [this] {
    machine_.ClearX();
    Finish(CalcOutcome::Ok);
  });

  SpeedButtonC = speed("CA", "Clear All", cell(7, 0), [this] {
    machine_.ClearAll();
    Finish(CalcOutcome::Ok);
  });
  ButtonSTO = push("STO", "Store M=X", cell(7, 1), op(&CalcMachine::Store));
  ButtonRCL = push("RCL", "Recall X=M", cell(7, 2), op(&CalcMachine::Recall));
  ButtonCOPY =
      push("Copy", "Win Clip=X", cell(7, 3), [this] { Finish(machine_.Copy(clipboard_)); });
  ButtonPaste =
      push("Paste", "X = Win Clip", cell(7, 4), [this] { Finish(machine_.Paste(clipboard_)); });

  Buttonedit = push("Edit X", "Edit number in X reg", cell(8, 0), [this] { ButtoneditClick(); });
  Buttontop = push("Top", "Click moves to back", cell(8, 1), [this] { ButtontopClick(); });
  ButtonSmall = push("Trig", "Click to shrink", cell(8, 2), [this] { ButtonSmallClick(); });
  ButtonH = push("Help", nullptr, cell(8, 3), [this] { ButtonHClick(); });
  ButtonExit = push("Done", "Close Calculator", cell(8, 4), [this] { close(); });

  Buttonsin = push("sin (x)", nullptr, cell(9, 0), op(&CalcMachine::Sin));
  Buttoncos = push("cos (x)", nullptr, cell(9, 1), op(&CalcMachine::Cos));
  Buttontan = push("tan (x)", nullptr, cell(9, 2), op(&CalcMachine::Tan));
  Buttondeg = push("deg/rad", "Toggle deg/rad", cell(9, 3), [this] { ButtondegClick(); });
  Label5 = new QLabel(AngleModeText(machine_.Angle()), this);
  Label5->setGeometry(cell(9, 4));
  Label5->setAlignment(Qt::AlignCenter);

  Buttonasin = push("asin(x)", nullptr, cell(10, 0), op(&CalcMachine::ArcSin));
  Buttonacos = push("acos(x)", nullptr, cell(10, 1), op(&CalcMachine::ArcCos));
  Buttonatan = push("atan(x)", nullptr, cell(10, 2), op(&CalcMachine::ArcTan));
  Buttondegrad =
      push("deg>rad", "Convert X to rad", cell(10, 3), op(&CalcMachine::DegreesToRadians));
  Buttonraddeg =
      push("deg<rad", "Convert X to deg", cell(10, 4), op(&CalcMachine::RadiansToDegrees));

  Buttonlog = push("log(x)", nullptr, cell(11, 0), op(&CalcMachine::Log));
  Button10X = push("10^x", nullptr, cell(11, 1), op(&CalcMachine::TenToX));
  Buttonln = push("ln (x)", nullptr, cell(11, 2), op(&CalcMachine::Ln));
  Buttonex = push("e^x", nullptr, cell(11, 3), op(&CalcMachine::ExpX));

  setFixedSize(width, height);
  ShowStack();
}

// ---------------------------------------------------------------------------------------------
// Showing, activating, closing

void TCalcF::ShowOver(QWidget* over) {
  owner_ = over;
  if (!isVisible()) {
    // The owner is set before the window appears, so it never shows as blocked.
    create();
    ApplyOwner();
    show();
  }
  ApplyOwner();
  if (over != nullptr) KeepClearOf(*over);
  raise();
  activateWindow();
}

void TCalcF::KeepClearOf(const QWidget& over) {
  const QRect mine = frameGeometry();
  const QRect theirs = over.window()->frameGeometry();
  if (!mine.intersects(theirs)) return;
  const QScreen* screen = over.screen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : theirs.united(mine);
  // Beside the dialog on whichever side the screen has room; with room nowhere, the place
  // that covers least of it.
  const QPoint places[] = {{theirs.right() + 1, mine.top()},
                           {theirs.left() - mine.width(), mine.top()},
                           {mine.left(), theirs.bottom() + 1},
                           {mine.left(), theirs.top() - mine.height()}};
  QPoint best = mine.topLeft();
  qint64 leastCovered = std::numeric_limits<qint64>::max();
  for (QPoint place : places) {
    place.setX(std::clamp(place.x(), area.left(), std::max(area.left(), area.right() - mine.width() + 1)));
    place.setY(std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() - mine.height() + 1)));
    const QRect covered = QRect(place, mine.size()).intersected(theirs);
    const qint64 size = covered.isEmpty() ? 0 : qint64{covered.width()} * covered.height();
    if (size < leastCovered) {
      leastCovered = size;
      best = place;
    }
  }
  move(best);
}

void TCalcF::SetOwner(QWidget* over) {
  owner_ = over;
  ApplyOwner();
}

void TCalcF::OwnerClosed(QWidget* over) {
  if (owner_ != over) return;
  owner_ = nullptr;
  ApplyOwner();
}

void TCalcF::ApplyOwner() {
  QWidget* owner = owner_ && owner_->isVisible() ? owner_.data() : parentWidget();
  QWindow* own = windowHandle();
  QWindow* ownerWindow = owner != nullptr ? owner->window()->windowHandle() : nullptr;
  if (own != nullptr && own->transientParent() != ownerWindow) own->setTransientParent(ownerWindow);
}

void TCalcF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous() && !shown_) FormShow();
}

void TCalcF::FormShow() {
  shown_ = true;
  shrink_ = height() / 4;
  MoveIntoFrameCorner(this, kFrameInset);
  machine_.Load();
  Finish(CalcOutcome::Ok);
}

bool TCalcF::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(event);
}

void TCalcF::FormActivate() {
  machine_.SetLift(false);
  FocusX();
}

void TCalcF::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TCalcF::FormClose() {
  const CalcOutcome outcome = machine_.Save();
  if (outcome != CalcOutcome::Ok) {
    // Nothing is saved; the reset entry stays for the next opening.
    ShowStack();
    Report(outcome);
    return;
  }
  if (math_ != nullptr && math_->isVisible()) {
    math_->Edit1->setText(QString::fromStdString(FormatNumber(workspace_.Settings.CalcX, 14)));
  }
}

// ---------------------------------------------------------------------------------------------
// Buttons with more to do than one machine operation

void TCalcF::SpeedButtonPMEClick() {
  machine_.ChangeExponentSign();
  ShowStack();
  // The cursor after the exponent: digits typed next go into it.
  FocusX(false);
}

void TCalcF::ButtondegClick() {
  machine_.ToggleAngleMode();
  Label5->setText(AngleModeText(machine_.Angle()));
  FocusX();
}

void TCalcF::ButtoneditClick() {
  machine_.SetLift(false);
  FocusX(false);
}

void TCalcF::ButtontopClick() {
  onTop_ = !onTop_;
  Buttontop->setText(onTop_ ? "Top" : "Back");
  Buttontop->setToolTip(onTop_ ? "Click moves to back" : "Click stays on top");
  const QPoint where = pos();
  const bool visible = isVisible();
  // Qt makes the window anew for a new stacking flag and hides it on the way.
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop_);
  if (visible && !isVisible()) {
    move(where);
    show();
    ApplyOwner();
  }
  machine_.SetLift(false);
  FocusX();
}

void TCalcF::ButtonSmallClick() {
  expanded_ = !expanded_;
  setFixedHeight(expanded_ ? height() + shrink_ : height() - shrink_);
  ButtonSmall->setText(expanded_ ? "Trig" : "Shrunk");
  ButtonSmall->setToolTip(expanded_ ? "Click to shrink" : "Click for Trig/Log");
  FocusX();
  machine_.SetLift(true);
}

void TCalcF::ButtonHClick() {
  prompts_.ShowHelp(kHelpTopic);
  FocusX();
  machine_.SetLift(false);
}

// ---------------------------------------------------------------------------------------------
// Keys in EditX

bool TCalcF::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditX) {
    if (event->type() == QEvent::KeyPress) return EditXKeyPress(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::KeyRelease) return EditXKeyUp(static_cast<QKeyEvent*>(event));
  }
  return QDialog::eventFilter(watched, event);
}

bool TCalcF::EditXKeyPress(QKeyEvent* key) {
  if (key->matches(QKeySequence::Copy)) {
    machine_.SetLift(true);
    EditX->selectAll();
    return false;
  }
  if (key->matches(QKeySequence::Cut)) {
    machine_.SetLift(false);
    EditX->selectAll();
    return false;
  }
  if (key->matches(QKeySequence::Paste)) {
    EditX->selectAll();
    const bool pushes = machine_.Lift();
    const CalcOutcome outcome = machine_.BeforeFieldPaste();
    if (pushes) Finish(outcome);
    return false;
  }
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Finish(machine_.Enter());
      return true;
    // Their work is done when the key comes up.
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return true;
    default:
      break;
  }
  const QString text = key->text();
  if (text.size() != 1 || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    return false;
  }
  const QChar c = text.at(0);
  CalcOutcome (CalcMachine::*arithmetic)() = nullptr;
  if (c == '+') arithmetic = &CalcMachine::Add;
  if (c == '-') arithmetic = &CalcMachine::Subtract;
  if (c == '*') arithmetic = &CalcMachine::Multiply;
  if (c == '/') arithmetic = &CalcMachine::Divide;
  if (arithmetic != nullptr) {
    // A minus sign cannot be typed: "Change sign" makes negative numbers.
    Finish((machine_.*arithmetic)());
    return true;
  }
  if (c.isPrint() || c == '\b') {
    const bool pushes = machine_.Lift();
    const CalcOutcome outcome = machine_.BeforeCharacter();
    // The pushed X shows selected, so the character replaces it.
    if (pushes) Finish(outcome);
  }
  return false;
}

bool TCalcF::EditXKeyUp(QKeyEvent* key) {
  if (key->isAutoRepeat()) return false;
  switch (key->key()) {
    case Qt::Key_Down:
      Finish(machine_.RollDown());
      return true;
    case Qt::Key_Up:
      Finish(machine_.RollUp());
      return true;
    case Qt::Key_PageUp:
      SpeedButtonPMEClick();
      return true;
    case Qt::Key_PageDown:
      Finish(machine_.ChangeSign());
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Showing the machine

void TCalcF::Finish(CalcOutcome outcome) {
  ShowStack();
  Report(outcome);
  FocusX();
}

void TCalcF::ShowStack() {
  EditT->setText(QString::fromStdString(FormatNumber(machine_.T(), 14)));
  EditZ->setText(QString::fromStdString(FormatNumber(machine_.Z(), 14)));
  EditY->setText(QString::fromStdString(FormatNumber(machine_.Y(), 14)));
  const QString x = QString::fromStdString(machine_.XText());
  if (EditX->text() != x) EditX->setText(x);
}

void TCalcF::Report(CalcOutcome outcome) {
  if (outcome == CalcOutcome::Ok) return;
  prompts_.Beep();
  if (outcome == CalcOutcome::MathError) prompts_.ErrorBox(kMathErrorText);
}

void TCalcF::FocusX(bool select) {
  EditX->setFocus(Qt::OtherFocusReason);
  if (select) {
    EditX->selectAll();
  } else {
    EditX->deselect();
    EditX->end(false);
  }
}

}  // namespace tavel
