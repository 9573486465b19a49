#include "core/series/history.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "core/series/scoped_value.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

using ColumnCells = CellGrid::ColumnCells;
constexpr std::size_t kCell = ColumnCells::kCellBytes;

// Whether cell i of a and of b (both starting at the same row) differ.
bool CellsDiffer(const ColumnCells& a, const ColumnCells& b, std::int32_t i) {
  return std::memcmp(a.bytes.data() + static_cast<std::size_t>(i) * kCell,
                     b.bytes.data() + static_cast<std::size_t>(i) * kCell, kCell) != 0;
}

// The cells [from, to) where before and after differ, the smallest such stretch; false when
// they are the same. Both start at the same row and hold the same number of cells.
bool DifferingStretch(const ColumnCells& before, const ColumnCells& after, std::int32_t& from,
                      std::int32_t& to) {
  const std::int32_t count = before.Count();
  from = 0;
  while (from < count && !CellsDiffer(before, after, from)) ++from;
  to = count;
  while (to > from && !CellsDiffer(before, after, to - 1)) --to;
  // Free texts of the same cells may still differ in what they say.
  const auto note = [&](std::int32_t row) {
    const std::int32_t i = row - before.first;
    if (from == to) {
      from = i;
      to = i + 1;
    } else {
      from = std::min(from, i);
      to = std::max(to, i + 1);
    }
  };
  auto a = before.texts.begin();
  auto b = after.texts.begin();
  while (a != before.texts.end() && b != after.texts.end()) {
    if (a->first < b->first) {
      ++a;
    } else if (b->first < a->first) {
      ++b;
    } else {
      if (a->second != b->second) note(a->first);
      ++a;
      ++b;
    }
  }
  return from < to;
}

std::size_t FieldBytes(const SeriesFields& f) {
  return sizeof(SeriesFields) + f.FileName.capacity() + f.SeriesTitle.capacity() +
         f.FitHeader.capacity() + f.CaptionFileName.capacity() + f.OldCellText.capacity() +
         f.NewCellText.capacity();
}

std::size_t StepBytes(const HistoryStep& step) {
  std::size_t total = sizeof(HistoryStep) + step.name.capacity();
  for (const auto& change : step.series) {
    total += 2 * FieldBytes(change.before);
    for (const auto& column : change.columns) total += column.before.Bytes() + column.after.Bytes();
  }
  for (const auto& created : step.created) {
    total += FieldBytes(created.fields);
    for (const auto& column : created.columns) total += column.Bytes();
  }
  if (step.settingsBefore) total += 2 * sizeof(GraphSettings);
  return total;
}

bool SameUndoableSettings(const GraphSettings& a, const GraphSettings& b) {
  GraphSettings mixed = a;
  AssignUndoableSettings(mixed, b);
  return mixed == a;
}

// Whether a command changed what the user sees of a series' fields: the open edit, the
// extents and counts that every drawing works out again, and the names do not count.
bool SameShownFields(const SeriesFields& before, const SeriesFields& now) {
  SeriesFields mixed = before;
  mixed.EditRow = now.EditRow;
  mixed.EditCol = now.EditCol;
  mixed.OldCellText = now.OldCellText;
  mixed.NewCellText = now.NewCellText;
  mixed.CellValue = now.CellValue;
  mixed.PointCount = now.PointCount;
  mixed.XMax = now.XMax;
  mixed.XMin = now.XMin;
  mixed.YMax = now.YMax;
  mixed.YMin = now.YMin;
  mixed.FileName = now.FileName;
  mixed.FileNameInCaption = now.FileNameInCaption;
  mixed.CaptionFileName = now.CaptionFileName;
  // Of the fit, what it found; a fit worked out again to the same law is no change.
  const FitResult& a = before.Fit;
  const FitResult& b = now.Fit;
  mixed.Fit = now.Fit;
  return mixed == now && a.FitKind == b.FitKind && a.A == b.A && a.B == b.B && a.C == b.C &&
         a.D == b.D && a.E == b.E && a.F == b.F && a.R2 == b.R2 && a.Model == b.Model;
}

