#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavel {

// The command-line options that draw the graph without a window. args are the words after the
// option; each returns the exit status. They start Qt themselves, on the offscreen platform, so
// main() calls them before it makes its QApplication.

// `tavel --export OUT [--size WIDTHxHEIGHT] INPUT`
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// `tavel --print-pdf OUT.pdf INPUT`
int RunPrintPdfCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// `tavel --help`: the options on out; extra words are a wrong command line.
int RunHelpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tavel
