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

// From this size on a data file is counted and read in two parts at once.
constexpr std::uint64_t kDataFileSplitBytes = std::uint64_t{1} << 20;

// The counting pass, with where the file is cut for reading in parts. The cut is the end of the
// first line that ends at or after the middle of the file, so it depends on the file alone and
// every machine reads the same parts; a file with no such line end is one part.
struct DataFileLayout {
  DataFileShape shape;
  int parts = 1;
  std::uint64_t bounds[3] = {};  // part k covers the bytes [bounds[k], bounds[k + 1])
  // The row the reading pass gives the first line of each part that holds a number: the lines
  // before it that hold any token (a line of blanks only is read into the row of the line
  // after it).
  std::int64_t firstRow[2] = {};
};
// The parts alone, without the count (shape and firstRow stay zero); nothing when the file
// cannot be opened.
std::optional<DataFileLayout> CutDataFile(const std::string& path,
                                          std::uint64_t splitFrom = kDataFileSplitBytes);
std::optional<DataFileLayout> MeasureDataFile(const std::string& path,
                                              std::uint64_t splitFrom = kDataFileSplitBytes);

}  // namespace tavel
