#pragma once

#include <QDialog>
#include <functional>

#include "core/scale/axis_scale.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavel {

class Prompts;
class Workspace;
class TGridF;

// The three axis ranges and the Multi-Scale choice. Every rule lives in core/scale/axis_scale;
// this dialog copies its edits into ScaleFields, runs the calls a button stands for and shows
// the fields again.
class TScaleF : public QDialog {
  Q_OBJECT

 public:
  TScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Shows the dialog modally with the opening rules; the caller redraws the graph afterwards.
  int Execute();

  // The Grid dialog that "Grid" opens; "Grid" is hidden while it is open, so the two never
  // open each other in a circle.
  void SetGridDialog(TGridF* grid) { grid_ = grid; }

  // Set by the frame: the graph window's redraw when it is open, and showing the graph window
  // (created when closed and a data window exists). Both do nothing until then.
  std::function<void()> RedrawGraph = [] {};
  std::function<void()> ShowGraphWindow = [] {};

  // Controls, named as the rest of the program knows them.
  QGroupBox* XBox;
  QLineEdit* MaxX;
  QLineEdit* MinX;
  QPushButton* Button1;  // "Find" X
  QPushButton* AutoBX;
  QGroupBox* YLBox;
  QLineEdit* MaxYL;
  QLineEdit* MinYL;
  QPushButton* Button2;  // "Find" left Y
  QPushButton* AutoBYL;
  QGroupBox* YRBox;
  QLineEdit* MaxYR;
  QLineEdit* MinYR;
  QPushButton* Button3;  // "Find" right Y
  QPushButton* AutoBYR;
  QGroupBox* AutoBox;
  QButtonGroup* AutoBoxItems;  // ids 0..3: "X", "Y", "Both", "Disable"
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* SetMaxMin1;  // "Find All"
  QPushButton* DrawScaleB;  // "View"
  QPushButton* GoGridB;     // "Grid"
  QPushButton* Button4;     // "Help"

  // The fields as the last action left them; ScaleDialogOpening lives here.
  const ScaleFields& Fields() const { return fields_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormShow();
  void OKBtnClick();
  void FindClick(Axis axis);
  void AutoClick(Axis axis);
  void SetMaxMin1Click();
  void DrawScaleBClick();
  void GoGridBClick();
  void Button4Click();
  void AutoBoxClick(int choice);
  void SetChoice(int choice);

  void ReadEdits();
  void ShowEdits();
  QLineEdit* MaxEdit(Axis axis) const;
  QLineEdit* MinEdit(Axis axis) const;

  Workspace& workspace_;
  Prompts& prompts_;
  TGridF* grid_ = nullptr;
  ScaleFields fields_;
};

}  // namespace tavel
