// libFuzzer target for the CSV reader: the input is opened as a ".csv" file into a workspace
// that already holds one series. Beyond "no crash, no hang, no sanitizer report": the new
// series are sorted and within the limit, every one has a row per record, and a series that
// was read and written as CSV reads back with a row for every row that held a number.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/files/csv_file.h"
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

  const tavel::CsvOpenResult result = tavel::OpenCsvFile(workspace, tavel::fuzz::InputPath());
  tavel::fuzz::CheckCreatedSeries(workspace, result);
  if (result.failed || result.created.empty()) return 0;

  tavel::Series& first = *result.created.front();
  const std::string saved = tavel::fuzz::InputPath() + ".saved.csv";
  tavel::WriteCsvFile(first, saved);
  tavel::Workspace second(prompts);
  const tavel::CsvOpenResult reread = tavel::OpenCsvFile(second, saved);
  Check(!reread.failed);
  // Every row that held a number comes back as a row (values may round in their last digit).
  std::int32_t filled = 0;
  for (std::int32_t r = 1; r <= first.Cells.RowCount(); ++r) {
    filled += !first.Cells.Text(r, tavel::kXColumn).empty() ||
              !first.Cells.Text(r, tavel::kYColumn).empty();
  }
  const std::int32_t back = reread.created.empty() ? 0 : reread.created.front()->Cells.RowCount();
  Check(back == filled);
  std::remove(saved.c_str());
  return 0;
}
