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

// The printer colour of one series, stored by OK or Next only.
class TPrintCF : public QDialog {
  Q_OBJECT

 public:
  TPrintCF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  DialogHooks Hooks;

  QLabel* Label1;  // "Series #" and the number
  QGroupBox* RadioGroup1;
  QButtonGroup* RadioGroup1Items;  // PrinterColorItem ids
  QPushButton* OKBtn;
  QPushButton* Button6;  // "Next"
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void Store();

  Workspace& workspace_;
  Prompts& prompts_;
  Series* series_ = nullptr;
};

}  // namespace tavel
