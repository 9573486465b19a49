#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavel {

// `tavel --fit KIND INPUT.prn`: args are the words after "--fit". Prints the fit of every
// series of the file to out and returns the exit status: 0 when every fit stood, 1 when a fit
// was refused, 2 (with one line on err) for a wrong command line or a file without series.
// Needs no display: nothing of Qt is touched.
int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavel
