#include "app/input_file.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "core/files/csv_file.h"
#include "core/files/data_file.h"
#include "core/files/file_names.h"
#include "core/files/graph_file.h"
#include "core/files/plain_data_file.h"
#include "core/series/workspace.h"

namespace tavel {

bool ReadInputFile(Workspace& workspace, const std::string& path, std::ostream& err) {
  const FileKind kind = FileKindOf(path);
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    // A link loop or a folder that may not be searched is not a missing file.
    const bool missing = !error || error == std::errc::no_such_file_or_directory;
    err << "tavel: " << path << ": " << (missing ? "no such file" : error.message()) << '\n';
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    err << "tavel: " << path << ": is a folder, not a "
        << (kind == FileKind::GraphFile ? "graph" : "data") << " file\n";
    return false;
  }
  if (kind == FileKind::GraphFile) {
    const GraphFileReadResult read = ReadGraphFile(workspace, path);
    if (!read.ok) {
      err << "tavel: " << path << ": cannot be read as a graph file: " << read.reason << '\n';
      return false;
    }
    if (workspace.DataWindows.empty()) {
      err << "tavel: " << path << ": the file holds no series\n";
      return false;
    }
    return true;
  }
  const CsvOpenResult opened = OpenDataFileByName(workspace, path);
  if (opened.failed && (opened.outOfMemory || opened.noNumbers)) {
    err << "tavel: " << opened.FailureText(path) << '\n';
    return false;
  }
  if (opened.failed) {
    err << "tavel: " << path << ": cannot be read as a data file\n";
    return false;
  }
  for (const std::string& note : ReadingNotes(opened, path)) err << "tavel: " << note << '\n';
  if (opened.created.empty()) {
    err << "tavel: " << path << ": the file holds no series (no column of Y values)\n";
    return false;
  }
  return true;
}

}  // namespace tavel
