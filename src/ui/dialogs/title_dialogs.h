#pragma once

#include <QDialog>

namespace tavel {

class Prompts;
class Workspace;

// The three main title lines.
class TTitleTF : public QDialog {
  Q_OBJECT

 public:
  TTitleTF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

// The three X axis title lines.
class TTitleXF : public QDialog {
  Q_OBJECT

 public:
  TTitleXF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

// The left and right Y axis titles.
class TTitleYF : public QDialog {
  Q_OBJECT

 public:
  TTitleYF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

// The legend text of one series, stepping through the series with Next.
class TTitleSerF : public QDialog {
  Q_OBJECT

 public:
  TTitleSerF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

// The ten floating titles and their positions.
class TTitleFlF : public QDialog {
  Q_OBJECT

 public:
  TTitleFlF(Workspace& workspace, Prompts& prompts, QWidget* parent = nullptr);

 protected:
  Workspace& workspace_;
  Prompts& prompts_;
};

}  // namespace tavel