// The fields a step takes back; the names of the series' file and the open edit stay, since
// saving and editing are no steps.
void AssignUndoableFields(Series& series, const SeriesFields& fields) {
  const SeriesFields kept = series;
  static_cast<SeriesFields&>(series) = fields;
  series.FileName = kept.FileName;
  series.FileNameInCaption = kept.FileNameInCaption;
  series.CaptionFileName = kept.CaptionFileName;
  series.EditRow = kept.EditRow;
  series.EditCol = kept.EditCol;
  series.OldCellText = kept.OldCellText;
  series.NewCellText = kept.NewCellText;
}

// After cells were written back the grid holds its own copy; without free texts the rows can
// hold the cells again, which costs a million-row series nothing beyond its rows.
void ShareRowsAgain(Series& series) {
  if (!series.Cells.SharesRows() && !series.Cells.HasTexts()) {
    series.ReadGrid();
    series.FillGrid();
  } else {
    series.NotifyGridChanged();
  }
}

Series& SeriesNumbered(Workspace& workspace, std::int32_t number) {
  Series* series = workspace.FindSeries(number);
  if (series == nullptr) throw std::logic_error("the history names a series that is gone");
  return *series;
}

}  // namespace

bool HistoryStep::Touches(std::int32_t seriesNumber) const {
  for (const auto& change : series) {
    if (change.seriesNumber == seriesNumber) return true;
  }
  for (const auto& made : created) {
    if (made.fields.SeriesNumber == seriesNumber) return true;
  }
  return false;
}

void AssignUndoableSettings(GraphSettings& to, const GraphSettings& from) {
  const GraphSettings kept = to;
  to = from;
  to.GraphFileName = kept.GraphFileName;
  to.NextDataSize = kept.NextDataSize;
  to.CalcX = kept.CalcX;
  to.CalcY = kept.CalcY;
  to.CalcZ = kept.CalcZ;
  to.CalcT = kept.CalcT;
  to.CalcMemory = kept.CalcMemory;
  to.GraphLeft = kept.GraphLeft;
  to.GraphTop = kept.GraphTop;
  to.GraphWidth = kept.GraphWidth;
  to.GraphHeight = kept.GraphHeight;
  to.ScreenClass = kept.ScreenClass;
  to.NextSeriesRequested = kept.NextSeriesRequested;
  to.GraphLoadFailed = kept.GraphLoadFailed;
  to.GraphJustCreated = kept.GraphJustCreated;
}

// ---------------------------------------------------------------------------------------------
// History

void History::Undo() {
  if (CanUndo()) Move(undo_, redo_, false);
}

void History::Redo() {
  if (CanRedo()) Move(redo_, undo_, true);
}

void History::Move(std::vector<HistoryStep>& from, std::vector<HistoryStep>& to, bool forward) {
  HistoryStep step = std::move(from.back());
  from.pop_back();
  try {
    Apply(step, forward);
  } catch (...) {
    // Half taken back is no state the history knows: it starts again from here.
    Clear();
    throw;
  }
  to.push_back(std::move(step));
  Notify();
}

void History::Clear() {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
  Notify();
}

void History::SetLimit(std::size_t bytes) {
  limit_ = bytes;
  Trim();
}

void History::Push(HistoryStep step) {
  step.bytes = StepBytes(step);
  for (const HistoryStep& old : redo_) bytes_ -= old.bytes;
  redo_.clear();
  bytes_ += step.bytes;
  undo_.push_back(std::move(step));
  Trim();
  Notify();
}

void History::Trim() {
  // The newest step stays whatever it costs: the last command can always be taken back.
  std::size_t drop = 0;
  while (bytes_ > limit_ && undo_.size() - drop > 1) bytes_ -= undo_[drop++].bytes;
  undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(drop));
}

void History::Notify() {
  if (Changed) Changed();
}

void History::SeriesDestroyed(const Series& series) {
  if (applying_) return;
  if (ActiveRecorder != nullptr) ActiveRecorder->Forget(series);
  const std::int32_t number = series.SeriesNumber;
  std::size_t keepFrom = 0;
  for (std::size_t i = 0; i < undo_.size(); ++i) {
    if (undo_[i].Touches(number)) keepFrom = i + 1;
  }
  const bool redoTouches = std::any_of(redo_.begin(), redo_.end(),
                                       [&](const HistoryStep& s) { return s.Touches(number); });
  if (keepFrom == 0 && !redoTouches) return;
  undo_.erase(undo_.begin(), undo_.begin() + static_cast<std::ptrdiff_t>(keepFrom));
  if (redoTouches) redo_.clear();
  bytes_ = 0;
  for (const HistoryStep& s : undo_) bytes_ += s.bytes;
  for (const HistoryStep& s : redo_) bytes_ += s.bytes;
  Notify();
}

