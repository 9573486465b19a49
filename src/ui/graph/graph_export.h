#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tavel {

// The graph drawn without a window, for the command line. Each command makes its own
// QGuiApplication on Qt's offscreen platform when none exists yet, so no display is needed;
// it reads the input as the "&Open" command would and draws with the start-up settings.
// Nothing is printed on success; a failure prints one line on err. Exit status: 0 done, 1 the
// input could not be read or the output not written, 2 a wrong command line.

// The graph window's size when the settings have not moved it, and the smallest size the
// screen pass draws.
constexpr int kExportDefaultWidth = 350;
constexpr int kExportDefaultHeight = 300;
constexpr int kExportMinWidth = 160;
constexpr int kExportMinHeight = 120;
constexpr int kExportMaxSide = 16384;

// "WIDTHxHEIGHT" within the limits above.
struct ExportSize {
  int width = kExportDefaultWidth;
  int height = kExportDefaultHeight;
};
std::optional<ExportSize> ParseExportSize(const std::string& text);

// `--export OUT [--size WIDTHxHEIGHT] INPUT`, args being the words after "--export": the screen
// image of INPUT at that size, written as BMP or PNG by OUT's extension.
int RunExport(const std::vector<std::string>& args, std::ostream& err);

// `--print-pdf OUT.pdf INPUT`, args being the words after "--print-pdf": the printer pass onto
// one PDF page.
int RunPrintPdf(const std::vector<std::string>& args, std::ostream& err);

// `--help`.
void WriteCommandLineHelp(std::ostream& out);

}  // namespace tavel
