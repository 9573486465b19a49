#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "core/platform/prompts.h"
#include "ui/app/help_viewer.h"

namespace tavel {

// Qt's name filter for one filter choice: "Data File (*.prn)". "*.*" becomes "*" so that it
// also lists files without an extension.
QString QtNameFilter(const FileFilter& filter);
QStringList QtNameFilters(const std::vector<FileFilter>& filters);

// The real message boxes, file dialogs, beep and help window.
class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  ~QtPrompts() override;

  // The window the boxes are centred on and the help window belongs to.
  void SetParent(QWidget* parent) { parent_ = parent; }
  void SetHelpFile(const QString& helpFile) { helpFile_ = helpFile; }
  HelpViewer* helpViewer() const { return helpViewer_; }

  void Beep() override;
  void ErrorBox(const std::string& text) override;
  bool AskYesAbort(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  void ReportError(const std::string& systemText) override;
  std::optional<std::string> OpenFileName(FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
  void ShowHelp(int context) override;

 private:
  std::optional<std::string> RunFileDialog(const FileDialogOptions& options, bool save,
                                           int* chosenFilter = nullptr);

  QPointer<QWidget> parent_;
  QString helpFile_;
  QPointer<HelpViewer> helpViewer_;
  // Dialogs are kept for the whole run: the next one opens where the last one left off.
  QString lastFolder_;
};

}  // namespace tavel
