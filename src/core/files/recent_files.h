#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tavel {

// The files last opened or saved, newest first, kept in a file of their own beside the
// settings file (whose four lines stay as they are).
constexpr std::size_t kRecentFileCount = 5;

// The list's file for a settings file: the same name with ".recent".
std::filesystem::path RecentFilesPath(const std::filesystem::path& settingsFile);

// The list as stored, one path a line; a missing or unreadable file gives an empty list, and
// empty or repeated lines are dropped. `unreadable` tells of a file that is there but is no
// regular file of a sane size (a pipe, a link to a device), which the caller reports once.
std::vector<std::string> LoadRecentFiles(const std::filesystem::path& path,
                                         bool* unreadable = nullptr);
// Through the safe replace; throws FileWriteError.
void SaveRecentFiles(const std::filesystem::path& path, const std::vector<std::string>& files);

// `file` to the front, without repeats and without line breaks, at most kRecentFileCount.
void NoteRecentFile(std::vector<std::string>& files, const std::string& file);

}  // namespace tavel
