// libFuzzer target for pasting clipboard text into a data window. The first two bytes choose
// the start cell (rows 0..19 of a 16-row series, columns 0..4, so starts outside the grid are
// tried too); the rest is the clipboard's text. Beyond "no crash, no hang, no sanitizer
// report": the grid only grows, and no further than a row per line of the text, and nothing is
// pasted into the Fit column.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/cells/clipboard_text.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "fuzz_input.h"

using tavel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  constexpr std::int32_t kRows = 16;
  tavel::QuietPrompts prompts;
  tavel::Workspace workspace(prompts);
  workspace.Settings.NextDataSize = kRows;
  tavel::Series& series = workspace.CreateSeries();
  const tavel::GridCell start{data[0] % 20, data[1] % 5};
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  tavel::PasteCells(series, text, start);
  const std::int64_t most = std::max<std::int64_t>(kRows, start.row + std::int64_t(text.size()));
  Check(series.MaxIndex == series.Cells.RowCount() && series.MaxIndex >= kRows &&
        series.MaxIndex <= most);
  for (std::int32_t row = 1; row <= series.MaxIndex; ++row) {
    Check(series.Cells.IsEmpty(row, tavel::kFitColumn));
  }
  return 0;
}
