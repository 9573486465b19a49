#include "ui/app/install_paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tavel {
namespace {

TEST(InstallPathsTest, SettingsBesideTheProgramOnlyWhereTheUserKeepsIt) {
  QTemporaryDir home, config;
  const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  const std::string userFile = (config.path() + "/tavel/tavel.cfg").toStdString();

  // A folder of the user's own: beside the program, as always.
  EXPECT_EQ(SettingsLocation(home.path() + "/tavel").string(),
            (home.path() + "/tavel.cfg").toStdString());
  // A folder that cannot be written: the user's configuration folder, made on the way.
  EXPECT_EQ(SettingsLocation(home.path() + "/missing/tavel").string(), userFile);
  EXPECT_TRUE(QDir(config.path() + "/tavel").exists());
  // An installed program, even where the folder could be written.
  QDir(home.path()).mkpath("usr/bin");
  QDir(home.path()).mkpath("usr/share/applications");
  QFile entry(home.path() + "/usr/share/applications/io.github.tavelgraphics.Tavel.desktop");
  ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
  EXPECT_EQ(SettingsLocation(home.path() + "/usr/bin/tavel").string(), userFile);

  if (oldConfig.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", oldConfig);
  }
}

}  // namespace
}  // namespace tavel
