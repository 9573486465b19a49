#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "core/cells/cell_operations.h"
#include "ui/platform/qt_clipboard.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavel {

class Prompts;
class Workspace;
class TCalcF;
class TSpreadF;

// Arithmetic with a constant on cells, with total, average and sigma. The rules live in
// core/cells/cell_operations; this dialog reads its controls into a cell set and K, runs the
// core calls and shows what they give back.
//
// The constant K is CalcX, shared with the calculator: the edit is loaded from it on every
// show and read back into it on "Operate", on "Calculator" and whenever another window (the
// calculator, typically) becomes active in place of this dialog.
class TMathF : public QDialog {
  Q_OBJECT

 public:
  TMathF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Shows the dialog modally for the series of `window`; "Next" leaves NextSeriesRequested
  // set for the frame's per-series loop.
  int Execute(TSpreadF& window);

  // The calculator that "Calculator" opens (it may stay open beside this dialog).
  void SetCalculator(TCalcF* calculator) { calculator_ = calculator; }

  // Set by the frame: the graph window's redraw when it is open.
  std::function<void()> RedrawGraph = [] {};

  // Closing is not another window taking the dialog's place: K is not read on the way out.
  void done(int result) override;

  // The set of cells the controls choose, as the core rules take it.
  CellSet ChosenSet() const;

  // Controls, named as the rest of the program knows them.
  QLabel* Label1;
  QGroupBox* OperationBox;
  QButtonGroup* OperationBoxItems;  // ids 0..8, the CellOperation items
  QGroupBox* ConstantBox;
  QLineEdit* Edit1;  // K
  QGroupBox* OperateOnBox;
  QRadioButton* SelectedCellsRB;
  QRadioButton* XColumnCellsRB;
  QRadioButton* YColumnCellsRB;
  QLineEdit* Edit2;      // Total
  QLineEdit* Edit3;      // Average
  QLineEdit* Edit4;      // Sigma
  QPushButton* Button1;  // "OK"
  QPushButton* ButtonOperate;
  QPushButton* ButtonCopy;
  QPushButton* NextB;
  QPushButton* ButtonCal;
  QPushButton* Button3;  // "Help"

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void FormShow();
  void FormActivate();
  void FormDeactivate();
  void Button1Click();
  void ButtonOperateClick();
  void ButtonCopyClick();
  void NextBClick();
  void ButtonCalClick();
  void Button3Click();
  void OperateOnClick();

  void ShowStatistics();
  void ShowStatistics(const CellStatistics& statistics);
  // K from Edit1 into CalcX; false (CalcX kept) when the text is no number.
  bool ReadK();
  Series* ActiveSeries() const;

  Workspace& workspace_;
  Prompts& prompts_;
  QtClipboard clipboard_;
  TCalcF* calculator_ = nullptr;
  QPointer<TSpreadF> window_;
  bool kReadForCalculator_ = false;
  bool closing_ = false;
};

}  // namespace tavel
