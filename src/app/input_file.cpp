#include "app/input_file.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "core/files/csv_file.h"
#include "core/files/data_file.h"
#include "core/files/file_names.h"
#include "core/files/graph_file.h"
#include "core/series/workspace.h"

namespace tavel {

bool ReadInputFile(Workspace& workspace, const std::string& path, std::ostream& err) {
  const bool csv = IsCsvFileName(path);
  const FileKind kind = FileKindOf(path);
  if (kind == FileKind::Other && !csv) {
    err << "tavel: " << path
        << ": unknown input type; give a data file (.prn or .csv) or a graph file (.gra)\n";
    return false;
  }
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    err << "tavel: " << path << ": no such file\n";
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    err << "tavel: " << path << ": is a folder, not a "
        << (kind == FileKind::GraphFile ? "graph" : "data") << " file\n";
    return false;
  }
  if (kind == FileKind::GraphFile) {
    if (!ReadGraphFile(workspace, path).ok) {
      err << "tavel: " << path << ": cannot be read as a graph file\n";
      return false;
    }
    if (workspace.DataWindows.empty()) {
      err << "tavel: " << path << ": the file holds no series\n";
      return false;
    }
    return true;
  }
  const CsvOpenResult opened = OpenDataFileByName(workspace, path);
  if (opened.failed) {
    err << "tavel: " << path << ": cannot be read as a data file\n";
    return false;
  }
  if (opened.created.empty()) {
    err << "tavel: " << path << ": the file holds no series (no column of Y values)\n";
    return false;
  }
  return true;
}

}  // namespace tavel
