#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// Graph type, markers and axis side of one series.
class TGTypeF : public QDialog {
  Q_OBJECT

 public:
  TGTypeF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
