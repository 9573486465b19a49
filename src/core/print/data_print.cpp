#include "core/print/data_print.h"

#include <algorithm>
#include <string>

#include "core/fit/fit_report.h"
#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

constexpr std::int64_t kBaseDotsPerInch = 300;
constexpr std::int64_t kBasePitch = 55;
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr int kCentre = 50;
constexpr int kFitLines = 35;

constexpr FontStyle kHeadingStyle{true, true};
constexpr FontStyle kRowStyle{true, false};

// Column positions in percent of the page width.
struct TableColumns {
  int index, x, y, fit;  // fit 0: no fit column
};
constexpr TableColumns kFitTable{15, 35, 55, 75};
constexpr TableColumns kPlainTable{20, 45, 70, 0};

class DataPrinter {
 public:
  DataPrinter(PageCanvas& canvas, const PrintPage& page) : c_(canvas), layout_(page) {}

  void PageTop(const GraphSettings& settings, bool landscape);
  void SeriesBlock(const Series& series);
  std::int32_t Pages() const { return page_; }

 private:
  void Text(int percent, TextPlacement placement, const std::string& text) {
    c_.Text({layout_.ColumnX(percent), layout_.LineY(line_)}, placement, text);
  }
  void HeadingFont(Rgb color) {
    c_.SetFont(kDataPrintFont, kDataPrintFontSize, kHeadingStyle, color);
  }
  void RowFont() { c_.SetFont(kDataPrintFont, kDataPrintFontSize, kRowStyle, kBlack); }
  void StartPage();
  void Headings(const TableColumns& columns);
  // After each line of a block: past the last line, the block goes on on a fresh page under
  // its page number and its heading, with the column headings when more rows follow.
  void ContinueIfFull(const Series& series, const TableColumns& columns, bool moreRows);
  void FitTable(const Series& series);
  void PlainTable(const Series& series);

  PageCanvas& c_;
  DataPrintLayout layout_;
  std::int32_t line_ = 3;
  std::int32_t page_ = 1;
};

void DataPrinter::PageTop(const GraphSettings& settings, bool landscape) {
  c_.SetBrush(kWhite);
  HeadingFont(kBlack);
  const bool titled = !settings.MainTitles[1].empty() || !settings.MainTitles[2].empty() ||
                      !settings.MainTitles[3].empty();
  if (titled) {
    for (int k = 1; k <= 3; ++k) {
      if (settings.MainTitles[k].empty()) continue;
      Text(kCentre, TextPlacement::TextCentred, settings.MainTitles[k]);
      ++line_;
    }
  } else {
    Text(kCentre, TextPlacement::TextCentred, settings.GraphFileName);
    ++line_;
  }
  if (!landscape) ++line_;
}

void DataPrinter::StartPage() {
  c_.NewPage();
  ++page_;
  line_ = 3;
  HeadingFont(kBlack);
  Text(kCentre, TextPlacement::TextCentred, "Page " + std::to_string(page_));
  line_ += 2;
}

void DataPrinter::Headings(const TableColumns& columns) {
  Text(columns.index, TextPlacement::TextLeft, "Index");
  Text(columns.x, TextPlacement::TextLeft, "X");
  Text(columns.y, TextPlacement::TextLeft, "Y");
  if (columns.fit != 0) Text(columns.fit, TextPlacement::TextLeft, "YFit");
}

void DataPrinter::ContinueIfFull(const Series& series, const TableColumns& columns, bool moreRows) {
  if (line_ <= layout_.LastLine()) return;
  StartPage();
  c_.SetFontColor(PrintSeriesColor(series.SeriesNumber));
  Text(kCentre, TextPlacement::TextCentred,
       "Series #" + std::to_string(series.SeriesNumber) + "  (continued)");
  c_.SetFontColor(kBlack);
  line_ += 2;
  if (moreRows) {
    Headings(columns);
    line_ += 2;
  }
  RowFont();
}

void DataPrinter::SeriesBlock(const Series& series) {
  // The heading, the title, the column headings and the first row go on one page: a block
  // never starts with its heading alone at the foot of a page.
  const std::int32_t titleLines = series.SeriesTitle.empty() ? 0 : 1;
  if (line_ + 2 + titleLines + 2 + 2 > layout_.LastLine()) {
    StartPage();
  } else {
    line_ += 2;
  }
  HeadingFont(PrintSeriesColor(series.SeriesNumber));
  Text(kCentre, TextPlacement::TextCentred, "Series #" + std::to_string(series.SeriesNumber));
  if (titleLines != 0) {
    ++line_;
    Text(kCentre, TextPlacement::TextCentred, series.SeriesTitle);
  }
  c_.SetFontColor(kBlack);
  line_ += 2;
  if (series.Fit.FitKind != kFitNone) {
    FitTable(series);
  } else {
    PlainTable(series);
  }
}

