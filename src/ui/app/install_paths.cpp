#include "ui/app/install_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

#include "core/files/settings_file.h"
#include "ui/app/help_viewer.h"

namespace tavel {

namespace {

bool Writable(const std::filesystem::path& path) {
  return ::access(path.c_str(), W_OK) == 0;
}

// An installed program has its desktop entry in the shared folder beside its bin folder; its
// folder is the system's even for an administrator who could write there.
bool Installed(const std::filesystem::path& executable) {
  std::error_code error;
  return std::filesystem::exists(executable.parent_path() / ".." / "share" / "applications" /
                                     "io.github.tavelgraphics.Tavel.desktop",
                                 error);
}

}  // namespace

std::filesystem::path SettingsLocation(const QString& executable) {
  const std::filesystem::path beside = SettingsFilePath(executable.toStdString());
  std::error_code error;
  if (!Installed(beside) && (std::filesystem::exists(beside, error)
                                 ? Writable(beside)
                                 : Writable(beside.parent_path()))) {
    return beside;
  }
  const QString folder =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tavel";
  QDir().mkpath(folder);
  return (folder + "/tavel.cfg").toStdString();
}

QString HelpLocation(const QString& executable) {
  const QString beside = HelpFilePath(executable);
  if (QFileInfo::exists(beside)) return beside;
  const QFileInfo program(executable);
  return QDir(program.absolutePath() + "/../share/tavel").absoluteFilePath(
      QFileInfo(beside).fileName());
}

}  // namespace tavel
