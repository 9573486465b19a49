#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/save_as.h"
#include "core/platform/prompts.h"
#include "core/series/fit_result.h"
#include "core/series/graph_settings.h"
#include "core/series/real.h"
#include "core/series/series.h"

namespace tavel {

class Workspace;

// ".gra" graph files: every series with its rows and its own settings, then the shared graph
// settings and the calculator's X register, one item per line, lines ended by CR LF.

// The written form of a real item: the data file's 23 characters when they read back as the
// very same value, otherwise the same shape with 20 decimals (29 characters), from which every
// extended value reads back exactly. Values typed by the user keep the short form; computed
// ones (fit coefficients, cell arithmetic) do not lose their last digits.
std::string FormatGraphFileNumber(Real value);

// One series block as read from a file.
struct GraphFileSeries {
  std::int32_t SeriesNumber = 0;
  // MaxIndex rows: X and Y with their flags; the fit column is not stored.
  std::vector<Tdata> Points;
  bool LeftAxis = true;
  bool ShowPoints = true;
  std::int32_t GraphType = kGraphLine;
  std::string SeriesTitle;
  bool FitActive = false;
  std::int32_t FitKind = kFitNone;
  std::array<Real, 7> FitValues{};  // A, B, C, D, E, F and R2
  std::int32_t PrinterColor = kPrinterDefault;
  // From the user models' section, when the series has one: the model, and the fit flag and
  // graph type the standard items do not carry for it.
  bool HasModel = false;
  UserModel Model;
};

// A whole graph file, read and checked, before anything of the program was touched.
struct GraphFileContents {
  // At most MaxSeries blocks, in file order.
  std::vector<GraphFileSeries> Blocks;
  // The file held more series than MaxSeries; the rest were read and dropped.
  bool LimitReached = false;
  // Only the settings a graph file holds are meaningful here: the scales, Multi-Scale flags,
  // CalcX, LogX, LogExponential, LogY, MaxDataIndex, BarWidth, the grid settings, the titles,
  // the floating titles and, when the file holds a series, PrinterOptions.
  GraphSettings Settings;
  bool HasPrinterOptions = false;
};

// The file's text for the workspace as it stands. Each series' rows are first rebuilt from
// its cells (ReadGrid); a MaxDataIndex of 0 becomes 10. A line break inside a title is written
// as a blank, so that it cannot shift the items after it.
std::string GraphFileText(Workspace& workspace);

// Writes the graph file, replacing an existing file only once the new one is whole. On success
// GraphFileName becomes path; on failure FileWriteError (with the system's error text) is
// thrown and GraphFileName stays. The caller sets the graph window's caption and redraws.
void WriteGraphFile(Workspace& workspace, const std::string& path);

// The "Save Graph" dialog: default extension "gra", preset to GraphFileName without its
// extension.
FileDialogOptions SaveGraphDialogOptions(const GraphSettings& settings);
// "The File [ " + path + " ] already exists overwrite it?"
std::string GraphOverwriteQuestion(const std::string& path);

// "Save Graph" through the one save dialog loop: GraphFileName itself (however it is spelled) is
// written without a question, another existing file only after "Yes", and "No" opens the
// dialog again. A failed write goes to prompts.ReportError and leaves GraphFileName as it was.
// The caller sets the graph window's caption and redraws when the result is Saved.
SaveResult SaveGraphAs(Workspace& workspace, Prompts& prompts);

// Reads a graph file's text (or the file) whole. Nothing when it is not a graph file, or one
// that cannot be right: a number where none stands, a series number outside 1..MaxSeries or
// given twice, a count below zero or beyond the lines left, a graph type, fit kind,
// PrinterOptions, MaxDataIndex, BarWidth, grid count, tick count or decimal count that no
// setting of the program can take, or more rows than the memory free can hold.
// `why`, when given, says what was wrong and on which line ("line 7: not a number").
std::optional<GraphFileContents> ParseGraphFileText(std::string_view text,
                                                    std::string* why = nullptr);
std::optional<GraphFileContents> ParseGraphFile(const std::string& path,
                                                std::string* why = nullptr);

// Replaces every series and the graph file's settings by what was read: all series are
// destroyed (the observer closes their windows; the caller closes the graph window first),
// one series per block is created with its stored number, the settings are taken over,
// GraphFileName := path, DataWindows is sorted, every series whose fit was stored active has
// its fit run again (which refills its fit column) and GraphJustCreated is set. When the file
// held more series than MaxSeries the limit box is shown once, first.
void ApplyGraphFile(Workspace& workspace, GraphFileContents&& contents, const std::string& path);

struct GraphFileReadResult {
  bool ok = false;
  // When not ok: "The file " + path + " has an incompatible format.", for the error box.
  std::string message;
  // When not ok: what was wrong, and where ("line 7: not a number").
  std::string reason;
};

// ParseGraphFile and, only when the whole file was read, ApplyGraphFile. A file that fails to
// read changes nothing but GraphLoadFailed, which is set (a success clears it). The caller
// shows the message on failure; on success it shows the graph window when a series exists,
// tiles the windows, redraws and clears GraphJustCreated.
GraphFileReadResult ReadGraphFile(Workspace& workspace, const std::string& path);

}  // namespace tavel
