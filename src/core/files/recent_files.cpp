#include "core/files/recent_files.h"

#include <algorithm>
#include <fstream>

#include "core/files/atomic_file.h"

namespace tavel {

std::filesystem::path RecentFilesPath(const std::filesystem::path& settingsFile) {
  std::filesystem::path path = settingsFile;
  path.replace_extension(".recent");
  return path;
}

std::vector<std::string> LoadRecentFiles(const std::filesystem::path& path) {
  std::vector<std::string> files;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (files.size() < kRecentFileCount && std::getline(in, line)) {
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
