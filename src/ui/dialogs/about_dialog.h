#pragma once

#include <QDialog>

class QPushButton;

namespace tavel {

// The about box: created, shown modally and destroyed by the frame's "&About" command.
class TAboutF : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutF(QWidget* parent = nullptr);

  QPushButton* OKButton;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace tavel
