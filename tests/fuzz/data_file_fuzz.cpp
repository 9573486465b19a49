// libFuzzer target for the data file reader: the input is opened as a ".prn" file into a
// workspace that already holds one series, so the series limit is reached by 21 columns.
// Beyond "no crash, no hang, no sanitizer report": the new series are numbered, sorted and
// within the limit, every one has a row per line of the file, and a file that failed leaves at
// most the new series the caller is to close. A series that was read and saved reads back to
// the very same file when it is saved again. A file of one series read in one pass, cut in two,
// gives the counting pass's shape and the counted reading's rows.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "core/files/data_file.h"
#include "core/files/narrow_read.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "fuzz_input.h"

using tavel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!tavel::fuzz::WriteInput(data, size)) return 0;
  tavel::QuietPrompts prompts;
  tavel::Workspace workspace(prompts);
  workspace.Settings.NextDataSize = 3;
  workspace.CreateSeries();

  if (const auto narrow = tavel::ReadNarrowDataFile(tavel::fuzz::InputPath(), 0)) {
    const auto layout = tavel::MeasureDataFile(tavel::fuzz::InputPath());
    Check(layout && layout->shape.lines == narrow->shape.lines &&
          layout->shape.maxTokens == narrow->shape.maxTokens);
    const auto rows = static_cast<std::int32_t>(narrow->shape.lines);
    tavel::Workspace counted(prompts);
    counted.Settings.NextDataSize = rows;
    tavel::Series& series = counted.CreateSeries();
    Check(tavel::ReadDataFile(tavel::fuzz::InputPath(), {&series}, rows, *layout));
    for (std::int32_t r = 0; r < rows; ++r) {
      const tavel::Tdata& a = narrow->rows[static_cast<std::size_t>(r)];
      const tavel::Tdata& b = series.Points[static_cast<std::size_t>(r)];
      Check(std::memcmp(&a.X, &b.X, 10) == 0 && std::memcmp(&a.Y, &b.Y, 10) == 0 &&
            a.XValid == b.XValid && a.YValid == b.YValid);
    }
  }

  const tavel::DataFileOpenResult result = tavel::OpenDataFile(workspace, tavel::fuzz::InputPath());
  tavel::fuzz::CheckCreatedSeries(workspace, result);
  for (std::size_t i = 1; i < workspace.DataWindows.size(); ++i) {
    Check(workspace.DataWindows[i - 1]->SeriesNumber < workspace.DataWindows[i]->SeriesNumber);
  }
  for (const tavel::Series* series : result.created) {
    Check(series->MaxIndex == result.created.front()->MaxIndex);
  }
  if (result.failed || result.created.empty()) return 0;

  const std::string saved = tavel::fuzz::InputPath() + ".saved.prn";
  const std::string again = tavel::fuzz::InputPath() + ".again.prn";
  tavel::WriteDataFile(*result.created.front(), saved);
  tavel::Workspace second(prompts);
  const tavel::DataFileOpenResult reread = tavel::OpenDataFile(second, saved);
  Check(!reread.failed && reread.created.size() == 1);
  tavel::WriteDataFile(*reread.created.front(), again);
  const auto text = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  Check(text(saved) == text(again));
  std::remove(saved.c_str());
  std::remove(again.c_str());
  return 0;
}
