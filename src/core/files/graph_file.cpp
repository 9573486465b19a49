#include "core/files/graph_file.h"

#include "core/cells/clipboard_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "core/files/atomic_file.h"
#include "core/files/data_file.h"
#include "core/files/file_bytes.h"
#include "core/files/file_names.h"
#include "core/fit/fit_engine.h"
#include "core/scale/grid_settings.h"
#include "core/series/number_text.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"

namespace tavel {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kEmptyText[] = " 1.00000000000000E+4932";
// Sign, "d.", 20 decimals, "E", the exponent's sign and four digits.
constexpr int kLongNumberWidth = 29;

// Ticks and counts never leave the Grid dialog's ranges, but decimals do: the automatic grid
// stores -1 for a range of 100 to 1000 that it counts in tenths, and the automatic choices give
// a range as narrow as the extended type allows some 4950 decimals. Beyond these no setting of
// the program can go.
constexpr std::int32_t kLowestDecimals = -1;
constexpr std::int32_t kHighestDecimals = 5000;
constexpr std::int32_t kFitKindLimit = 8;
// The first line of the user models' section.
constexpr char kUserModelsMark[] = "[User Models]";

// Writes value into out (room for kLongNumberWidth characters); returns the width used.
int FormatGraphNumber(Real value, char* out) {
  FormatDataFileNumber(value, out);
  if (!std::isfinite(value)) return kDataFileNumberWidth;
  const auto back = ParseDataFileNumber(std::string_view(out, kDataFileNumberWidth));
  if (back && *back == value && std::signbit(*back) == std::signbit(value)) {
    return kDataFileNumberWidth;
  }
  // 21 significant digits tell every 64-bit mantissa apart.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.20Le", std::fabs(value));
  out[0] = std::signbit(value) ? '-' : ' ';
  std::memcpy(out + 1, buffer, 22);  // d.dddddddddddddddddddd
  long exponent = std::strtol(buffer + 23, nullptr, 10);
  out[23] = 'E';
  out[24] = exponent < 0 ? '-' : '+';
  if (exponent < 0) exponent = -exponent;
  for (int i = 28; i >= 25; --i) {
    out[i] = static_cast<char>('0' + exponent % 10);
    exponent /= 10;
  }
  return kLongNumberWidth;
}

void AppendReal(std::string& out, Real value) {
  char text[kLongNumberWidth];
  out.append(text, static_cast<std::size_t>(FormatGraphNumber(value, text)));
  out += kLineEnd;
}

void AppendInteger(std::string& out, std::int64_t value) {
  out += std::to_string(value);
  out += kLineEnd;
}

void AppendFlag(std::string& out, bool value) {
  out += value ? "0" : "1";
  out += kLineEnd;
}

// Each line break (CR LF, CR or LF) becomes one blank.
void AppendText(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += ' ';
    } else {
      out += c;
    }
  }
  out += kLineEnd;
}

void AppendCell(std::string& out, bool valid, Real value) {
  if (!valid) {
    out += kEmptyText;
    return;
  }
  char text[kLongNumberWidth];
  out.append(text, static_cast<std::size_t>(FormatGraphNumber(value, text)));
}

// Only files with a model of the user's own carry the section, so every other file is written
// as it always was.
void AppendUserModels(std::string& out, const Workspace& workspace) {
  std::int64_t count = 0;
  for (const Series* series : workspace.DataWindows) count += series->Fit.FitKind == kFitUserModel;
  if (count == 0) return;
  AppendText(out, kUserModelsMark);
  AppendInteger(out, count);
  for (const Series* series : workspace.DataWindows) {
    const FitResult& fit = series->Fit;
    if (fit.FitKind != kFitUserModel) continue;
    const UserModel& model = fit.Model;
    AppendInteger(out, series->SeriesNumber);
    AppendFlag(out, series->FitActive);
    AppendInteger(out, series->GraphType);
    AppendText(out, model.Formula);
    AppendReal(out, fit.R2);
    AppendInteger(out, static_cast<std::int64_t>(model.Names.size()));
    for (std::size_t k = 0; k < model.Names.size(); ++k) {
      const auto at = [](const auto& values, std::size_t i, auto otherwise) {
        return i < values.size() ? values[i] : otherwise;
      };
      AppendText(out, model.Names[k]);
      AppendReal(out, at(model.Start, k, 1.0));
      AppendFlag(out, at(model.Fixed, k, false));
      AppendReal(out, at(model.Values, k, 0.0));
      AppendReal(out, at(model.Errors, k, 0.0));
    }
    AppendInteger(out, model.Iterations);
    AppendText(out, model.StopReason);
  }
}

