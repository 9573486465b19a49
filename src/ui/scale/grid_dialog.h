#pragma once

#include <QDialog>
#include <functional>

#include "core/scale/grid_settings.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavel {

class Prompts;
class Workspace;
class TScaleF;

// Grid divisions, scale numbers and their decimals. Every rule lives in core/scale/grid_settings;
// this dialog copies its edits into GridFields, runs the call a button stands for and shows the
// fields again.
class TGridF : public QDialog {
  Q_OBJECT

 public:
  TGridF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Shows the dialog modally with the opening rules; the caller redraws the graph afterwards.
  int Execute();

  // The Scale dialog that "Scale" opens; "Scale" is hidden while it is open, so the two never
  // open each other in a circle.
  void SetScaleDialog(TScaleF* scale) { scale_ = scale; }

  // Set by the frame: the graph window's redraw when it is open, and showing the graph window
  // (created when closed and a data window exists). Both do nothing until then.
  std::function<void()> RedrawGraph = [] {};
  std::function<void()> ShowGraphWindow = [] {};

  // Resets the grid of the linear axes and shows the reset values in the edits. Returns true
  // when the graph is to be shown and redrawn; false (with a beep) when both axes are
  // logarithmic. The Scale dialog's "Find All" ends with this too.
  bool ClearGrid();

  // Controls, named as the rest of the program knows them.
  QGroupBox* XBox;
  QLineEdit* XMinor;
  QLineEdit* XMajor;
  QGroupBox* GroupBox1;  // "Y - Axis Grid"
  QLineEdit* YMinor;
  QLineEdit* YMajor;
  QGroupBox* GroupBox4;  // "X - Scale Numbers"
  QLineEdit* XTicks;
  QLineEdit* XDec;
  QGroupBox* GroupBox3;  // "Y Left - Scale Numbers"
  QLineEdit* YLTicks;
  QLineEdit* YLDec;
  QGroupBox* GroupBox2;  // "Y Right - Scale Numbers"
  QLineEdit* YRTicks;
  QLineEdit* YRDec;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpB;
  QPushButton* ClearB;
  QPushButton* AutoXGridB;
  QPushButton* AutoYLGridB;
  QPushButton* AutoYRGridB;
  QPushButton* DrawGridB;  // "View"
  QPushButton* GoScaleB;   // "Scale"

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormShow();
  void OKBtnClick();
  void ClearBClick();
  void AutoGridClick(Axis axis);
  void DrawGridBClick();
  void GoScaleBClick();
  void HelpBClick();

  void ReadEdits();
  void ShowEdits();
  void ShowAndRedraw();

  Workspace& workspace_;
  Prompts& prompts_;
  TScaleF* scale_ = nullptr;
  GridFields fields_;
};

}  // namespace tavel
