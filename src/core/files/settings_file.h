#pragma once

#include <filesystem>

#include "core/series/graph_settings.h"

namespace tavel {

// The settings file: the executable's path with its extension replaced by ".cfg".
std::filesystem::path SettingsFilePath(const std::filesystem::path& executable);

enum class SettingsLoad {
  NoFile,  // nothing read, nothing written, the current values kept
  Loaded,  // read, checked and written back
  Failed,  // unreadable, malformed or not writable: the defaults were taken
};

// Reads MaxDataIndex, BarWidth, the reserved value and PrinterOptions, puts out-of-range
// values right and writes the file back. On Failed the caller shows
// IncompatibleFormatText(path).
SettingsLoad LoadSettings(const std::filesystem::path& path, GraphSettings& settings);

// The four lines, replacing the file only once it is whole. Throws FileWriteError.
void WriteSettingsFile(const std::filesystem::path& path, const GraphSettings& settings);

}  // namespace tavel