void History::Apply(const HistoryStep& step, bool forward) {
  const ScopedValue<bool> applying(applying_, true);
  Workspace& ws = workspace_;
  const auto applySeries = [&](const HistoryStep::SeriesChange& change) {
    Series& series = SeriesNumbered(ws, change.seriesNumber);
    const SeriesFields& fields = forward ? change.after : change.before;
    if (series.MaxIndex != fields.MaxIndex) series.SetMaxIndex(fields.MaxIndex);
    for (const auto& column : change.columns)
      series.Cells.RestoreColumn(column.column, forward ? column.after : column.before);
    AssignUndoableFields(series, fields);
    ShareRowsAgain(series);
  };
  if (forward) {
    for (const auto& made : step.created) {
      ws.UseGivenSeriesNumber = true;
      ws.GivenSeriesNumber = made.fields.SeriesNumber;
      Series& series = ws.CreateSeries();
      series.SetMaxIndex(made.fields.MaxIndex);
      for (int c = 0; c < 3; ++c) series.Cells.RestoreColumn(c + 1, made.columns[c]);
      static_cast<SeriesFields&>(series) = made.fields;
      series.SavedVersion = made.modified ? 0 : made.fields.Version;
      ShareRowsAgain(series);
    }
    ws.SortDataWindows();
    for (const auto& change : step.series) applySeries(change);
    if (step.settingsAfter) AssignUndoableSettings(ws.Settings, *step.settingsAfter);
  } else {
    if (step.settingsBefore) AssignUndoableSettings(ws.Settings, *step.settingsBefore);
    for (auto it = step.series.rbegin(); it != step.series.rend(); ++it) applySeries(*it);
    for (auto it = step.created.rbegin(); it != step.created.rend(); ++it)
      ws.DestroySeries(SeriesNumbered(ws, it->fields.SeriesNumber));
  }
}

// ---------------------------------------------------------------------------------------------
// HistoryRecorder

HistoryRecorder::HistoryRecorder(Workspace& workspace, std::string name)
    : workspace_(workspace), history_(workspace.history()), name_(std::move(name)) {
  ++history_.Recording();
  if (history_.ActiveRecorder != nullptr) {
    outer_ = history_.ActiveRecorder;
    return;
  }
  history_.ActiveRecorder = this;
  existing_ = workspace.DataWindows;
}

HistoryRecorder::~HistoryRecorder() {
  try {
    Commit();
  } catch (...) {
    // A step that could not be kept (no memory for it) is no reason to lose the command.
    history_.Clear();
  }
}

HistoryRecorder::Watched& HistoryRecorder::Entry(Series& series) {
  for (Watched& w : watched_) {
    if (w.series == &series) return w;
  }
  Watched w;
  w.series = &series;
  w.fields = series;
  watched_.push_back(std::move(w));
  return watched_.back();
}

void HistoryRecorder::WatchRange(Series& series, int column, std::int32_t first,
                                 std::int32_t last, bool toEnd) {
  if (done_) return;
  if (outer_ != nullptr) {
    outer_->WatchRange(series, column, first, last, toEnd);
    return;
  }
  // A series made by this very step is kept whole anyway.
  if (std::find(existing_.begin(), existing_.end(), &series) == existing_.end()) return;
  Watched::Range& range = Entry(series).columns[column - 1];
  range.toEnd = range.toEnd || toEnd;
  first = std::max<std::int32_t>(first, 1);
  if (!range.watched) {
    range.watched = true;
    range.before = series.Cells.CopyColumn(column, first, last);
    return;
  }
  // Rows not watched before are taken as they stand now: the step has not changed them yet.
  ColumnCells& before = range.before;
  const std::int32_t oldLast = before.first + before.Count() - 1;
  if (first < before.first) {
    ColumnCells head = series.Cells.CopyColumn(column, first, before.first - 1);
    head.bytes.insert(head.bytes.end(), before.bytes.begin(), before.bytes.end());
    head.texts.insert(head.texts.end(), before.texts.begin(), before.texts.end());
    before = std::move(head);
  }
  if (last > oldLast) {
    const ColumnCells tail = series.Cells.CopyColumn(column, oldLast + 1, last);
    before.bytes.insert(before.bytes.end(), tail.bytes.begin(), tail.bytes.end());
    before.texts.insert(before.texts.end(), tail.texts.begin(), tail.texts.end());
  }
}

