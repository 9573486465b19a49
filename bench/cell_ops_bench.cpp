// Operations on cells, X/Y operations and fill on one large series, each on fresh data.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/cells/cell_operations.h"
#include "core/cells/fill_cells.h"
#include "core/cells/xy_operations.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"

namespace {

double CpuMillis() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall time, and the processor time of all threads in brackets: on a busy machine the wall
// time grows with the other load, the processor time does not.
template <typename F>
std::string Millis(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuMillis();
  f();
  const double wall =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  char text[64];
  std::snprintf(text, sizeof text, "%7.1f ms [cpu %6.1f]", wall, CpuMillis() - cpuStart);
  return text;
}

// X a shuffled 0..rows-1 scaled by 0.5, Y positive and varied, so that every operation has
// defined results for nearly every cell and the sort of the running sum has work to do.
void Refill(tavel::Series& s, const std::vector<std::int32_t>& order) {
  for (std::int32_t r = 1; r <= s.MaxIndex; ++r) {
    const auto x = static_cast<tavel::Real>(order[static_cast<std::size_t>(r - 1)]);
    s.Cells.SetNumber(r, tavel::kXColumn, x * 0.5L);
    s.Cells.SetNumber(r, tavel::kYColumn, 1 + x * 1e-3L);
  }
}

const char* const kCellOperationNames[] = {"Cell + K",    "Cell - K", "Cell * K",
                                           "Cell / K",    "Cell ^ K", "10 ^ Cell",
                                           "Log10(Cell)", "1 / Cell", "Round(Cell)"};
const char* const kXYNames[] = {"Switch X&Y", "Y = Y + X", "Y = Y - X", "Y = Y * X",
                                "Y = Y / X",  "Y = X / Y", "Y= Sum(Y)", "Y= Integral"};

}  // namespace

int main(int argc, char** argv) {
  const std::int32_t rows = argc > 1 ? std::stoi(argv[1]) : 1'000'000;
  tavel::QuietPrompts prompts;
  tavel::Workspace ws(prompts);
  ws.Settings.NextDataSize = rows;
  tavel::Series& s = ws.CreateSeries();
  std::vector<std::int32_t> order(static_cast<std::size_t>(rows));
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(42));

  std::printf("rows %d, target <= 300 ms each\n", rows);
  Refill(s, order);
  const tavel::CellSet yColumn{tavel::CellSetKind::YColumnCells, {}, tavel::kXColumn};
  const tavel::CellSet selected{tavel::CellSetKind::SelectedCells,
                                {tavel::kXColumn, 1, tavel::kYColumn, rows},
                                tavel::kXColumn};
  std::printf("%-28s %s\n", "statistics, Y column",
              Millis([&] { tavel::ComputeStatistics(s.Cells, yColumn); }).c_str());
  std::printf("%-28s %s\n", "statistics, X and Y selected",
              Millis([&] { tavel::ComputeStatistics(s.Cells, selected); }).c_str());
  for (int op = tavel::kCellPlusK; op <= tavel::kRoundCell; ++op) {
    Refill(s, order);
    const tavel::Real k = op == tavel::kRoundCell ? 2 : 1.0001L;
    const std::string ms = Millis([&] { tavel::OperateOnCells(s, yColumn, op, k); });
    std::printf("%-28s %s  (Y column, statistics included)\n", kCellOperationNames[op], ms.c_str());
  }
  Refill(s, order);
  std::printf(
      "%-28s %s  (X and Y selected, statistics included)\n", "Cell ^ K",
      Millis([&] { tavel::OperateOnCells(s, selected, tavel::kCellPowerK, 1.0001L); }).c_str());
  for (int op = tavel::kSwitchXY; op <= tavel::kYIntegral; ++op) {
    Refill(s, order);
    std::printf("%-28s %s\n", kXYNames[op], Millis([&] { tavel::OperateXY(s, op); }).c_str());
  }
  const tavel::FillTexts texts{"1", std::to_string(rows), "0", "0.1"};
  std::printf("%-28s %s\n", "fill",
              Millis([&] { tavel::FillCells(s, tavel::kYColumn, texts); }).c_str());
  return 0;
}
