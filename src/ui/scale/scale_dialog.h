#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// The three axis ranges and the Multi-Scale choice.
class TScaleF : public QDialog {
  Q_OBJECT

 public:
  TScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
