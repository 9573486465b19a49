#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavel {

// The counting pass over a data file: lines (a last line without a line end counts) and the
// most tokens on one line. CR LF, a lone CR and a lone LF each end a line.
struct DataFileShape {
  std::int64_t lines = 0;
  std::int64_t maxTokens = 0;
};
std::optional<DataFileShape> CountDataFile(const std::string& path);

}  // namespace tavel
