#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// The RPN calculator with its four-level stack.
class TCalcF : public QDialog {
  Q_OBJECT

 public:
  TCalcF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
