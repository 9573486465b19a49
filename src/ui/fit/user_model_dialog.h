#pragma once

#include <QDialog>
#include <memory>

#include "core/series/fit_result.h"
#include "ui/app/dialog_hooks.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tavel {

class FitSnapshot;
class Prompts;
class Series;
class Workspace;

// "&User Model...": a model the user types, fitted to the active series by nonlinear least
// squares. The parameters the formula names are listed with a start value and a "fixed" tick
// each; Fit tries the model and shows what it found, OK and Next keep it. Any other close puts
// the series back exactly as the dialog found it.
class TUserModelF : public QDialog {
  Q_OBJECT

 public:
  TUserModelF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);
  ~TUserModelF() override;

  DialogHooks Hooks;

  // OK or Next has taken the fit over.
  bool FitConfirmed = false;

  QLabel* SeriesLabel;  // "Series # " and the number
  QLineEdit* FormulaEdit;
  QTableWidget* ParameterTable;  // name, start, fixed, value, standard error
  QLabel* StatusLabel;           // what the formula or the last fit came to
  QPushButton* FitBtn;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;
  QPushButton* NextB;

  // The columns of ParameterTable.
  enum Column { kName, kStart, kFixed, kValue, kError, kColumns };

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void FormulaEdited();
  // The model as the controls give it; false after saying why it cannot be fitted.
  bool ReadModel(UserModel& model);
  // Fits the model as the controls give it; false after saying why when it does not stand.
  bool FitClick();
  void OKBtnClick(bool next);
  void ShowParameters(const UserModel& model);
  void ShowResult();

  Workspace& workspace_;
  Prompts& prompts_;
  Series* series_ = nullptr;
  std::unique_ptr<FitSnapshot> opening_;
  // The last model this dialog fitted: the start of a series that has none yet.
  UserModel lastModel_;
  // The controls have not changed since the fit the series now holds.
  bool fitCurrent_ = false;
};

}  // namespace tavel
