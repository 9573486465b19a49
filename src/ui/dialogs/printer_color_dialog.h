#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// The printer colour of one series.
class TPrintCF : public QDialog {
  Q_OBJECT

 public:
  TPrintCF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
