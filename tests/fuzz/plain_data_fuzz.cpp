// libFuzzer target for the plain-text data reader: the input is opened as a data file of no
// known name into a workspace that already holds one series. Beyond "no crash, no hang, no
// sanitizer report": the new series keep the reader's promises, and reading the text in two
// parts at once, with room for its rows or not, gives exactly the series and the notes of one
// reading.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/files/plain_data_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "fuzz_input.h"

using tavel::fuzz::Check;

namespace {

std::vector<std::string> Cells(const tavel::CsvOpenResult& result) {
  std::vector<std::string> cells;
  for (const tavel::Series* s : result.created) {
    cells.push_back(s->SeriesTitle);
    for (std::int32_t r = 1; r <= s->Cells.RowCount(); ++r) {
      cells.push_back(s->Cells.Text(r, tavel::kXColumn) + "|" + s->Cells.Text(r, tavel::kYColumn));
    }
  }
  return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!tavel::fuzz::WriteInput(data, size)) return 0;
  tavel::QuietPrompts prompts;
  tavel::Workspace one(prompts), two(prompts);
  one.Settings.NextDataSize = two.Settings.NextDataSize = 3;
  one.CreateSeries();
  two.CreateSeries();

  const tavel::CsvOpenResult whole = tavel::OpenPlainDataFile(one, tavel::fuzz::InputPath());
  tavel::fuzz::CheckCreatedSeries(one, whole);
  tavel::testing_hooks::PlainTextTwoPartBytes = 1;
  // Every other input gives the parts too little room, so that their rows outgrow it.
  tavel::testing_hooks::PlainTextRoomRows = size % 2 == 0 ? 0 : 1 + size % 5;
  const tavel::CsvOpenResult parts = tavel::OpenPlainDataFile(two, tavel::fuzz::InputPath());
  tavel::testing_hooks::PlainTextTwoPartBytes = 1 << 20;
  tavel::testing_hooks::PlainTextRoomRows = 0;
  Check(parts.failed == whole.failed && Cells(parts) == Cells(whole));
  Check(tavel::ReadingNotes(parts, "f") == tavel::ReadingNotes(whole, "f"));
  return 0;
}
