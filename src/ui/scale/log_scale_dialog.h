#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace tavel {

class Prompts;
class Workspace;

// Logarithmic axes and the form of their decade labels. A choice takes effect at once: the
// graph is redrawn while the dialog stays open, and from then on there is nothing to cancel.
class TLogScaleF : public QDialog {
  Q_OBJECT

 public:
  TLogScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Set by the frame: the graph window's redraw when it is open.
  std::function<void()> RedrawGraph = [] {};

  QGroupBox* LogBox;
  QButtonGroup* LogBoxItems;  // ids 0..3: "X", "Y", "Both", "None"
  QGroupBox* FormatBox;
  QButtonGroup* FormatBoxItems;  // ids 0..1: "Exponential", "Decimal"
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormShow();
  void LogBoxClick(int choice);
  void FormatBoxClick(int format);
  void OKBtnClick();

  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
