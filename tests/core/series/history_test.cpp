#include "core/series/history.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/cells/cell_operations.h"
#include "core/cells/clipboard_text.h"
#include "core/cells/fill_cells.h"
#include "core/cells/grid_edit.h"
#include "core/cells/xy_operations.h"
#include "core/files/graph_file.h"
#include "core/fit/fit_choice.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"
#include "support/memory_clipboard.h"
#include "support/scripted_prompts.h"

namespace tavel {
namespace {

// Everything a user could see or a file could keep: the graph file's text, and every cell of
// every window exactly (values to the last bit, free texts, states).
std::string Snapshot(Workspace& ws) {
  std::string out = GraphFileText(ws);
  for (const Series* s : ws.DataWindows) {
    out += "#" + std::to_string(s->SeriesNumber) + " " + s->SeriesTitle + "|" + s->FitHeader;
    for (std::int32_t row = 1; row <= s->Cells.RowCount(); ++row) {
      for (int c = kXColumn; c <= kFitColumn; ++c) {
        char buffer[64];
        switch (s->Cells.StateOf(row, c)) {
          case CellGrid::State::Empty:
            out += '.';
            break;
          case CellGrid::State::Number:
            std::snprintf(buffer, sizeof buffer, "%La,", s->Cells.Number(row, c));
            out += buffer;
            break;
          case CellGrid::State::Text:
            out += "'" + s->Cells.Text(row, c) + "',";
            break;
        }
      }
    }
  }
  return out;
}

class HistoryTest : public ::testing::Test {
 protected:
  testing::ScriptedPrompts prompts;
  Workspace ws{prompts};
  testing::MemoryClipboard clipboard;

