#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "core/cells/fill_cells.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavel {

class Prompts;
class Workspace;
class TSpreadF;

// Fills a range of X or Y cells with an arithmetic progression; the rules are FillCells'.
class TFillF : public QDialog {
  Q_OBJECT

 public:
  TFillF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Shows the dialog modally for the series of `window`; "Next" leaves NextSeriesRequested
  // set for the frame's per-series loop.
  int Execute(TSpreadF& window);

  // Set by the frame: the graph window's redraw when it is open.
  std::function<void()> RedrawGraph = [] {};

  QLabel* Label1;
  QGroupBox* OperateOnBox;
  QButtonGroup* OperateOnBoxItems;  // 0 "X Column cells", 1 "Y Column cells"
  QGroupBox* LimitsBox;             // "Select Fill Limits"
  QLineEdit* Edit1;                 // Start Index
  QLineEdit* Edit2;                 // Stop Index
  QLineEdit* Edit3;                 // Start Value
  QLineEdit* Edit4;                 // Step Value
  QPushButton* ButtonOK;
  QPushButton* ButtonOperate;
  QPushButton* NextB;
  QPushButton* ButtonHelp;

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void FormActivate();
  void ButtonOperateClick();
  void NextBClick();
  QLineEdit* EditOf(FillField field) const;

  Workspace& workspace_;
  Prompts& prompts_;
  QPointer<TSpreadF> window_;
};

}  // namespace tavel
