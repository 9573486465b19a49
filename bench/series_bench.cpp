// Pack and sort of one large series, and what its rows and cells cost in memory.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"

namespace {

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

template <typename F>
double Millis(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::int32_t rows = argc > 1 ? std::stoi(argv[1]) : 1'000'000;
  tavel::QuietPrompts prompts;
  tavel::Workspace ws(prompts);
  ws.Settings.NextDataSize = rows;

  std::vector<std::int32_t> order(static_cast<std::size_t>(rows));
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(42));
  const long before = ResidentKiB();
  tavel::Series& s = ws.CreateSeries();
  // Filled as the file readers fill a series: the rows, then the grid from them.
  for (std::int32_t r = 1; r <= rows; ++r) {
    const auto x = static_cast<tavel::Real>(order[static_cast<std::size_t>(r - 1)]);
    s.Points[static_cast<std::size_t>(r - 1)] = tavel::Tdata(x * 0.5L, x * x, 0, true, true);
  }
  s.FillGrid();
  const long after = ResidentKiB();
  order.clear();
  order.shrink_to_fit();

  const double shuffled = Millis([&] { s.SortByX(true); });
  // Sorted rows differ from the grid, which keeps its own copy until the rows are written back.
  const long whileSorted = ResidentKiB();
  s.FillGrid();
  const long filledBack = ResidentKiB();
  const double sorted = Millis([&] { s.SortByX(true); });
  const double packOnly = Millis([&] { s.PackPoints(); });

  const auto perRow = [&](long kib) { return static_cast<double>(kib - before) * 1024.0 / rows; };
  std::printf("rows                         %d\n", rows);
  std::printf("PackPoints+SortByX shuffled  %.1f ms   (target <= 300 ms)\n", shuffled);
  std::printf("PackPoints+SortByX sorted    %.1f ms   (target <= 30 ms)\n", sorted);
  std::printf("PackPoints alone             %.1f ms\n", packOnly);
  std::printf(
      "rows + cells                 %.1f bytes per row (target <= 40; %zu in a row, the "
      "cells' numbers kept in the rows)\n",
      perRow(after), sizeof(tavel::Tdata));
  std::printf("  while sorted apart         %.1f bytes per row (the grid's own copy, 33 a row)\n",
              perRow(whileSorted));
  std::printf("  after FillGrid             %.1f bytes per row\n", perRow(filledBack));
  return 0;
}
