#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// Least-squares fit of one series.
class TFitF : public QDialog {
  Q_OBJECT

 public:
  TFitF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
