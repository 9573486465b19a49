#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/files/line_count.h"
#include "core/series/tdata.h"

namespace tavel {

// A data file of one series read in a single pass: the shape the counting pass would find
// (maxTokens at most 2) and one row per line, as the counting pass and ReadDataFile leave them.
struct NarrowFile {
  DataFileShape shape;
  std::vector<Tdata> rows;
};

// Most files hold X and one Y a line. Those are read without counting them first: each part
// of the file goes straight into its own stretch of the rows, sized from the line length at
// its start, and the second part moves up behind the first at the end. Nothing when a line
// holds a third token, when the rows would not fit in memory, or when the file cannot be read:
// the counting pass then decides.
std::optional<NarrowFile> ReadNarrowDataFile(const std::string& path,
                                             std::uint64_t splitFrom = kDataFileSplitBytes);

}  // namespace tavel
