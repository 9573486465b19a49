#pragma once

#include <string>

namespace tavel {

// The path without the extension of its last part; the folder stays.
std::string WithoutExtension(const std::string& path);

// What a file is read as by its name: only the first four characters of the extension count,
// dot included and in any case, so "a.PRN" and "a.prnx" are both data files.
enum class FileKind { Other, DataFile, GraphFile };
FileKind FileKindOf(const std::string& path);

}  // namespace tavel
