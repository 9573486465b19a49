#pragma once

#include <QDialog>
#include <memory>

#include "ui/app/dialog_hooks.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tavel {

class FitSnapshot;
class Prompts;
class Series;
class Workspace;

// The "Series # N" heading of the fit dialogs, in bold, larger type; ShowSeriesHeading gives it
// the series' number and colour.
QLabel* MakeSeriesHeading(QWidget* parent);
void ShowSeriesHeading(QLabel* heading, const Series& series);

// The Regression Fit Dialog: the user tries the laws on the active series, each choice fits
// and redraws at once, and OK or Next keeps the last one. Any other close puts the series back
// exactly as the dialog found it, its rows and cells included.
class TFitF : public QDialog {
  Q_OBJECT

 public:
  TFitF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);
  ~TFitF() override;

  DialogHooks Hooks;

  // OK or Next has taken the choice over.
  bool FitConfirmed = false;

  QLabel* Label9;  // "Series # " and the number
  QGroupBox* RadioFit1;
  QButtonGroup* RadioFit1Items;  // ids 0..8 = FitKind
  QGroupBox* GroupBox1;          // "Coefficients"
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QGroupBox* GroupBox2;  // "Sample Equation"
  QLabel* Label8;
  QGroupBox* GroupBox3;  // "Determination"
  QLabel* Label7;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"
  QPushButton* NextB;

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void FormClose();
  void RadioFit1Click(int index);
  void OKBtnClick();
  void NextBClick();
  void OKAction();
  void ShowFitLabels();
  void RewriteFitHeader();

  Workspace& workspace_;
  Prompts& prompts_;
  // The series of this opening and how it was when the dialog opened.
  Series* series_ = nullptr;
  std::unique_ptr<FitSnapshot> opening_;
};

}  // namespace tavel
