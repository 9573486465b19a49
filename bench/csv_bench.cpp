// CSV and plain-text speed: a 1,000,000-row two-column CSV file and a ".dat" file of the same
// text as the ".prn" file, against that ".prn", each opened nine times in turn; the medians and
// their ratios. Target: each within 20% of the ".prn".
//
//   csv_bench [dir]     files generated in dir (default /tmp)

#include <algorithm>
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
  {
    std::ofstream c(csv, std::ios::binary), p(prn, std::ios::binary), d(dat, std::ios::binary);
    c << "time,value\r\n";
    char line[128];
    for (int i = 0; i < kRows; ++i) {
      const double x = i * 0.001;
      const double y = (i % 977) * 1.25 - 300.5;
      std::snprintf(line, sizeof line, "%.17g,%.17g\r\n", x, y);
      c << line;
      const std::string row =
          tavel::FormatDataFileNumber(x) + ' ' + tavel::FormatDataFileNumber(y) + "\r\n";
      p << row;
      d << row;
    }
  }
  // The two readers take turns, so a burst of load on a shared machine strikes both.
  std::vector<double> csvTimes, prnTimes, datTimes;
  for (int run = 0; run < kRuns; ++run) {
    csvTimes.push_back(OpenSeconds([&](tavel::Workspace& w) { tavel::OpenCsvFile(w, csv); }));
    prnTimes.push_back(OpenSeconds([&](tavel::Workspace& w) { tavel::OpenDataFile(w, prn); }));
    datTimes.push_back(OpenSeconds([&](tavel::Workspace& w) { tavel::OpenDataFileByName(w, dat); }));
  }
  const double csvSeconds = Median(csvTimes);
  const double prnSeconds = Median(prnTimes);
  const double datSeconds = Median(datTimes);
  std::printf("open 1,000,000 rows: csv %.3f s, dat %.3f s, prn %.3f s; csv/prn %.2f, dat/prn %.2f"
              " (targets <= 1.20)\n",
              csvSeconds, datSeconds, prnSeconds, csvSeconds / prnSeconds, datSeconds / prnSeconds);
  for (const std::string* file : {&csv, &prn, &dat}) std::remove(file->c_str());
  return 0;
}