std::int32_t LogCode(const GraphSettings& s) {
  if (s.LogX) return s.LogExponential ? 0 : 2;
  return s.LogExponential ? 1 : 3;
}

// ---- reading ----------------------------------------------------------------------------

// Thrown inside the parser for anything that makes the file unreadable, saying what.
struct Refused {
  const char* what = "not what a graph file holds there";
};

// The file's lines: CR LF, a lone CR and a lone LF each end one; a last line without a line end
// counts when it holds anything.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
        ++left_;
      }
    }
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') ++left_;
  }

  std::int64_t Left() const { return left_; }
  // The line read last, counted from 1.
  std::int64_t LineNumber() const { return read_; }

  std::string_view Next() {
    ++read_;
    if (left_ == 0) throw Refused{"the file ends too early"};
    --left_;
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    const std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_++] == '\r' && pos_ < text_.size() &&
        text_[pos_] == '\n') {
      ++pos_;
    }
    return line;
  }

  // Whether every line left holds nothing but blanks.
  bool RestIsBlank() const {
    for (std::size_t i = pos_; i < text_.size(); ++i) {
      const char c = text_[i];
      if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::int64_t left_ = 0;
  std::int64_t read_ = 0;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

class Parser {
 public:
  explicit Parser(std::string_view text) : lines_(text) {}

  GraphFileContents Parse() {
    GraphFileContents c;
    const std::int32_t count = Integer();
    if (count < 0 || count > lines_.Left()) throw Refused{"a series count the file cannot hold"};
    std::array<bool, MaxSeries + 1> used{};
    std::int64_t rows = 0;
    for (std::int32_t b = 0; b < count; ++b) {
      const bool kept = b < MaxSeries;
      GraphFileSeries block = ReadBlock(kept, used, rows);
      const std::int32_t options = Integer();
      const std::int32_t printerOptions = options >= 2 ? options - 2 : 0;
      if (printerOptions > PrinterOptionsLimit) throw Refused{"printer options beyond 7"};
      if (kept) {
        c.Settings.PrinterOptions = printerOptions;
        c.HasPrinterOptions = true;
        c.Blocks.push_back(std::move(block));
      } else {
        c.LimitReached = true;
      }
    }
    ReadSettings(c.Settings);
    ReadUserModels(c.Blocks);
    return c;
  }

 private:
  GraphFileSeries ReadBlock(bool kept, std::array<bool, MaxSeries + 1>& used, std::int64_t& rows) {
    GraphFileSeries block;
    const std::int32_t maxIndex = Integer();
    // Every row takes a line of its own: a count beyond them is refused before anything is
    // allocated for it.
    if (maxIndex < 0 || maxIndex > lines_.Left()) throw Refused{"a row count the file cannot hold"};
    block.SeriesNumber = IntegerIn(1, MaxSeries);
    if (kept) {
      auto& taken = used[static_cast<std::size_t>(block.SeriesNumber)];
      if (taken) throw Refused{"a series number given twice"};
      taken = true;
      rows += maxIndex;
      if (!DataFileRowsFit(rows, 1)) throw Refused{"more rows than the memory free can hold"};
      // Room as the rows are read: a count that the lines after it do not bear out (blank
      // lines, say) is refused before it has taken its memory.
      block.Points.reserve(static_cast<std::size_t>(std::min<std::int32_t>(maxIndex, 1 << 16)));
      for (std::int32_t r = 0; r < maxIndex; ++r) DataLine(block.Points.emplace_back());
    } else {
      Tdata discarded;
      for (std::int32_t r = 0; r < maxIndex; ++r) DataLine(discarded);
    }
    block.LeftAxis = Flag();
    block.ShowPoints = Flag();
    block.GraphType = IntegerIn(kGraphLine, kGraphBarFit);
    block.SeriesTitle = lines_.Next();
    block.FitActive = Flag();
    block.FitKind = IntegerIn(kFitNone, kFitKindLimit);
    for (Real& value : block.FitValues) value = RealItem();
    const std::int32_t color = Integer();
    block.PrinterColor = color >= 2 ? color - 2 : kPrinterDefault;
    return block;
  }

  void ReadSettings(GraphSettings& s) {
    for (Real* limit :
         {&s.XScaleMax, &s.XScaleMin, &s.YLScaleMax, &s.YLScaleMin, &s.YRScaleMax, &s.YRScaleMin}) {
      *limit = RealItem();
    }
    s.MultiScaleX = Flag();
    s.MultiScaleYL = Flag();
    s.MultiScaleYR = Flag();
    s.CalcX = RealItem();
    const std::int32_t logCode = Integer();
    s.LogX = logCode == 0 || logCode == 2;
    s.LogExponential = logCode < 2;
    s.LogY = Flag();
    s.MaxDataIndex = IntegerIn(1, MaxDataIndexLimit);
    s.BarWidth = IntegerIn(1, BarWidthLimit);
    s.XMajorGrid = IntegerIn(1, kMajorGridLimit);
    s.XMinorGrid = IntegerIn(1, kMinorGridLimit);
    s.YMajorGrid = IntegerIn(1, kMajorGridLimit);
    s.YMinorGrid = IntegerIn(1, kMinorGridLimit);
    s.XTicks = IntegerIn(1, kTicksLimit);
    s.YLTicks = IntegerIn(1, kTicksLimit);
    s.YRTicks = IntegerIn(1, kTicksLimit);
    s.XDecimals = IntegerIn(kLowestDecimals, kHighestDecimals);
    s.YLDecimals = IntegerIn(kLowestDecimals, kHighestDecimals);
    s.YRDecimals = IntegerIn(kLowestDecimals, kHighestDecimals);
    for (int i = 1; i <= 3; ++i) s.MainTitles[static_cast<std::size_t>(i)] = lines_.Next();
    for (int i = 1; i <= 3; ++i) s.XTitles[static_cast<std::size_t>(i)] = lines_.Next();
    s.LeftYTitle = lines_.Next();
    s.RightYTitle = lines_.Next();
    // Older files end here: their floating titles are empty, at 0, 0.
    if (lines_.RestIsBlank()) return;
    for (std::size_t i = 1; i <= MaxFloatTitles; ++i) {
      s.FloatTitleText[i] = lines_.Next();
      s.FloatTitleX[i] = RealItem();
      s.FloatTitleY[i] = RealItem();
    }
  }

  // The section after the last standard item: for each series fitted with a model of the
  // user's own, its number, fit flag, graph type, formula, R^2, its parameters (name, start,
  // fixed, value, standard error), and how the solver ended.
  void ReadUserModels(std::vector<GraphFileSeries>& blocks) {
    if (lines_.RestIsBlank() || lines_.Next() != kUserModelsMark) return;
    const std::int32_t count = Integer();
    if (count < 0 || count > lines_.Left()) throw Refused{"a model count the file cannot hold"};
    for (std::int32_t m = 0; m < count; ++m) {
      const std::int32_t number = IntegerIn(1, MaxSeries);
      GraphFileSeries scratch;
      GraphFileSeries* block = &scratch;
      for (GraphFileSeries& b : blocks) {
        if (b.SeriesNumber == number) block = &b;
      }
      if (block->HasModel) throw Refused{"a series given two models"};
      block->HasModel = true;
      block->FitActive = Flag();
      block->GraphType = IntegerIn(kGraphLine, kGraphBarFit);
      UserModel& model = block->Model;
      model.Formula = lines_.Next();
      block->FitValues[6] = RealItem();
      const std::int32_t parameters = Integer();
      if (parameters < 0 || parameters > lines_.Left()) {
        throw Refused{"a parameter count the file cannot hold"};
      }
      for (std::int32_t k = 0; k < parameters; ++k) {
        model.Names.emplace_back(lines_.Next());
        model.Start.push_back(static_cast<double>(RealItem()));
        model.Fixed.push_back(Flag());
        model.Values.push_back(static_cast<double>(RealItem()));
        model.Errors.push_back(static_cast<double>(RealItem()));
      }
      model.Iterations = Integer();
      model.StopReason = lines_.Next();
    }
  }

  std::int32_t Integer() {
    const auto value = ParseInteger(lines_.Next());
    if (!value) throw Refused{"not a whole number"};
    return *value;
  }

  std::int32_t IntegerIn(std::int32_t low, std::int32_t high) {
    const std::int32_t value = Integer();
    if (value < low || value > high) throw Refused{"a value no setting can take"};
    return value;
  }

  bool Flag() { return Integer() == 0; }

  Real RealItem() {
    const auto value = ParseDataFileNumber(lines_.Next());
    if (!value) throw Refused{"not a number"};
    return *value;
  }

  // X, blanks, Y.
  void DataLine(Tdata& row) {
    const std::string_view line = lines_.Next();
    std::size_t i = 0;
    const auto token = [&] {
      while (i < line.size() && IsBlank(line[i])) ++i;
      const std::size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      return line.substr(start, i - start);
    };
    Cell(token(), row.X, row.XValid);
    Cell(token(), row.Y, row.YValid);
    if (!token().empty()) throw Refused{"more than an X and a Y on a row"};
  }

  static void Cell(std::string_view token, PackedReal& value, bool& valid) {
    const auto parsed = ParseDataFileNumber(token);
    if (!parsed) throw Refused{"a row that is not two numbers"};
    valid = *parsed <= kEmptyThreshold;
    value = valid ? *parsed : Real{0};
  }

  Lines lines_;

 public:
  std::int64_t LineNumber() const { return lines_.LineNumber(); }
};

// Only what a graph file holds; the strings are moved, so taking them over cannot fail half way.
void TakeFileSettings(GraphSettings& to, GraphFileContents& from) {
  GraphSettings& f = from.Settings;
  to.XScaleMax = f.XScaleMax;
  to.XScaleMin = f.XScaleMin;
  to.YLScaleMax = f.YLScaleMax;
  to.YLScaleMin = f.YLScaleMin;
  to.YRScaleMax = f.YRScaleMax;
  to.YRScaleMin = f.YRScaleMin;
  to.MultiScaleX = f.MultiScaleX;
  to.MultiScaleYL = f.MultiScaleYL;
  to.MultiScaleYR = f.MultiScaleYR;
  to.CalcX = f.CalcX;
  to.LogX = f.LogX;
  to.LogExponential = f.LogExponential;
  to.LogY = f.LogY;
  to.MaxDataIndex = f.MaxDataIndex;
  to.BarWidth = f.BarWidth;
  if (from.HasPrinterOptions) to.PrinterOptions = f.PrinterOptions;
  to.XMajorGrid = f.XMajorGrid;
  to.XMinorGrid = f.XMinorGrid;
  to.YMajorGrid = f.YMajorGrid;
  to.YMinorGrid = f.YMinorGrid;
  to.XTicks = f.XTicks;
  to.YLTicks = f.YLTicks;
  to.YRTicks = f.YRTicks;
  to.XDecimals = f.XDecimals;
  to.YLDecimals = f.YLDecimals;
  to.YRDecimals = f.YRDecimals;
  to.MainTitles = std::move(f.MainTitles);
  to.XTitles = std::move(f.XTitles);
  to.LeftYTitle = std::move(f.LeftYTitle);
  to.RightYTitle = std::move(f.RightYTitle);
  to.FloatTitleText = std::move(f.FloatTitleText);
  to.FloatTitleX = f.FloatTitleX;
  to.FloatTitleY = f.FloatTitleY;
}

}  // namespace

std::string FormatGraphFileNumber(Real value) {
  char text[kLongNumberWidth];
  return std::string(text, static_cast<std::size_t>(FormatGraphNumber(value, text)));
}

std::string GraphFileText(Workspace& workspace) {
  GraphSettings& s = workspace.Settings;
  if (s.MaxDataIndex == 0) s.MaxDataIndex = 10;
  std::size_t rows = 0;
  for (const Series* series : workspace.DataWindows) {
    rows += static_cast<std::size_t>(series->MaxIndex);
  }
  std::string out;
  out.reserve(rows * (2 * kDataFileNumberWidth + 3) + 4096);
  AppendInteger(out, static_cast<std::int64_t>(workspace.DataWindows.size()));
  for (Series* series : workspace.DataWindows) {
    series->ReadGrid();
    AppendInteger(out, series->MaxIndex);
    AppendInteger(out, series->SeriesNumber);
    for (const Tdata& row : series->Points) {
      AppendCell(out, row.XValid, row.X);
      out += ' ';
      AppendCell(out, row.YValid, row.Y);
      out += kLineEnd;
    }
    AppendFlag(out, series->LeftAxis);
    AppendFlag(out, series->ShowPoints);
    AppendInteger(out, series->Fit.FitKind == kFitUserModel ? GraphTypeWithoutFit(series->GraphType)
                                                            : series->GraphType);
    AppendText(out, series->SeriesTitle);
    const FitResult& fit = series->Fit;
    if (fit.FitKind == kFitUserModel) {
      // What a reader that knows no models takes for a series without a fit.
      AppendFlag(out, false);
      AppendInteger(out, kFitNone);
      for (int k = 0; k < 7; ++k) AppendReal(out, 0);
    } else {
      AppendFlag(out, series->FitActive);
      AppendInteger(out, fit.FitKind);
      for (const Real value : {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F, fit.R2}) {
        AppendReal(out, value);
      }
    }
    AppendInteger(out, std::int64_t{series->PrinterColor} + 2);
    AppendInteger(out, std::int64_t{s.PrinterOptions} + 2);
  }
  for (const Real limit :
       {s.XScaleMax, s.XScaleMin, s.YLScaleMax, s.YLScaleMin, s.YRScaleMax, s.YRScaleMin}) {
    AppendReal(out, limit);
  }
  AppendFlag(out, s.MultiScaleX);
  AppendFlag(out, s.MultiScaleYL);
  AppendFlag(out, s.MultiScaleYR);
  AppendReal(out, s.CalcX);
  AppendInteger(out, LogCode(s));
  AppendFlag(out, s.LogY);
  AppendInteger(out, s.MaxDataIndex);
  AppendInteger(out, s.BarWidth);
  for (const std::int32_t value : {s.XMajorGrid, s.XMinorGrid, s.YMajorGrid, s.YMinorGrid, s.XTicks,
                                   s.YLTicks, s.YRTicks, s.XDecimals, s.YLDecimals, s.YRDecimals}) {
    AppendInteger(out, value);
  }
  for (std::size_t i = 1; i <= 3; ++i) AppendText(out, s.MainTitles[i]);
  for (std::size_t i = 1; i <= 3; ++i) AppendText(out, s.XTitles[i]);
  AppendText(out, s.LeftYTitle);
  AppendText(out, s.RightYTitle);
  for (std::size_t i = 1; i <= MaxFloatTitles; ++i) {
    AppendText(out, s.FloatTitleText[i]);
    AppendReal(out, s.FloatTitleX[i]);
    AppendReal(out, s.FloatTitleY[i]);
  }
  AppendUserModels(out, workspace);
  return out;
}

void WriteGraphFile(Workspace& workspace, const std::string& path) {
  WriteFileAtomically(path, GraphFileText(workspace));
  workspace.Settings.GraphFileName = path;
  workspace.MarkAllSaved();
}

FileDialogOptions SaveGraphDialogOptions(const GraphSettings& settings) {
  FileDialogOptions options;
  options.filters = {{"Graph File", "*.gra"}};
  options.filterIndex = 1;
  options.defaultExtension = "gra";
  options.fileName = WithoutExtension(settings.GraphFileName);
  return options;
}

std::string GraphOverwriteQuestion(const std::string& path) {
  return "The File [ " + path + " ] already exists overwrite it?";
}

SaveResult SaveGraphAs(Workspace& workspace, Prompts& prompts) {
  SaveAsRequest request;
  request.dialog = SaveGraphDialogOptions(workspace.Settings);
  request.ownName = workspace.Settings.GraphFileName;
  request.question = GraphOverwriteQuestion;
  return SaveAs(prompts, request,
                [&workspace](const std::string& path) { WriteGraphFile(workspace, path); });
}

std::optional<GraphFileContents> ParseGraphFileText(std::string_view text, std::string* why) {
  const auto refuse = [&](std::string reason) -> std::optional<GraphFileContents> {
    if (why != nullptr) *why = std::move(reason);
    return std::nullopt;
  };
  Parser parser(text);
  try {
    return parser.Parse();
  } catch (const Refused& refused) {
    return refuse("line " + std::to_string(parser.LineNumber()) + ": " + refused.what);
  } catch (const std::bad_alloc&) {
    return refuse("not enough memory");
  } catch (const std::length_error&) {
    return refuse("not enough memory");
  }
}

std::optional<GraphFileContents> ParseGraphFile(const std::string& path, std::string* why) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const std::bad_alloc&) {
    if (why != nullptr) *why = "not enough memory";
    return std::nullopt;
  } catch (const std::length_error&) {
    if (why != nullptr) *why = "not enough memory";
    return std::nullopt;
  }
  if (!bytes) {
    if (why != nullptr) *why = "not a regular file that can be read";
    return std::nullopt;
  }
  return ParseGraphFileText(*bytes, why);
}

