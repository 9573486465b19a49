#include "app/export_command.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <string_view>

#include "app/input_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/scale/axis_scale.h"
#include "core/series/workspace.h"
#include "ui/datawin/data_print_output.h"
#include "ui/graph/graph_export.h"

namespace tavel {

namespace {

// Everything before the first "x" and after it must be a plain decimal number.
std::optional<int> SideOf(std::string_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A write error names its file already ("P: No space left on device"); others are given it.
std::string NamedOnce(const std::string& path, const std::string& text) {
  if (text.rfind(path + ": ", 0) == 0) return text;
  return path + ": " + text;
}

std::string ExtensionOf(const std::string& path) {
  return Lower(std::filesystem::path(path).extension().string());
}

}  // namespace

std::optional<ExportSize> ParseExportSize(const std::string& text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return std::nullopt;
  const auto width = SideOf(std::string_view(text).substr(0, x));
  const auto height = SideOf(std::string_view(text).substr(x + 1));
  if (!width || !height) return std::nullopt;
  if (*width < kExportMinWidth || *height < kExportMinHeight) return std::nullopt;
  if (*width > kExportMaxSide || *height > kExportMaxSide) return std::nullopt;
  return ExportSize{*width, *height};
}

int RunExportCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  constexpr char kUsage[] =
      "usage: tavel --export OUT.bmp|png|svg|pdf [--size WIDTHxHEIGHT] [--dpi N] [--paper] "
      "[--smooth] [--auto-scale] INPUT.prn|INPUT.gra";
  ExportSize size;
  ExportOptions options;
  bool autoScale = false;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--auto-scale") {
      autoScale = true;
    } else if (args[i] == "--paper") {
      options.paper = true;
    } else if (args[i] == "--smooth") {
      options.smooth = true;
    } else if (args[i] == "--dpi") {
      const auto dpi = i + 1 < args.size() ? SideOf(args[i + 1]) : std::nullopt;
      if (!dpi || *dpi < kExportMinDpi || *dpi > kExportMaxDpi) {
        err << "tavel: --dpi needs a resolution from " << kExportMinDpi << " to " << kExportMaxDpi
            << '\n';
        return 2;
      }
      options.dpi = *dpi;
      ++i;
    } else if (args[i] == "--size") {
      if (i + 1 == args.size()) {
        err << "tavel: --size needs WIDTHxHEIGHT\n";
        return 2;
      }
      const auto parsed = ParseExportSize(args[++i]);
      if (!parsed) {
        err << "tavel: --size " << args[i] << ": give WIDTHxHEIGHT from " << kExportMinWidth << 'x'
            << kExportMinHeight << " to " << kExportMaxSide << 'x' << kExportMaxSide << '\n';
        return 2;
      }
      size = *parsed;
    } else {
      names.push_back(args[i]);
    }
  }
  if (names.size() != 2) {
    err << kUsage << '\n';
    return 2;
  }
  const std::string& out = names[0];
  const std::string& input = names[1];
  const auto format = ExportFormatOf(out);
  if (!format) {
    err << "tavel: " << out
        << ": unknown output type; the name must end in .bmp, .png, .svg or .pdf\n";
    return 2;
  }

  HeadlessGui gui;
  // What the window would show in a box (the series limit, say) goes to stderr.
  QuietPrompts prompts(err, "tavel: ");
  Workspace workspace(prompts);
  if (!ReadInputFile(workspace, input, err)) return 1;
  if (autoScale) AutoScaleGraph(workspace);
  options.width = size.width;
  options.height = size.height;
  try {
    ExportGraph(workspace, options, out, *format);
  } catch (const std::bad_alloc&) {
    err << "tavel: not enough memory for a " << size.width << 'x' << size.height << " image\n";
    return 1;
  } catch (const std::exception& e) {
    err << "tavel: " << NamedOnce(out, e.what()) << '\n';
    return 1;
  }
  return 0;
}

