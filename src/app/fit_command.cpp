#include "app/fit_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <utility>

#include "core/files/csv_file.h"
#include "core/files/data_file.h"
#include "core/files/file_names.h"
#include "core/files/graph_file.h"
#include "core/files/plain_data_file.h"
#include "core/fit/fit_report.h"
#include "core/fit/model_fit.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

constexpr char kUsage[] =
    "usage: tavel --fit KIND INPUT.prn|INPUT.csv|INPUT.gra   or   tavel --fit INPUT.gra   (KIND "
    "1..5 "
    "polynomial order, 6 power, 7 exponential, 8 natural log)\n";

// Reads the graph file into the workspace. The series numbers whose fit was stored active come
// back in `fitted` (the load runs them again; one refused now is still reported as a fit).
// False after one line on err.
bool ReadGraphInput(Workspace& workspace, const std::string& path, std::set<std::int32_t>& fitted,
                    std::ostream& err) {
  std::string why;
  auto contents = ParseGraphFile(path, &why);
  if (!contents) {
    err << "tavel: " << path << ": cannot be read as a graph file: " << why << '\n';
    return false;
  }
  for (const GraphFileSeries& block : contents->Blocks) {
    if (block.FitActive && block.FitKind != kFitNone) fitted.insert(block.SeriesNumber);
  }
  try {
    ApplyGraphFile(workspace, std::move(*contents), path);
  } catch (const std::bad_alloc&) {
    err << "tavel: " << path << ": not enough memory for the file's rows\n";
    return false;
  }
  if (workspace.DataWindows.empty()) {
    err << "tavel: " << path << ": the file holds no series\n";
    return false;
  }
  return true;
}

// The series of a data or graph file, read into the workspace; nothing after one line on err.
std::optional<std::vector<Series*>> ReadSeries(Workspace& workspace, const std::string& path,
                                               std::ostream& err) {
  if (FileKindOf(path) == FileKind::GraphFile) {
    std::set<std::int32_t> stored;
    if (!ReadGraphInput(workspace, path, stored, err)) return std::nullopt;
    return workspace.DataWindows;
  }
  const CsvOpenResult opened = OpenDataFileByName(workspace, path);
  if (opened.failed && (opened.outOfMemory || opened.noNumbers)) {
    err << "tavel: " << opened.FailureText(path) << '\n';
    return std::nullopt;
  }
  if (opened.failed) {
    err << "tavel: " << path << ": cannot be read as a data file\n";
    return std::nullopt;
  }
  for (const std::string& note : ReadingNotes(opened, path)) err << "tavel: " << note << '\n';
  if (opened.created.empty()) {
    err << "tavel: " << path << ": the file holds no series (no column of Y values)\n";
    return std::nullopt;
  }
  return opened.created;
}

// "NAME=VALUE,NAME=VALUE": false after one line on err.
bool ParseStarts(std::string_view text, std::map<std::string, double>& starts, std::ostream& err) {
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    const auto equals = item.find('=');
    const std::string number(equals == std::string_view::npos ? "" : item.substr(equals + 1));
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (equals == 0 || equals == std::string_view::npos || number.empty() || *end != '\0') {
      err << "tavel: --start: \"" << item << "\" is not NAME=VALUE\n";
      return false;
    }
    starts[std::string(item.substr(0, equals))] = value;
  }
  return true;
}

}  // namespace

std::optional<std::int32_t> ParseFitKind(std::string_view text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '8') return std::nullopt;
  return text[0] - '0';
}

int FitDataFile(std::string_view kindText, const std::string& path, std::ostream& out,
                std::ostream& err) {
  const auto kind = ParseFitKind(kindText);
  if (!kind) {
    err << "tavel: --fit: KIND must be a number from 1 to 8, not \"" << kindText << "\"\n";
    return 2;
  }
  // No screen: a message box becomes a line on the error stream, every question is answered
  // the way that changes nothing.
  QuietPrompts prompts(err, "tavel: ");
  Workspace workspace(prompts);
  const auto series = ReadSeries(workspace, path, err);
  if (!series) return 2;
  bool allFitted = true;
  for (Series* one : *series) {
    one->Fit.FitKind = *kind;
    TFitObj(*one).RunFit();
    allFitted = allFitted && one->Fit.FitOk;
    out << FitReport(*one);
  }
  out.flush();
  return allFitted ? 0 : 1;
}

int ReportGraphFileFits(const std::string& path, std::ostream& out, std::ostream& err) {
  QuietPrompts prompts(err, "tavel: ");
  Workspace workspace(prompts);
  std::set<std::int32_t> fitted;
  if (!ReadGraphInput(workspace, path, fitted, err)) return 2;
  bool allFitted = true;
  for (const Series* series : workspace.DataWindows) {
    if (fitted.count(series->SeriesNumber) == 0) {
      out << "Series #" << series->SeriesNumber << "\nNo fit\n";
      continue;
    }
    allFitted = allFitted && series->Fit.FitOk;
    out << FitReport(*series);
  }
  out.flush();
  return allFitted ? 0 : 1;
}

int RunFitModelCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::map<std::string, double> starts;
  std::vector<std::string> words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--start" && i + 1 < args.size()) {
      if (!ParseStarts(args[++i], starts, err)) return 2;
    } else {
      words.push_back(args[i]);
    }
  }
  if (words.size() != 2) {
    err << "usage: tavel --fit-model FORMULA [--start NAME=VALUE,...] INPUT\n";
    return 2;
  }
  ModelFormula::ParseError error;
  const auto model = ModelFormula::Parse(words[0], &error);
  if (!model) {
    err << "tavel: --fit-model: the formula does not parse " << error.Text() << '\n';
    return 2;
  }
  for (const auto& [name, value] : starts) {
    const auto& names = model->Parameters();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
      err << "tavel: --start: the formula has no parameter " << name << '\n';
      return 2;
    }
  }
  UserModel user;
  user.Formula = words[0];
  user.Names = model->Parameters();
  for (const std::string& name : user.Names) {
    user.Start.push_back(starts.count(name) != 0 ? starts[name] : 1.0);
  }
  QuietPrompts prompts(err, "tavel: ");
  Workspace workspace(prompts);
  const auto series = ReadSeries(workspace, words[1], err);
  if (!series) return 2;
  bool allFitted = true;
  for (Series* one : *series) {
    one->Fit.FitKind = kFitUserModel;
    one->Fit.Model = user;
    TFitObj(*one).RunFit();
    allFitted = allFitted && one->Fit.FitOk;
    out << FitReport(*one);
  }
  out.flush();
  return allFitted ? 0 : 1;
}

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && FileKindOf(args[0]) == FileKind::GraphFile) {
    return ReportGraphFileFits(args[0], out, err);
  }
  if (args.size() != 2) {
    err << kUsage;
    return 2;
  }
  return FitDataFile(args[0], args[1], out, err);
}

}  // namespace tavel
