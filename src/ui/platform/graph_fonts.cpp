#include "ui/platform/graph_fonts.h"

#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QStandardPaths>
#include <algorithm>

namespace tavel {

namespace {

constexpr char kCondensedFontFile[] = "abaexbc.ttf";
constexpr char kCondensedFontFamily[] = "Abadi MT Condensed Extra Bold";

}  // namespace

QStringList FontFolders() {
  QStringList folders = QStandardPaths::standardLocations(QStandardPaths::FontsLocation);
  folders << "/usr/share/fonts"
          << "/usr/local/share/fonts" << QDir::homePath() + "/.local/share/fonts"
          << QDir::homePath() + "/.fonts";
  folders.removeDuplicates();
  return folders;
}

bool CondensedFontFileIn(const QStringList& folders) {
  for (const QString& folder : folders) {
    QDirIterator it(folder, {kCondensedFontFile}, QDir::Files,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    if (it.hasNext()) return true;
  }
  return false;
}

bool CondensedGraphFontInstalled() {
  if (CondensedFontFileIn(FontFolders())) return true;
  const QStringList families = QFontDatabase::families();
  return std::any_of(families.begin(), families.end(), [](const QString& family) {
    return family.contains(kCondensedFontFamily, Qt::CaseInsensitive);
  });
}

}  // namespace tavel
