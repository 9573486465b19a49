#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// Fills a range of X or Y cells with an arithmetic progression.
class TFillF : public QDialog {
  Q_OBJECT

 public:
  TFillF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
