// Data file speed: opening 1,000,000-line ".prn" files (one and three Y columns) and writing a
// 1,000,000-row series, with the peak memory of the process.
//
//   data_file_bench [dir]            everything, files generated in dir (default /tmp)
//   data_file_bench open1|open3|write [dir]
//                                    one phase only, for /usr/bin/time -v
//
// Targets on the 2-core build machine: open of the one-column file <= 0.5 s with peak memory
// <= 150 MiB, open of the three-column file <= 1.2 s, writing <= 0.5 s.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "core/files/atomic_file.h"
#include "core/files/data_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/number_text.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace {

using tavel::Real;

constexpr int kLines = 1'000'000;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Deterministic values of many magnitudes and signs, with an empty cell now and then.
struct Values {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  Real Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    const auto bits = state >> 11;
    const Real unit = static_cast<Real>(bits) / static_cast<Real>(1ull << 53);
    const int decade = static_cast<int>((state >> 3) % 13) - 6;
    const Real value = (unit - 0.5L) * std::pow(10.0L, decade);
    return value;
  }
};

// Written in the program's own form, streamed so the generator needs no memory to speak of.
void Generate(const std::string& path, int yColumns) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::perror(path.c_str());
    std::exit(1);
  }
  Values values;
  std::vector<char> line(static_cast<std::size_t>((yColumns + 1) * 24 + 2));
  for (int i = 0; i < kLines; ++i) {
    char* p = line.data();
    tavel::FormatDataFileNumber(static_cast<Real>(i + 1) * 0.001L, p);
    p += tavel::kDataFileNumberWidth;
    for (int c = 0; c < yColumns; ++c) {
      *p++ = ' ';
      const Real y = (i % 997 == 5 && c == 0) ? tavel::EmptyValue : values.Next();
      tavel::FormatDataFileNumber(y, p);
      p += tavel::kDataFileNumberWidth;
    }
    *p++ = '\r';
    *p++ = '\n';
    std::fwrite(line.data(), 1, static_cast<std::size_t>(p - line.data()), out);
  }
  std::fclose(out);
}

