#pragma once

#include <QDialog>
#include <array>

#include "ui/app/dialog_hooks.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavel {

class Prompts;
class Workspace;

// What the five title dialogs share: placement on show, focus on the first edit with its
// text selected, help 900, and Cancel or a close that stores nothing.
class TitleDialog : public QDialog {
  Q_OBJECT

 public:
  DialogHooks Hooks;

 protected:
  TitleDialog(Workspace& workspace, Prompts& prompts, const QString& caption, int inset,
              bool stayOnTop, QWidget* parent);

  void showEvent(QShowEvent* event) override;
  // Fills the controls from the settings; the first edit gets the focus afterwards.
  virtual void FormShow() = 0;
  virtual QLineEdit* FirstEdit() const = 0;
  void HelpClick();

  Workspace& workspace_;
  Prompts& prompts_;

 private:
  int inset_;
};

// The three main title lines.
class TTitleTF : public TitleDialog {
  Q_OBJECT

 public:
  TTitleTF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  QLineEdit* TitTop1;
  QLineEdit* TitTop2;
  QLineEdit* TitTop3;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"

 protected:
  void FormShow() override;
  QLineEdit* FirstEdit() const override { return TitTop1; }

 private:
  void OKBtnClick();
};

// The three X axis title lines.
class TTitleXF : public TitleDialog {
  Q_OBJECT

 public:
  TTitleXF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  QLineEdit* TitX1;
  QLineEdit* TitX2;
  QLineEdit* TitX3;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"

 protected:
  void FormShow() override;
  QLineEdit* FirstEdit() const override { return TitX1; }

 private:
  void OKBtnClick();
};

// The left and right Y axis titles.
class TTitleYF : public TitleDialog {
  Q_OBJECT

 public:
  TTitleYF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  QLineEdit* TitY1;
  QLineEdit* TitY2;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"

 protected:
  void FormShow() override;
  QLineEdit* FirstEdit() const override { return TitY1; }

 private:
  void OKBtnClick();
};

// The legend text of one series, stepping through the series with Next; its "Auto Label All"
// buttons title every series at once.
class TTitleSerF : public TitleDialog {
  Q_OBJECT

 public:
  TTitleSerF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  QLabel* Label1;  // "Series #" and the number
  QGroupBox* TitSerBox;
  QLineEdit* TitSer1;
  QPushButton* OKBtn;
  QPushButton* Button6;  // "Next"
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"
  QGroupBox* AutoBox;    // "Auto Label All"
  QPushButton* Button2;  // "Series + ##"
  QPushButton* Button3;  // "Text" + ##
  QPushButton* Button4;  // "Text " only
  QPushButton* Button5;  // "Clear"

 protected:
  void FormShow() override;
  QLineEdit* FirstEdit() const override { return TitSer1; }
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OKBtnClick();
  void Button6Click();
  void AutoLabelClick(int button);

  Series* series_ = nullptr;
};

// The ten floating titles and their positions.
class TTitleFlF : public TitleDialog {
  Q_OBJECT

 public:
  TTitleFlF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Edit(i) for i = 1..30: the texts 1..10, the X positions 11..20, the Y positions 21..30.
  QLineEdit* Edit(int i) const { return edits_[static_cast<std::size_t>(i)]; }
  QPushButton* Button1;  // "OK"
  QPushButton* Button2;  // "Cancel"
  QPushButton* Button3;  // "Help"
  QPushButton* Button4;  // "View"

 protected:
  void FormShow() override;
  QLineEdit* FirstEdit() const override { return Edit(1); }
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Button1Click();
  void Button4Click();
  void StoreEdits();

  std::array<QLineEdit*, 31> edits_{};  // [1..30]
};

}  // namespace tavel
