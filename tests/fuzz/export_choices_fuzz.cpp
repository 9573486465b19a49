// libFuzzer target for the file that keeps the export choices: whatever it holds, reading gives
// nothing or choices whose sizes are above zero and finite, and those written out read back
// the same.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/files/export_choices.h"
#include "fuzz_input.h"

using tavel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto choices = tavel::ParseExportChoices(text);
  if (!choices) return 0;
  Check(std::isfinite(choices->width) && choices->width > 0);
  Check(std::isfinite(choices->height) && choices->height > 0);
  Check(choices->dpi >= 1);
  Check(tavel::ParseExportChoices(tavel::ExportChoicesText(*choices)) == choices);
  return 0;
}