void DataPrinter::FitTable(const Series& series) {
  Headings(kFitTable);
  line_ += 2;
  RowFont();
  // The points come from the grid as it stands now, not as the last computation left them:
  // cells changed since then would otherwise print stale numbers.
  const CellGrid& cells = series.Cells;
  const std::int32_t rows = std::min(series.MaxIndex, cells.RowCount());
  std::int32_t k = 0;
  for (std::int32_t r = 1; r <= rows; ++r) {
    Tdata p;
    cells.ReadRow(r, {&p.X, &p.Y, &p.YFit}, {&p.XValid, &p.YValid, &p.FitValid});
    if (!(p.XValid || p.YValid || p.FitValid)) continue;
    ++k;
    Text(kFitTable.index, TextPlacement::TextLeft, std::to_string(k));
    if (p.XValid) Text(kFitTable.x, TextPlacement::TextLeft, FormatNumber(p.X, 14));
    if (p.YValid) Text(kFitTable.y, TextPlacement::TextLeft, FormatNumber(p.Y, 14));
    if (p.FitValid) Text(kFitTable.fit, TextPlacement::TextLeft, FormatNumber(p.YFit, 14));
    ++line_;
    // The coefficient lines still follow the last point.
    ContinueIfFull(series, kFitTable, true);
  }

  const FitResult& fit = series.Fit;
  const Real coefficients[6] = {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F};
  const UserModel& model = fit.Model;
  const bool user = fit.FitKind == kFitUserModel;
  const int count = user && fit.FitOk
                        ? static_cast<int>(std::min(model.Names.size(), model.Values.size()))
                        : FitCoefficientCount(fit.FitKind);
  for (int j = 0; j < count; ++j) {
    const auto at = static_cast<std::size_t>(j);
    std::string text;
    if (user) {
      text = model.Names[at] + " = " + FormatNumber(model.Values[at], 14);
      const bool fixed = at < model.Fixed.size() && model.Fixed[at];
      if (fixed) text += "  (fixed)";
      if (!fixed && at < model.Errors.size()) text += " +- " + FormatNumber(model.Errors[at], 14);
    } else {
      text = std::string(1, FitCoefficientName(j)) + "   = " + FormatNumber(coefficients[j], 14);
    }
    Text(kFitLines, TextPlacement::TextLeft, text);
    ++line_;
    ContinueIfFull(series, kFitTable, j + 1 < count);
  }
  Text(kFitLines, TextPlacement::TextLeft, "R^2 = " + FormatNumber(fit.R2, 14));
  ++line_;
  ContinueIfFull(series, kFitTable, false);
  const std::string equation = user ? ModelEquationLine(model) : FitEquationLine(fit.FitKind);
  if (!equation.empty()) Text(kFitLines, TextPlacement::TextLeft, equation);
  ++line_;
}

void DataPrinter::PlainTable(const Series& series) {
  const CellGrid& cells = series.Cells;
  const std::int32_t rows = std::min(series.MaxIndex, cells.RowCount());
  auto holdsValue = [&](std::int32_t r) {
    return !cells.IsEmpty(r, kXColumn) || !cells.IsEmpty(r, kYColumn);
  };
  std::int32_t lastRow = 0;
  for (std::int32_t r = rows; r >= 1; --r) {
    if (holdsValue(r)) {
      lastRow = r;
      break;
    }
  }

  Headings(kPlainTable);
  line_ += 2;
  RowFont();
  for (std::int32_t r = 1; r <= lastRow; ++r) {
    if (!holdsValue(r)) continue;
    Text(kPlainTable.index, TextPlacement::TextLeft, std::to_string(r));
    const std::string x = cells.Text(r, kXColumn);
    const std::string y = cells.Text(r, kYColumn);
    if (!x.empty()) Text(kPlainTable.x, TextPlacement::TextLeft, x);
    if (!y.empty()) Text(kPlainTable.y, TextPlacement::TextLeft, y);
    ++line_;
    // After the last row nothing is continued: the next block finds its own room.
    if (r < lastRow) ContinueIfFull(series, kPlainTable, true);
  }
}

}  // namespace

DataPrintLayout::DataPrintLayout(const PrintPage& page)
    : dotsPerInch_(page.dotsPerInch > 0 ? page.dotsPerInch : kBaseDotsPerInch),
      columnUnit_(page.width / 100) {
  const std::int64_t lines =
      static_cast<std::int64_t>(page.height) * kBaseDotsPerInch / (kBasePitch * dotsPerInch_);
  lastLine_ = static_cast<std::int32_t>(lines) - (page.landscape ? 6 : 3);
}

std::int32_t DataPrintLayout::LineY(std::int32_t line) const {
  const std::int64_t dots = kBasePitch * line * dotsPerInch_;
  return static_cast<std::int32_t>((dots + kBaseDotsPerInch / 2) / kBaseDotsPerInch);
}

std::int32_t DataPrintLayout::ColumnX(int percent) const {
  return percent * columnUnit_;
}

std::int32_t PrintDataPages(const Workspace& workspace, PageCanvas& canvas, const PrintPage& page) {
  DataPrinter printer(canvas, page);
  printer.PageTop(workspace.Settings, page.landscape);
  for (const Series* series : workspace.DataWindows) printer.SeriesBlock(*series);
  return printer.Pages();
}

}  // namespace tavel
