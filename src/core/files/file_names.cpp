#include "core/files/file_names.h"

#include <cctype>

namespace tavel {

std::string WithoutExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

FileKind FileKindOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return FileKind::Other;
  }
  std::string head = path.substr(dot, 4);
  for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (head == ".PRN") return FileKind::DataFile;
  if (head == ".GRA") return FileKind::GraphFile;
  return FileKind::Other;
}

}  // namespace tavel
