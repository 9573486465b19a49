#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/graph_file.h"

namespace tavel {

class Prompts;
class Workspace;

// What a recovery file keeps of a text window.
struct RecoveredText {
  std::string path;
  std::string text;
  bool modified = false;
};

// The names and the unsaved state of one series, beside what the graph file text holds of it.
struct RecoveredSeries {
  std::int32_t number = 0;
  bool modified = false;
  bool fileNameInCaption = false;
  std::string fileName;
  std::string captionFileName;
};

// A recovery file, read and checked.
struct RecoveryContents {
  std::string graphFileName;
  bool settingsModified = false;
  std::vector<RecoveredSeries> series;
  std::vector<RecoveredText> texts;
  GraphFileContents graph;
};

// Where the program keeps its recovery files: $XDG_STATE_HOME/tavel, or ~/.local/state/tavel.
std::filesystem::path RecoveryFolder();
// The recovery file of the program running as process `pid`: each program keeps its own.
std::filesystem::path RecoveryPath(const std::filesystem::path& folder, long pid);
// The recovery files in the folder whose program is no longer running, oldest first.
std::vector<std::filesystem::path> OrphanedRecoveryFiles(const std::filesystem::path& folder);

// The recovery file's text: the graph file text of every series and the settings, the names
// and unsaved state of each, and the text windows.
std::string RecoveryFileText(Workspace& workspace, const std::vector<RecoveredText>& texts);
std::optional<RecoveryContents> ParseRecoveryText(std::string_view text,
                                                  std::string* why = nullptr);

// Puts the series and the settings back as they were, names and unsaved state included; the
// text windows are the caller's. Like a graph file, it replaces every series.
void ApplyRecovery(Workspace& workspace, RecoveryContents&& contents);

// A copy of the series and settings that another thread may write out while the windows go
// on changing the original.
std::unique_ptr<Workspace> CopyForRecovery(Workspace& workspace, Prompts& prompts);

}  // namespace tavel