namespace {

// `--print-pdf` and `--print-data-pdf`: OUT.pdf INPUT, read, then the pass into the PDF.
using PdfPass = bool (*)(Workspace& workspace, const std::string& path, std::string& why);
int RunPdfCommand(const char* option, PdfPass pass, const std::vector<std::string>& args,
                  std::ostream& err) {
  if (args.size() != 2) {
    err << "usage: tavel " << option << " OUT.pdf INPUT.prn|INPUT.gra\n";
    return 2;
  }
  const std::string& out = args[0];
  const std::string& input = args[1];
  if (ExtensionOf(out) != ".pdf") {
    err << "tavel: " << out << ": the name must end in .pdf\n";
    return 2;
  }
  HeadlessGui gui;
  QuietPrompts prompts(err, "tavel: ");
  Workspace workspace(prompts);
  if (!ReadInputFile(workspace, input, err)) return 1;
  std::string why;
  if (!pass(workspace, out, why)) {
    err << "tavel: " << NamedOnce(out, why) << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

int RunPrintPdfCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  return RunPdfCommand("--print-pdf", &PrintGraphPdf, args, err);
}

int RunPrintDataPdfCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  return RunPdfCommand(
      "--print-data-pdf",
      [](Workspace& workspace, const std::string& path, std::string& why) {
        return PrintDataPdf(workspace, path, why);
      },
      args, err);
}

int RunHelpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (!args.empty()) {
    err << "usage: tavel --help\n";
    return 2;
  }
  WriteCommandLineHelp(out);
  return 0;
}

void WriteCommandLineHelp(std::ostream& out) {
  out << "usage: tavel [FILE]\n"
         "       tavel --export OUT.bmp|png|svg|pdf [--size WIDTHxHEIGHT] [--dpi N] [--paper]\n"
         "                      [--smooth] [--auto-scale] INPUT\n"
         "       tavel --print-pdf OUT.pdf INPUT\n"
         "       tavel --print-data-pdf OUT.pdf INPUT\n"
         "       tavel --fit KIND INPUT\n"
         "       tavel --fit INPUT.gra\n"
         "       tavel --fit-model FORMULA [--start NAME=VALUE,...] INPUT\n"
         "       tavel --help\n"
         "       tavel --version\n"
         "\n"
         "  FILE         read as a graph file when the program starts\n"
         "  INPUT        a data file (.prn, .csv, or plain text of any other name: comments,\n"
         "               remarks, a line of names and blocks are understood) or a graph file\n"
         "               (.gra, with its settings and fits)\n"
         "  --export     draw INPUT as the graph window shows it and write it as a BMP or PNG\n"
         "               picture or an SVG or PDF drawing (by OUT's extension); the size, in\n"
         "               pixels or points, defaults to 350x300; --dpi records the resolution\n"
         "               in the picture (the drawings get N units an inch); --paper draws in\n"
         "               the printer's colours on white, --smooth smooths lines and text;\n"
         "               --auto-scale first chooses nice X and Y scales with their grid, as\n"
         "               \"Auto Scale\" does\n"
         "  --print-pdf  print the graph of INPUT onto one PDF page\n"
         "  --print-data-pdf\n"
         "               print the data tables of INPUT (every series, with its fit) into\n"
         "               one PDF, as \"Print Data\" prints them\n"
         "  --fit        fit every series of INPUT (KIND 1..5 polynomial order, 6 power,\n"
         "               7 exponential, 8 natural log) and print the results; without KIND,\n"
         "               print the fits stored in the graph file\n"
         "  --fit-model  fit the model FORMULA in x and parameters of any names, such as\n"
         "               'b1*(1-exp(-b2*x))', to every series of INPUT by nonlinear least\n"
         "               squares from the --start values (1 where none is given) and print\n"
         "               each parameter with its standard error, RSS and R^2\n"
         "  --help       show this text\n"
         "  --version    show the program's name and version\n"
         "\n"
         "--export, --print-pdf, --print-data-pdf and --fit need no display. They print\n"
         "nothing else on success; a failure prints one line on stderr. Exit status: 0 done,\n"
         "1 the input could not be read or the output not written (--fit: a fit was refused),\n"
         "2 a wrong command line (--fit: also an unreadable input).\n";
}

}  // namespace tavel
