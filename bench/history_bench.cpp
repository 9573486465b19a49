// What undo costs on one large series: the time to record each command as a step, to undo and
// to redo it, and the memory the step keeps; then how the history stays within its limit.
// Two shapes of data: a smooth sorted series and a noisy shuffled one.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/cells/cell_operations.h"
#include "core/cells/clipboard_text.h"
#include "core/cells/fill_cells.h"
#include "core/cells/grid_edit.h"
#include "core/cells/xy_operations.h"
#include "core/fit/fit_choice.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series_options.h"
#include "core/series/workspace.h"

namespace {

using tavel::Series;

double Millis(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void Refill(Series& s, bool noisy) {
  std::mt19937 random(7);
  std::vector<std::int32_t> order(static_cast<std::size_t>(s.MaxIndex));
  std::iota(order.begin(), order.end(), 0);
  if (noisy) std::shuffle(order.begin(), order.end(), random);
  std::normal_distribution<double> noise(0, noisy ? 0.05 : 0);
  for (std::int32_t r = 1; r <= s.MaxIndex; ++r) {
    const auto x = static_cast<tavel::Real>(order[static_cast<std::size_t>(r - 1)]) * 1e-3L;
    s.Cells.SetNumber(r, tavel::kXColumn, x);
    s.Cells.SetNumber(r, tavel::kYColumn, 2 + std::sin(static_cast<double>(x)) + noise(random));
  }
  s.ReadGrid();
  s.FillGrid();
}

}  // namespace

int main(int argc, char** argv) {
  const std::int32_t rows = argc > 1 ? std::stoi(argv[1]) : 1'000'000;
  tavel::QuietPrompts prompts;
  tavel::Workspace ws(prompts);
  ws.Settings.NextDataSize = rows;
  Series& s = ws.CreateSeries();
  tavel::History& history = ws.history();

  struct Command {
    const char* name;
    std::function<void()> run;
  };
  const tavel::CellRect all{tavel::kXColumn, 1, tavel::kYColumn, rows};
  const Command commands[] = {
      {"Typing", [&] {
         tavel::SavedCell saved = tavel::StartEditing(s, rows / 2, tavel::kYColumn);
         s.Cells.SetText(rows / 2, tavel::kYColumn, "42");
         tavel::CommitEditStep(s, saved);
       }},
      {"Paste 2 rows", [&] { tavel::PasteCells(s, "1\t2\r\n3\t4\r\n", {10, tavel::kXColumn}); }},
      {"Fill Y", [&] { tavel::FillCells(s, tavel::kYColumn, {"1", std::to_string(rows), "1", "0.5"}); }},
      {"Cell * K on X", [&] {
         tavel::OperateOnCells(s, {tavel::CellSetKind::XColumnCells, all, tavel::kXColumn},
                               tavel::kCellTimesK, 2);
       }},
      {"Y = Y + X", [&] { tavel::OperateXY(s, 1); }},
      {"Sort X", [&] {
         s.SortByX(true);
         s.FillGrid();
       }},
      {"Fit order 3", [&] {
         s.Fit.FitKind = 3;
         s.GraphType = tavel::GraphTypeWithFit(s.GraphType);
         tavel::TFitObj(s).RunFit();
       }},
      {"Cut all", [&] { tavel::CutCells(s, {tavel::kXColumn, 1, tavel::kFitColumn, rows}); }},
  };

  std::printf("%d rows: record, undo and redo of one command, and what the step keeps\n", rows);
  for (const bool noisy : {false, true}) {
    std::printf("-- %s\n", noisy ? "noisy, shuffled" : "smooth, sorted");
    for (const Command& c : commands) {
      Refill(s, noisy);
      history.Clear();
      const double record = Millis([&] {
        if (std::string(c.name) == "Typing") {
          c.run();
          return;
        }
        tavel::HistoryRecorder step(ws, c.name);
        step.Watch(s);
        c.run();
      });
      const double kept = static_cast<double>(history.Bytes()) / (1 << 20);
      const double undo = Millis([&] { history.Undo(); });
      const double redo = Millis([&] { history.Redo(); });
      std::printf("  %-14s record %7.1f ms  undo %7.1f ms  redo %7.1f ms  keeps %7.2f MiB\n",
                  c.name, record, undo, redo, kept);
    }
  }

  // Full-column steps one after another: the oldest go once the limit is passed.
  Refill(s, false);
  history.Clear();
  for (int i = 0; i < 40; ++i) {
    tavel::HistoryRecorder step(ws, "Fill");
    step.Watch(s);
    tavel::FillCells(s, tavel::kXColumn, {"1", std::to_string(rows), std::to_string(i), "1"});
  }
  std::printf("40 full-column steps: %zu kept, %.1f MiB (limit %zu MiB)\n", history.UndoCount(),
              static_cast<double>(history.Bytes()) / (1 << 20), tavel::History::kDefaultLimit >> 20);
  return 0;
}
