#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// Logarithmic axes and the form of their scale numbers.
class TLogScaleF : public QDialog {
  Q_OBJECT

 public:
  TLogScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