  Series& NewSeries(std::int32_t rows) {
    ws.Settings.NextDataSize = rows;
    HistoryRecorder step(ws, "New Data");
    Series& s = ws.CreateSeries();
    ws.SortDataWindows();
    return s;
  }
};

// Long random runs of every kind of command on a few series: undoing them one by one passes
// back through every state, byte for byte, and redoing them passes forward again.
TEST_F(HistoryTest, RandomCommandsUndoAndRedoExactly) {
  for (const unsigned seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    ws.DestroyAllSeries();
    ws.history().Clear();
    ws.Settings = GraphSettings{};
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int i = 0; i < 3; ++i) {
      Series& s = NewSeries(12 + 4 * i);
      for (std::int32_t row = 1; row <= s.MaxIndex; ++row) {
        s.Cells.SetNumber(row, kXColumn, row * 0.5L + i);
        s.Cells.SetNumber(row, kYColumn, (row % 5) * 1.25L - i / 3.0L);
      }
    }
    ws.history().Clear();
    std::vector<std::string> states{Snapshot(ws)};
    ws.history().SetLimit(History::kDefaultLimit);
    for (int n = 0; n < 400; ++n) {
      Series& s = *ws.DataWindows[static_cast<std::size_t>(pick(static_cast<int>(ws.DataWindows.size())))];
      const std::int32_t row = 1 + pick(s.MaxIndex + 2);
      const CellRect rect{kXColumn + pick(2), std::min(row, s.MaxIndex), kYColumn + pick(2),
                          std::min(row + pick(4), s.MaxIndex)};
      const int kind = pick(12);
      if (kind == 0) {  // typing, refused text and emptying included
        if (row > s.MaxIndex) continue;
        SavedCell saved = StartEditing(s, row, kXColumn + pick(2));
        const char* typed[] = {"7.5", "", "abc", "1e3", "-0.25"};
        s.Cells.SetText(row, s.EditCol, typed[pick(5)]);
        CommitEditStep(s, saved);
      } else {
        HistoryRecorder step(ws, "Command");
        step.Watch(s);
        step.WatchSettings();
        switch (kind) {
          case 1:
            PasteCells(s, pick(2) ? "1\t2\r\n3\t4\r\n\t9\r\n" : "5\r\nx\r\n6\t7\t8", {row, kXColumn});
            break;
          case 2:
            CutCells(s, rect);
            break;
          case 3:
            DeleteCells(s, rect);
            break;
          case 4:
            FillCells(s, kXColumn + pick(2), {"2", std::to_string(s.MaxIndex - 1), "0.5", "0.75"});
            break;
          case 5:
            OperateOnCells(s, {CellSetKind::SelectedCells, rect, kXColumn}, pick(8), 1.5L);
            break;
          case 6:
            OperateXY(s, pick(8));
            break;
          case 7:
            s.SortByX(pick(2) == 0);
            s.FillGrid();
            break;
          case 8:  // the fit dialog's choice
            s.Fit.FitKind = 1 + pick(9);
            s.GraphType = GraphTypeWithFit(s.GraphType);
            TFitObj(s).RunFit();
            if (!s.FitActive) s.Fit.FitKind = kFitNone;
            if (pick(2)) ListFitError(s);
            break;
          case 9:
            ClearFitAndGraphType(s);
            break;
          case 10:
            ws.Settings.XTicks = 1 + pick(5);
            ws.Settings.MainTitles[1] = "T" + std::to_string(n);
            ws.Settings.LogX = pick(2);
            s.SeriesTitle = "S" + std::to_string(n);
            break;
          case 11:
            if (ws.SeriesLimitReached() || ws.DataWindows.size() > 4) continue;
            if (pick(2)) {
              DuplicateSeries(s, clipboard);
            } else {
              NewSeries(5);
            }
            break;
        }
      }
      // A change is a step, and a step is a change.
      const std::string now = Snapshot(ws);
      if (ws.history().UndoCount() == states.size()) {
        states.push_back(now);
        ASSERT_NE(now, states[states.size() - 2]) << "kind " << kind;
      } else {
        ASSERT_EQ(ws.history().UndoCount() + 1, states.size()) << "kind " << kind;
        ASSERT_EQ(now, states.back()) << "kind " << kind;
      }
    }
    ASSERT_GT(states.size(), 150u);
    for (std::size_t k = states.size() - 1; k > 0; --k) {
      ASSERT_TRUE(ws.history().CanUndo()) << k;
      ws.history().Undo();
      ASSERT_EQ(Snapshot(ws), states[k - 1]) << "undo to state " << k - 1;
    }
    EXPECT_FALSE(ws.history().CanUndo());
    for (std::size_t k = 1; k < states.size(); ++k) {
      ws.history().Redo();
      ASSERT_EQ(Snapshot(ws), states[k]) << "redo to state " << k;
    }
  }
}

// A step keeps what changed and no more: one column of a large series, one cell of typing.
TEST_F(HistoryTest, AStepKeepsOnlyWhatItChanged) {
  constexpr std::int32_t kRows = 100000;
  Series& s = NewSeries(kRows);
  ws.history().Clear();
  {
    HistoryRecorder step(ws, "Fill Cells");
    step.Watch(s);
    FillCells(s, kYColumn, {"1", std::to_string(kRows), "1", "1"});
  }
  const std::size_t column = kRows * CellGrid::ColumnCells::kCellBytes;
  EXPECT_GT(ws.history().Bytes(), 2 * column);
  EXPECT_LT(ws.history().Bytes(), 2 * column + 4096);

  ws.history().Clear();
  SavedCell saved = StartEditing(s, 77, kXColumn);
  s.Cells.SetText(77, kXColumn, "3");
  CommitEditStep(s, saved);
  EXPECT_EQ(ws.history().UndoName(), "Typing");
  EXPECT_LT(ws.history().Bytes(), 4096u);
  ws.history().Undo();
  EXPECT_TRUE(s.Cells.IsEmpty(77, kXColumn));
}

// Past the limit the oldest steps go, but never the newest.
TEST_F(HistoryTest, TheOldestStepsGoPastTheLimit) {
  Series& s = NewSeries(1000);
  ws.history().SetLimit(40000);
  for (int i = 0; i < 20; ++i) {
    HistoryRecorder step(ws, "Fill " + std::to_string(i));
    step.Watch(s);
    FillCells(s, kXColumn, {"1", "1000", std::to_string(i), "1"});
  }
  EXPECT_LE(ws.history().Bytes(), 40000u);
  EXPECT_GE(ws.history().UndoCount(), 1u);
  EXPECT_LT(ws.history().UndoCount(), 20u);
  EXPECT_EQ(ws.history().UndoName(), "Fill 19");
  ws.history().SetLimit(1);
  EXPECT_EQ(ws.history().UndoCount(), 1u);
}

// A window closed outside the history takes with it every step that touched it and all
// before; the steps after it stay. Undoing a New Data closes the series, redoing brings it back.
TEST_F(HistoryTest, ClosedSeriesLeaveTheHistoryAndCreationsAreUndone) {
  Series& a = NewSeries(5);
  Series& b = NewSeries(5);
  {
    HistoryRecorder step(ws, "Paste");
    step.Watch(b);
    PasteCells(b, "1\t2", {1, kXColumn});
  }
  {
    HistoryRecorder step(ws, "Scale");
    step.WatchSettings();
    ws.Settings.XTicks = 3;
  }
  ASSERT_EQ(ws.history().UndoCount(), 4u);
  ws.DestroySeries(b);
  EXPECT_EQ(ws.history().UndoCount(), 1u);
  EXPECT_EQ(ws.history().UndoName(), "Scale");
  ws.history().Undo();
  EXPECT_EQ(ws.Settings.XTicks, 1);
  EXPECT_FALSE(ws.history().CanUndo());

  ws.history().Clear();
  a.SeriesTitle = "kept";
  Series& c = NewSeries(7);
  const std::int32_t number = c.SeriesNumber;
  {
    HistoryRecorder step(ws, "Paste");
    step.Watch(c);
    PasteCells(c, "4\t5", {2, kXColumn});
  }
  ws.history().Undo();
  ws.history().Undo();
  EXPECT_EQ(ws.FindSeries(number), nullptr);
  ws.history().Redo();
  ws.history().Redo();
  ASSERT_NE(ws.FindSeries(number), nullptr);
  EXPECT_EQ(ws.FindSeries(number)->Cells.Text(2, kYColumn), "5");
  EXPECT_EQ(ws.FindSeries(number)->MaxIndex, 7);
}

}  // namespace
}  // namespace tavel
