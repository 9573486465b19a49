// libFuzzer target for the recovery file reader. Beyond "no crash, no hang, no sanitizer
// report": a file that was read and restored, written again and read once more, gives the
// very same text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/files/recovery_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"
#include "fuzz_input.h"

using tavel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  auto contents = tavel::ParseRecoveryText(input);
  if (!contents) return 0;
  const std::vector<tavel::RecoveredText> texts = contents->texts;
  tavel::QuietPrompts prompts;
  tavel::Workspace workspace(prompts);
  tavel::ApplyRecovery(workspace, std::move(*contents));
  const std::string text = tavel::RecoveryFileText(workspace, texts);
  auto again = tavel::ParseRecoveryText(text);
  Check(again.has_value());
  tavel::Workspace second(prompts);
  tavel::ApplyRecovery(second, std::move(*again));
  Check(tavel::RecoveryFileText(second, texts) == text);
  return 0;
}
