#include "app/input_file.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "core/files/data_file.h"
#include "core/files/file_names.h"
#include "core/series/workspace.h"

namespace tavel {

bool ReadInputFile(Workspace& workspace, const std::string& path, std::ostream& err) {
  switch (FileKindOf(path)) {
    case FileKind::GraphFile:
      err << "tavel: " << path << ": graph files (.gra) are not supported yet; give a .prn file\n";
      return false;
    case FileKind::Other:
      err << "tavel: " << path << ": unknown input type; give a data file (.prn)\n";
      return false;
    case FileKind::DataFile:
      break;
  }
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    err << "tavel: " << path << ": no such file\n";
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    err << "tavel: " << path << ": is a folder, not a data file\n";
    return false;
  }
  const DataFileOpenResult opened = OpenDataFile(workspace, path);
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
