#pragma once

#include <QDialog>
#include <QPointer>

namespace tavel {

class Prompts;
class Workspace;
class TMathF;

// The RPN calculator with its four-level stack.
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

 protected:
  Workspace& workspace_;
  Prompts& prompts_;

 private:
  void ApplyOwner();

  TMathF* math_ = nullptr;
  QPointer<QWidget> owner_;
};

}  // namespace tavel
