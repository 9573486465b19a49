#pragma once

#include <QDialog>
#include <filesystem>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavel {

class Prompts;
class Workspace;

// The preferences: rows of a new series, bar width and the printer options. OK writes the
// settings file when, and only when, one of them changed.
class TPreferF : public QDialog {
  Q_OBJECT

 public:
  TPreferF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

  // Set by the frame: where the preferences are kept between runs.
  std::filesystem::path SettingsPath;

  QGroupBox* PreferBox1;
  QLineEdit* MaxLenth1;
  QLineEdit* BarWidth1;
  QGroupBox* RadioGroup1;  // "Printer Minor Grid Color"
  QButtonGroup* RadioGroup1Items;
  QGroupBox* RadioGroup2;  // "Printer Font Size"
  QButtonGroup* RadioGroup2Items;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* Button1;  // "Help"

  // Whether the printer font was "Large" when the dialog opened.
  bool PrinterFontWasLarge = false;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void OKBtnClick();

  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
