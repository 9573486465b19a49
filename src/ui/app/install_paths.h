#pragma once

#include <QString>
#include <filesystem>

namespace tavel {

// Where the program keeps its files, installed or not.

// The settings file: beside the executable (its path with the extension ".cfg") when it can be
// written there, as in a folder of the user's own; otherwise, and always for an installed
// program, $XDG_CONFIG_HOME/tavel/tavel.cfg (the folder made when missing).
std::filesystem::path SettingsLocation(const QString& executable);

// The help file: beside the executable when it is there, otherwise where an installed program
// keeps its shared files (../share/tavel beside the bin folder).
QString HelpLocation(const QString& executable);

}  // namespace tavel
