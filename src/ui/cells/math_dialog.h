#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// Arithmetic with a constant on cells, with total, average and sigma.
class TMathF : public QDialog {
  Q_OBJECT

 public:
  TMathF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
