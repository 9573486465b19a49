#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tavel {

class Prompts;
class Series;
class Workspace;
class TSpreadF;

// Combines the X and Y values of each point of one series; the rules are OperateXY's.
class TMath_XYF : public QDialog {
  Q_OBJECT

 public:
  TMath_XYF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Shows the dialog modally for the series of `window`; "Next" leaves NextSeriesRequested
  // set for the frame's per-series loop.
  int Execute(TSpreadF& window);

  // Set by the frame: the graph window's redraw when it is open.
  std::function<void()> RedrawGraph = [] {};

  QLabel* Label1;
  QGroupBox* Math_XYBox;
  QButtonGroup* Math_XYBoxItems;  // ids 0..7, the XYOperation items
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

  Workspace& workspace_;
  Prompts& prompts_;
  QPointer<TSpreadF> window_;
};

}  // namespace tavel
