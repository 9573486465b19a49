#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "ui/graph/graph_export.h"

namespace tavel {

// The command-line options that draw the graph without a window. args are the words after the
// option; each returns the exit status: 0 done, 1 the input could not be read or the output
// not written, 2 a wrong command line. Nothing is printed on success; a failure prints one line
// on err. They start Qt themselves, on the offscreen platform, so main() calls them before it
// makes its application object.

// "WIDTHxHEIGHT" within the limits above.
struct ExportSize {
  int width = kExportDefaultWidth;
  int height = kExportDefaultHeight;
};
std::optional<ExportSize> ParseExportSize(const std::string& text);

// `tavel --export OUT [--size WIDTHxHEIGHT] INPUT`: the screen image of INPUT at that size,
// written as BMP or PNG by OUT's extension.
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// `tavel --print-pdf OUT.pdf INPUT`: the printer pass onto one PDF page.
int RunPrintPdfCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// `tavel --print-data-pdf OUT.pdf INPUT`: the data printout of INPUT as PDF pages.
int RunPrintDataPdfCommand(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err);
// `tavel --help`: the options on out; extra words are a wrong command line.
int RunHelpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
void WriteCommandLineHelp(std::ostream& out);

}  // namespace tavel
