#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/series/cell_grid.h"
#include "core/series/graph_settings.h"
#include "core/series/series.h"

namespace tavel {

class Workspace;

// One command's change, kept so it can be taken back and done again: for each series it
// touched, its fields before and after and the stretch of each column that differs; the graph
// settings before and after when they changed; and the series it created, whole.
struct HistoryStep {
  struct ColumnChange {
    int column = kXColumn;
    CellGrid::ColumnCells before, after;
  };
  struct SeriesChange {
    std::int32_t seriesNumber = 0;
    SeriesFields before, after;
    std::vector<ColumnChange> columns;
  };
  struct CreatedSeries {
    SeriesFields fields;
    CellGrid::ColumnCells columns[3];
    bool modified = false;
  };

  std::string name;
  std::vector<SeriesChange> series;
  std::vector<CreatedSeries> created;
  std::unique_ptr<GraphSettings> settingsBefore, settingsAfter;
  std::size_t bytes = 0;

  bool Touches(std::int32_t seriesNumber) const;
};

// The undo and redo history of a workspace. Steps come from HistoryRecorder; undoing one puts
// back exactly what it changed. The steps kept are bounded by the memory they take, the
// oldest going first.
class History {
 public:
  static constexpr std::size_t kDefaultLimit = std::size_t{256} << 20;

  explicit History(Workspace& workspace) : workspace_(workspace) {}

  bool CanUndo() const { return !undo_.empty() && recording_ == 0; }
  bool CanRedo() const { return !redo_.empty() && recording_ == 0; }
  // What the next Undo and Redo take back or do again ("Paste"), "" when nothing.
  std::string UndoName() const { return undo_.empty() ? std::string() : undo_.back().name; }
  std::string RedoName() const { return redo_.empty() ? std::string() : redo_.back().name; }
  void Undo();
  void Redo();
  // Forgets every step (a graph file replaced everything).
  void Clear();

  std::size_t Bytes() const { return bytes_; }
  std::size_t UndoCount() const { return undo_.size(); }
  void SetLimit(std::size_t bytes);

  // A number no state had before.
  std::uint64_t NextVersion() { return ++lastVersion_; }

  // Called whenever the steps change, so the windows can name the next undo.
  std::function<void()> Changed;

  // --- for HistoryRecorder and Workspace ---
  void Push(HistoryStep step);
  // A series went outside the history (its window closed): no step may bring it back or
  // change it again, nor any step before one that did.
  void SeriesDestroyed(const Series& series);
  bool Applying() const { return applying_; }
  int& Recording() { return recording_; }
  class HistoryRecorder* ActiveRecorder = nullptr;

 private:
  void Apply(const HistoryStep& step, bool forward);
  // Takes the last step of `from`, undoes or redoes it and keeps it at the end of `to`.
  void Move(std::vector<HistoryStep>& from, std::vector<HistoryStep>& to, bool forward);
  void Trim();
  void Notify();

  Workspace& workspace_;
  std::vector<HistoryStep> undo_;  // oldest first
  std::vector<HistoryStep> redo_;  // the next redo last
  std::size_t bytes_ = 0;
  std::size_t limit_ = kDefaultLimit;
  std::uint64_t lastVersion_ = 0;
  bool applying_ = false;
  int recording_ = 0;
};

// Records one step, from its making to its end (or Commit): what it is told to watch before
// the change, and every series created meanwhile. Recorders made while one is recording add to
// that one's step, so a command made of commands is one step.
class HistoryRecorder {
 public:
  HistoryRecorder(Workspace& workspace, std::string name);
  ~HistoryRecorder();
  HistoryRecorder(const HistoryRecorder&) = delete;
  HistoryRecorder& operator=(const HistoryRecorder&) = delete;

  // Every cell and field of the series.
  void Watch(Series& series);
  // Rows first..last of every column, and the fields.
  void WatchRows(Series& series, std::int32_t first, std::int32_t last);
  // One whole column, and the fields.
  void WatchColumn(Series& series, int column);
  void WatchSettings();

  // Ends the step: what changed becomes one step of the history. Nothing changed, no step.
  void Commit();

  // --- for History ---
  void Forget(const Series& series);

 private:
  struct Watched {
    Series* series = nullptr;
    SeriesFields fields;
    struct Range {
      bool watched = false;
      bool toEnd = false;  // the whole column, however the rows grow
      CellGrid::ColumnCells before;
    } columns[3];
  };
  Watched& Entry(Series& series);
  void WatchRange(Series& series, int column, std::int32_t first, std::int32_t last, bool toEnd);

  Workspace& workspace_;
  History& history_;
  HistoryRecorder* outer_ = nullptr;
  std::string name_;
  bool done_ = false;
  std::vector<Series*> existing_;
  std::vector<Watched> watched_;
  std::unique_ptr<GraphSettings> settings_;
};

// Copies the settings a step takes back, keeping what no step changes: the graph window's
// placement, the calculator, the file name and the passing flags of dialogs and loaders.
void AssignUndoableSettings(GraphSettings& to, const GraphSettings& from);

}  // namespace tavel
