// CSV and plain-text speed: a 1,000,000-row two-column CSV file and a ".dat" file of the same
// text as the ".prn" file, against that ".prn", each opened nine times in turn, on two shapes of
// data; the medians and their ratios. Target: each within 20% of the ".prn".
//
//   csv_bench [dir]     files generated in dir (default /tmp)

#include <algorithm>
#include <cmath>
#include <random>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/files/csv_file.h"
#include "core/files/data_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"

namespace {

constexpr int kRows = 1'000'000;

constexpr int kRuns = 9;

double OpenSeconds(const std::function<void(tavel::Workspace&)>& open) {
  tavel::QuietPrompts prompts;
  tavel::Workspace workspace(prompts);
  const auto start = std::chrono::steady_clock::now();
  open(workspace);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  workspace.DestroyAllSeries();
  return seconds;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "/tmp";
  const std::string csv = dir + "/tavel_bench.csv";
  const std::string prn = dir + "/tavel_bench.prn";
  const std::string dat = dir + "/tavel_bench.dat";
  // Two shapes: a slow wave in the program's own number form, and a noisy signal with shuffled
  // X written short, as other programs write it.
  for (const bool noisy : {false, true}) {
    {
      std::ofstream c(csv, std::ios::binary), p(prn, std::ios::binary), d(dat, std::ios::binary);
      c << "time,value\r\n";
      std::mt19937 random(5);
      char line[128];
      for (int i = 0; i < kRows; ++i) {
        const double x = noisy ? static_cast<double>(random() % kRows) : i * 0.001;
        const double y = noisy ? std::sin(i * 0.0007) + (random() % 1000) * 1e-5
                               : (i % 977) * 1.25 - 300.5;
        std::snprintf(line, sizeof line, "%.17g,%.17g\r\n", x, y);
        c << line;
        if (noisy) {
          std::snprintf(line, sizeof line, "%.9g %.6g\n", x, y);
        } else {
          std::snprintf(line, sizeof line, "%s %s\r\n", tavel::FormatDataFileNumber(x).c_str(),
                        tavel::FormatDataFileNumber(y).c_str());
        }
        p << line;
        d << line;
      }
    }
    // The readers take turns, so a burst of load on a shared machine strikes all.
    std::vector<double> csvTimes, prnTimes, datTimes;
    for (int run = 0; run < kRuns; ++run) {
      csvTimes.push_back(OpenSeconds([&](tavel::Workspace& w) { tavel::OpenCsvFile(w, csv); }));
      prnTimes.push_back(OpenSeconds([&](tavel::Workspace& w) { tavel::OpenDataFile(w, prn); }));
      datTimes.push_back(
          OpenSeconds([&](tavel::Workspace& w) { tavel::OpenDataFileByName(w, dat); }));
    }
    const double csvSeconds = Median(csvTimes);
    const double prnSeconds = Median(prnTimes);
    const double datSeconds = Median(datTimes);
    std::printf("open 1,000,000 rows, %s: csv %.3f s, dat %.3f s, prn %.3f s; csv/prn %.2f, "
                "dat/prn %.2f (targets <= 1.20)\n",
                noisy ? "noisy, shuffled" : "slow wave", csvSeconds, datSeconds, prnSeconds,
                csvSeconds / prnSeconds, datSeconds / prnSeconds);
  }
  for (const std::string* file : {&csv, &prn, &dat}) std::remove(file->c_str());
  return 0;
}
