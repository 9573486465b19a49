#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavel {

// Thrown when a file cannot be written; what() holds the system's error text.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes the whole content to a new file beside the target and only then replaces the target,
// so a failed write never leaves a truncated or lost file. Throws FileWriteError.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

// "The file " + path + " has an incompatible format."
std::string IncompatibleFormatText(const std::string& path);

}  // namespace tavel