void HistoryRecorder::Watch(Series& series) {
  for (int c = kXColumn; c <= kFitColumn; ++c) WatchRange(series, c, 1, series.Cells.RowCount(), true);
}

void HistoryRecorder::WatchRows(Series& series, std::int32_t first, std::int32_t last) {
  for (int c = kXColumn; c <= kFitColumn; ++c) WatchRange(series, c, first, last, false);
}

void HistoryRecorder::WatchColumn(Series& series, int column) {
  WatchRange(series, column, 1, series.Cells.RowCount(), true);
}

void HistoryRecorder::WatchSettings() {
  if (done_) return;
  if (outer_ != nullptr) {
    outer_->WatchSettings();
    return;
  }
  if (!settings_) settings_ = std::make_unique<GraphSettings>(workspace_.Settings);
}

void HistoryRecorder::Forget(const Series& series) {
  for (Watched& w : watched_) {
    if (w.series == &series) w.series = nullptr;
  }
  existing_.erase(std::remove(existing_.begin(), existing_.end(), &series), existing_.end());
}

void HistoryRecorder::Commit() {
  if (done_) return;
  done_ = true;
  --history_.Recording();
  if (outer_ != nullptr) return;
  history_.ActiveRecorder = nullptr;

  HistoryStep step;
  step.name = name_;
  for (Series* series : workspace_.DataWindows) {
    if (std::find(existing_.begin(), existing_.end(), series) != existing_.end()) continue;
    HistoryStep::CreatedSeries made;
    made.fields = *series;
    for (int c = 0; c < 3; ++c)
      made.columns[c] = series->Cells.CopyColumn(c + 1, 1, series->Cells.RowCount());
    made.modified = series->Modified();
    step.created.push_back(std::move(made));
  }
  for (Watched& w : watched_) {
    if (w.series == nullptr) continue;
    Series& series = *w.series;
    HistoryStep::SeriesChange change;
    change.seriesNumber = series.SeriesNumber;
    for (int c = 0; c < 3; ++c) {
      Watched::Range& range = w.columns[c];
      if (!range.watched) continue;
      ColumnCells& before = range.before;
      std::int32_t last = before.first + before.Count() - 1;
      if (range.toEnd) last = std::max(last, series.Cells.RowCount());
      ColumnCells after = series.Cells.CopyColumn(c + 1, before.first, last);
      // Rows past the old end were empty before the step made them.
      before.bytes.resize(after.bytes.size(), 0);
      std::int32_t from = 0, to = 0;
      if (!DifferingStretch(before, after, from, to)) continue;
      HistoryStep::ColumnChange column;
      column.column = c + 1;
      column.before = from == 0 && to == before.Count() ? std::move(before) : before.Part(from, to);
      column.after = from == 0 && to == after.Count() ? std::move(after) : after.Part(from, to);
      change.columns.push_back(std::move(column));
    }
    const SeriesFields& now = series;
    if (change.columns.empty() && SameShownFields(w.fields, now)) continue;
    series.Version = history_.NextVersion();
    change.before = std::move(w.fields);
    change.after = series;
    step.series.push_back(std::move(change));
  }
  if (settings_ && !SameUndoableSettings(*settings_, workspace_.Settings)) {
    workspace_.Settings.Version = history_.NextVersion();
    step.settingsBefore = std::move(settings_);
    step.settingsAfter = std::make_unique<GraphSettings>(workspace_.Settings);
  }
  if (step.series.empty() && step.created.empty() && !step.settingsBefore) return;
  history_.Push(std::move(step));
}

}  // namespace tavel