void ApplyGraphFile(Workspace& workspace, GraphFileContents&& contents, const std::string& path) {
  GraphSettings& s = workspace.Settings;
  if (contents.LimitReached) {
    workspace.prompts().Beep();
    workspace.prompts().ErrorBox(SeriesLimitMessage());
  }
  workspace.DestroyAllSeries();
  struct SizeKept {
    std::int32_t& size;
    std::int32_t kept;
    ~SizeKept() { size = kept; }
  } sizeKept{s.NextDataSize, s.NextDataSize};
  for (GraphFileSeries& block : contents.Blocks) {
    s.NextDataSize = static_cast<std::int32_t>(block.Points.size());
    workspace.UseGivenSeriesNumber = true;
    workspace.GivenSeriesNumber = block.SeriesNumber;
    Series& series = workspace.CreateSeries();
    series.Points.swap(block.Points);
    std::vector<Tdata>().swap(block.Points);
    series.LeftAxis = block.LeftAxis;
    series.ShowPoints = block.ShowPoints;
    series.GraphType = block.GraphType;
    series.SeriesTitle = std::move(block.SeriesTitle);
    series.FitActive = block.FitActive;
    FitResult& fit = series.Fit;
    fit.FitKind = block.HasModel ? kFitUserModel : block.FitKind;
    fit.Model = std::move(block.Model);
    const auto& v = block.FitValues;
    fit.A = v[0], fit.B = v[1], fit.C = v[2], fit.D = v[3], fit.E = v[4], fit.F = v[5];
    fit.R2 = v[6];
    fit.FitOk = true;
    series.PrinterColor = block.PrinterColor;
    series.FillGrid();
  }
  TakeFileSettings(s, contents);
  s.GraphFileName = path;
  workspace.SortDataWindows();
  const std::vector<Series*> series = workspace.DataWindows;
  for (Series* one : series) {
    if (one->FitActive) TFitObj(*one).RunFit();
  }
  s.GraphJustCreated = true;
  // Everything now is what the file holds, and nothing before it can be taken back into it.
  workspace.history().Clear();
  workspace.MarkAllSaved();
}

GraphFileReadResult ReadGraphFile(Workspace& workspace, const std::string& path) {
  GraphFileReadResult result;
  auto contents = ParseGraphFile(path, &result.reason);
  if (contents) {
    try {
      ApplyGraphFile(workspace, std::move(*contents), path);
      result.ok = true;
    } catch (const std::bad_alloc&) {
      // Memory ran out after all although the rows were measured against it: what was made so
      // far is taken down again rather than left half filled.
      workspace.DestroyAllSeries();
      result.reason = "not enough memory";
    }
  }
  workspace.Settings.GraphLoadFailed = !result.ok;
  if (!result.ok) result.message = IncompatibleFormatText(path);
  return result;
}

}  // namespace tavel