bool Exists(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

std::string Prepare(const std::string& dir, int yColumns) {
  const std::string path = dir + "/bench_" + std::to_string(yColumns) + "y.prn";
  if (!Exists(path)) {
    const auto start = std::chrono::steady_clock::now();
    Generate(path, yColumns);
    std::printf("generated %s in %.2f s\n", path.c_str(), Seconds(start));
  }
  return path;
}

// The machine is shared, so each figure is the best of a few runs, with the slowest beside it.
constexpr int kRuns = 3;

struct Spread {
  double best = 1e9, worst = 0;
  void Add(double seconds) {
    best = std::min(best, seconds);
    worst = std::max(worst, seconds);
  }
};

void Open(const std::string& path, int yColumns, double limitSeconds, bool checkMemory) {
  Spread count, open;
  for (int run = 0; run < kRuns; ++run) {
    tavel::QuietPrompts prompts(std::cout, "  message: ");
    tavel::Workspace workspace(prompts);

    auto start = std::chrono::steady_clock::now();
    const auto shape = tavel::CountDataFile(path);
    count.Add(Seconds(start));

    start = std::chrono::steady_clock::now();
    const auto result = tavel::OpenDataFile(workspace, path);
    open.Add(Seconds(start));
    if (run > 0) continue;

    std::size_t points = 0;
    for (tavel::Series* s : result.created) {
      for (std::int32_t r = 1; r <= s->MaxIndex; ++r) {
        if (!s->Cells.IsEmpty(r, tavel::kXColumn) && !s->Cells.IsEmpty(r, tavel::kYColumn)) {
          ++points;
        }
      }
    }
    std::printf("open %d Y column(s): %zu series x %d rows, %zu points\n", yColumns,
                result.created.size(), shape ? static_cast<int>(shape->lines) : -1, points);
    if (checkMemory) {
      const double peak = PeakMiB();
      std::printf("  peak memory after opening: %.1f MiB (limit 150) %s\n", peak,
                  peak <= 150 ? "OK" : "TOO MUCH");
    }
    if (result.failed || static_cast<int>(result.created.size()) != yColumns) {
      std::printf("  FAILED to open\n");
    }
    // The store path alone on the same series.
    if (!result.created.empty()) {
      start = std::chrono::steady_clock::now();
      result.created.front()->FillGrid();
      std::printf("  FillGrid of one series alone: %.3f s\n", Seconds(start));
    }
  }
  std::printf(
      "  counting pass alone %.3f s (slowest %.3f); OpenDataFile %.3f s (slowest %.3f), "
      "limit %.1f s %s\n",
      count.best, count.worst, open.best, open.worst, limitSeconds,
      open.best <= limitSeconds ? "OK" : "SLOW");
}

void Write(const std::string& dir) {
  tavel::QuietPrompts prompts(std::cout, "  message: ");
  tavel::Workspace workspace(prompts);
  workspace.Settings.NextDataSize = kLines;
  tavel::Series& series = workspace.CreateSeries();
  Values values;
  for (auto& row : series.Points) {
    row.X = values.Next();
    row.Y = values.Next();
    row.XValid = row.YValid = true;
  }
  series.Points[7].YValid = false;
  series.FillGrid();

  const std::string path = dir + "/bench_written.prn";
  Spread write, plain;
  double readGridSeconds = 0;
  std::string sample(static_cast<std::size_t>(kLines) * 49, 'x');
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    tavel::WriteDataFile(series, path);
    write.Add(Seconds(start));

    start = std::chrono::steady_clock::now();
    series.ReadGrid();
    readGridSeconds = Seconds(start);

    start = std::chrono::steady_clock::now();
    tavel::WriteFileAtomically(dir + "/bench_plain.tmp", sample);
    plain.Add(Seconds(start));
    std::remove((dir + "/bench_plain.tmp").c_str());
  }
  std::printf(
      "write %d rows: WriteDataFile %.3f s (slowest %.3f), limit 0.5 s %s; of which ReadGrid "
      "~%.3f s and the atomic write (with fsync) of the same bytes %.3f s (slowest %.3f)\n",
      kLines, write.best, write.worst, write.best <= 0.5 ? "OK" : "SLOW", readGridSeconds,
      plain.best, plain.worst);
  std::remove(path.c_str());
}

// The fast token path against the general parser on the tokens of a written file.
void ParseSpeed() {
  Values values;
  std::vector<std::string> tokens;
  tokens.reserve(1'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    tokens.push_back(tavel::FormatDataFileNumber(values.Next()).substr(1));
  }
  Real sum = 0;
  auto start = std::chrono::steady_clock::now();
  for (const auto& t : tokens) sum += *tavel::ParseNumber(t);
  const double general = Seconds(start);
  start = std::chrono::steady_clock::now();
  for (const auto& t : tokens) sum -= *tavel::ParseDataFileNumber(t);
  const double fast = Seconds(start);
  std::vector<Real> numbers(1'000'000);
  for (Real& n : numbers) n = values.Next();
  start = std::chrono::steady_clock::now();
  char buffer[32];
  for (const Real n : numbers) {
    tavel::FormatDataFileNumber(n, buffer);
    sum += buffer[3];
  }
  const double format = Seconds(start);
  std::printf(
      "per token: ParseNumber %.0f ns, ParseDataFileNumber %.0f ns; FormatDataFileNumber %.0f ns "
      "(checksum %g)\n",
      general * 1000, fast * 1000, format * 1000, static_cast<double>(sum));
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = "all";
  std::string dir = "/tmp";
  if (argc > 1 && (std::strcmp(argv[1], "open1") == 0 || std::strcmp(argv[1], "open3") == 0 ||
                   std::strcmp(argv[1], "write") == 0 || std::strcmp(argv[1], "all") == 0)) {
    mode = argv[1];
    if (argc > 2) dir = argv[2];
  } else if (argc > 1) {
    dir = argv[1];
  }
  if (mode == "all" || mode == "open1") {
    const std::string one = Prepare(dir, 1);
    Open(one, 1, 0.5, true);
  }
  if (mode == "all" || mode == "open3") {
    const std::string three = Prepare(dir, 3);
    Open(three, 3, 1.2, false);
  }
  if (mode == "all" || mode == "write") Write(dir);
  if (mode == "all") ParseSpeed();
  return 0;
}
