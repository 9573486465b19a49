#pragma once

#include <QDialog>

#include "ui/app/dialog_hooks.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tavel {

class Prompts;
class Series;
class Workspace;

// Graph type, markers and axis side of one series. Every click takes effect at once, so there
// is no Cancel; Next steps to the next series.
class TGTypeF : public QDialog {
  Q_OBJECT

 public:
  TGTypeF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  DialogHooks Hooks;

  QLabel* Label1;  // "Series #" and the number
  QGroupBox* RadioGroup1;
  QButtonGroup* RadioGroup1Items;  // ids 0..6 = GraphType - 1
  QGroupBox* RadioGroup2;
  QButtonGroup* RadioGroup2Items;  // 0 "Show", 1 "Hide"
  QGroupBox* RadioGroup3;
  QButtonGroup* RadioGroup3Items;  // 0 "Left", 1 "Right"
  QPushButton* OKBtn;
  QPushButton* NextB;
  QPushButton* Button1;  // "Help"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void RadioGroup1Click(int item);
  void RadioGroup2Click(int item);
  void RadioGroup3Click(int item);
  void NextBClick();
  // Shows the series' settings without running the click handlers.
  void ShowChoices();

  Workspace& workspace_;
  Prompts& prompts_;
  Series* series_ = nullptr;
};

}  // namespace tavel
