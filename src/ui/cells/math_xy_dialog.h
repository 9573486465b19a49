#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// Combines the X and Y values of each point of one series.
class TMath_XYF : public QDialog {
  Q_OBJECT

 public:
  TMath_XYF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
