#pragma once

#include <iosfwd>
#include <string>

namespace tavel {

class Workspace;

// Reads the file named on the command line into the workspace as "&Open" would read it: a
// data file (".prn") into new series, a graph file (".gra") with its series and settings. False
// after one line on err saying why (missing, a folder, not readable as that kind, no series).
bool ReadInputFile(Workspace& workspace, const std::string& path, std::ostream& err);

}  // namespace tavel
