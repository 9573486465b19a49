#pragma once

#include <QDialog>
#include <QPointer>

#include "core/calc/calc_machine.h"
#include "ui/platform/qt_clipboard.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tavel {

class Prompts;
class Workspace;
class TMathF;

// The RPN calculator with its four-level stack. The stack, the lift flag and every operation
// are CalcMachine's; this window shows the machine, hands it the keys and buttons and does
// what an outcome asks (the beep, the "Math Error" box).
//
// It is created once and only hidden when closed, so the stack survives between openings. It
// is not modal and stays on top of the other windows until told otherwise.
class TCalcF : public QDialog {
  Q_OBJECT

 public:
  TCalcF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Shows the calculator, or brings it to the front. `over` is the modal dialog it is opened
  // from, if any: a modal dialog blocks every window but its own, so the calculator is made
  // that dialog's while it is open and both stay usable.
  void ShowOver(QWidget* over);
  // An open calculator passes to the modal dialog `over` (shown again by a "Next").
  void SetOwner(QWidget* over);
  // The dialog the calculator was opened over has closed: the calculator is the frame's again.
  void OwnerClosed(QWidget* over);

  // The operations dialog whose K edit takes X when the calculator closes while it is open.
  void SetMathDialog(TMathF* math) { math_ = math; }

  CalcMachine& Machine() { return machine_; }
  bool OnTop() const { return onTop_; }
  bool Expanded() const { return expanded_; }
  // How much "Trig" takes off the height: a quarter of the height at the first show.
  int ShrinkAmount() const { return shrink_; }

  // Controls, named as the rest of the program knows them.
  QLineEdit* EditX;
  QLineEdit* EditY;
  QLineEdit* EditZ;
  QLineEdit* EditT;
  QLabel* Label1;  // "X"
  QLabel* Label2;  // "Y"
  QLabel* Label3;  // "Z"
  QLabel* Label4;  // "T"
  QLabel* Label5;  // "Degrees" / "Radians"

  QPushButton* ButtonE;
  QToolButton* SpeedButtonP;
  QToolButton* SpeedButtonM;
  QToolButton* SpeedButtonMu;
  QToolButton* SpeedButtonD;
  QToolButton* SpeedButtonYX;
  QToolButton* SpeedButton1X;
  QToolButton* SpeedButtonsqrt;
  QToolButton* SpeedButtonX2;
  QToolButton* SpeedButtonPM;
  QToolButton* SpeedButtonPME;
  QToolButton* SpeedButtonR;
  QToolButton* SpeedButtonxy;
  QToolButton* SpeedButtonCE;
  QToolButton* SpeedButtonC;

  QPushButton* Buttonsin;
  QPushButton* Buttoncos;
  QPushButton* Buttontan;
  QPushButton* Buttonasin;
  QPushButton* Buttonacos;
  QPushButton* Buttonatan;
  QPushButton* Buttonlog;
  QPushButton* Button10X;
  QPushButton* Buttonln;
  QPushButton* Buttonex;
  QPushButton* Buttondeg;
  QPushButton* Buttondegrad;
  QPushButton* Buttonraddeg;

  QPushButton* ButtonSTO;
  QPushButton* ButtonRCL;
  QPushButton* ButtonCOPY;
  QPushButton* ButtonPaste;
  QPushButton* Buttonedit;
  QPushButton* Buttontop;
  QPushButton* ButtonSmall;
  QPushButton* ButtonH;
  QPushButton* ButtonExit;

 public slots:
  // Every way of closing (Done, the close box, Escape) ends here: the stack is saved first.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void FormShow();
  void FormActivate();
  void FormClose();
  void ButtontopClick();
  void ButtonSmallClick();
  void ButtoneditClick();
  void ButtonHClick();
  void SpeedButtonPMEClick();
  void ButtondegClick();

  bool EditXKeyPress(QKeyEvent* key);
  bool EditXKeyUp(QKeyEvent* key);

  // After an operation: the fields show the machine, the outcome is reported, and X is
  // focused with its text selected.
  void Finish(CalcOutcome outcome);
  void ShowStack();
  void Report(CalcOutcome outcome);
  void FocusX(bool select = true);
  void ApplyOwner();
  // Moves the window off the dialog it was opened from, whose K field and buttons it must not
  // cover.
  void KeepClearOf(const QWidget& over);

  Workspace& workspace_;
  Prompts& prompts_;
  QtClipboard clipboard_;
  CalcMachine machine_;
  TMathF* math_ = nullptr;
  QPointer<QWidget> owner_;
  bool shown_ = false;
  bool onTop_ = true;
  bool expanded_ = true;
  int shrink_ = 0;
};

}  // namespace tavel
