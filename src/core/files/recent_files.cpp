#include "core/files/recent_files.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "core/files/atomic_file.h"
#include "core/files/file_bytes.h"

namespace tavel {

std::filesystem::path RecentFilesPath(const std::filesystem::path& settingsFile) {
  std::filesystem::path path = settingsFile;
  path.replace_extension(".recent");
  return path;
}

std::vector<std::string> LoadRecentFiles(const std::filesystem::path& path, bool* unreadable) {
  std::vector<std::string> files;
  if (unreadable != nullptr) *unreadable = false;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return files;
  // Five names; a pipe, a device or anything far larger is not the list.
  const auto text = ReadWholeFile(path.string(), 64 * 1024);
  if (!text) {
    if (unreadable != nullptr) *unreadable = true;
    return files;
  }
  std::string_view rest(*text);
  while (files.size() < kRecentFileCount && !rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string line(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || std::find(files.begin(), files.end(), line) != files.end()) continue;
    files.push_back(line);
  }
  return files;
}

void SaveRecentFiles(const std::filesystem::path& path, const std::vector<std::string>& files) {
  std::string content;
  for (const std::string& file : files) content += file + "\n";
  WriteFileAtomically(path, content);
}

void NoteRecentFile(std::vector<std::string>& files, const std::string& file) {
  // A name with a line break could not be read back as one entry.
  if (file.empty() || file.find_first_of("\r\n") != std::string::npos) return;
  files.erase(std::remove(files.begin(), files.end(), file), files.end());
  files.insert(files.begin(), file);
  if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
}

}  // namespace tavel
