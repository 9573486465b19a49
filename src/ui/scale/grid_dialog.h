#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// Grid divisions, scale numbers and their decimals.
class TGridF : public QDialog {
  Q_OBJECT

 public:
  TGridF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
