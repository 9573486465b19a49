#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tavel::testing {

// A new empty folder under the system's temporary folder, unique to this test, for the test to
// remove. Not named after the test: parameterised names hold '/', which would make a sub-folder
// that removing the test's folder leaves behind.
inline std::filesystem::path NewTestFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no folder " + pattern);
  return pattern;
}

}  // namespace tavel::testing
