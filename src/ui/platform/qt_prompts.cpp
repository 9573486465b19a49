#include "ui/platform/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "ui/app/help_viewer.h"

namespace tavel {

namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

QMessageBox::StandardButton RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                   const std::string& text, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, Text(text), buttons, parent);
  box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString QtNameFilter(const FileFilter& filter) {
  QStringList patterns = QString::fromStdString(filter.patterns).split(' ', Qt::SkipEmptyParts);
  for (QString& p : patterns) {
    if (p == "*.*") p = "*";
  }
  return QString::fromStdString(filter.name) + " (" + patterns.join(' ') + ")";
}

QStringList QtNameFilters(const std::vector<FileFilter>& filters) {
  QStringList list;
  for (const FileFilter& f : filters) list << QtNameFilter(f);
  return list;
}

QtPrompts::~QtPrompts() {
  delete helpViewer_.data();
}

void QtPrompts::Beep() {
  QApplication::beep();
}

void QtPrompts::ErrorBox(const std::string& text) {
  RunBox(parent_, QMessageBox::Critical, "Error", text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompts::AskYesAbort(const std::string& text) {
  return RunBox(parent_, QMessageBox::Warning, "Warning", text,
                QMessageBox::Yes | QMessageBox::Abort, QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtPrompts::AskYesNo(const std::string& text) {
  return RunBox(parent_, QMessageBox::Warning, "Warning", text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes) == QMessageBox::Yes;
}

Answer QtPrompts::AskYesNoCancel(const std::string& text) {
  switch (RunBox(parent_, QMessageBox::Question, "Confirm", text,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

void QtPrompts::ReportError(const std::string& systemText) {
  RunBox(parent_, QMessageBox::Critical, "Tavel Graphics", systemText, QMessageBox::Ok,
         QMessageBox::Ok);
}

std::optional<std::string> QtPrompts::OpenFileName(FileDialogOptions& options) {
  return RunFileDialog(options, false, &options.filterIndex);
}

std::optional<std::string> QtPrompts::SaveFileName(const FileDialogOptions& options) {
  return RunFileDialog(options, true);
}

std::optional<std::string> QtPrompts::RunFileDialog(const FileDialogOptions& options, bool save,
                                                    int* chosenFilter) {
  QFileDialog dialog(parent_, Text(options.title), lastFolder_);
  if (options.helpContext > 0) SetHelpContext(&dialog, options.helpContext);
  const QStringList filters = QtNameFilters(options.filters);
  dialog.setNameFilters(filters);
  if (options.filterIndex >= 1 && options.filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[options.filterIndex - 1]);
  }
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own overwrite question with its own wording.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(Text(options.defaultExtension));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (!options.fileName.empty()) dialog.selectFile(Text(options.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().first();
  lastFolder_ = QFileInfo(chosen).absolutePath();
  if (chosenFilter != nullptr) {
    const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
    if (index >= 0) *chosenFilter = static_cast<int>(index) + 1;
  }
  return chosen.toStdString();
}

void QtPrompts::ShowHelp(int context) {
  if (!helpViewer_) helpViewer_ = new HelpViewer(helpFile_, parent_);
  helpViewer_->ShowTopic(context);
}

}  // namespace tavel
