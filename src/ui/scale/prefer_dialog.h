#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// The preferences: rows of a new series, bar width and the printer options.
class TPreferF : public QDialog {
  Q_OBJECT

 public:
  TPreferF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
