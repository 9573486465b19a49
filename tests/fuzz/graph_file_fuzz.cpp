// libFuzzer target for the graph file reader: the input is written to a file and read into a
// fresh workspace. Beyond "no crash, no hang, no sanitizer report" it holds the reader to two
// promises: a refused file changes nothing, and a file that was read, written again and read
// once more gives the very same text (nothing read is lost or altered by a round trip).

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "core/files/graph_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"
#include "fuzz_input.h"

using tavel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!tavel::fuzz::WriteInput(data, size)) return 0;
  const std::string& path = tavel::fuzz::InputPath();
  tavel::QuietPrompts prompts;
  tavel::Workspace workspace(prompts);
  const tavel::GraphFileReadResult result = tavel::ReadGraphFile(workspace, path);
  Check(workspace.Settings.GraphLoadFailed == !result.ok);
  if (!result.ok) {
    Check(workspace.DataWindows.empty());
    Check(workspace.Settings.GraphFileName == "NoName.gra");
    return 0;
  }
  Check(workspace.Settings.GraphFileName == path);
  for (std::size_t i = 1; i < workspace.DataWindows.size(); ++i) {
    Check(workspace.DataWindows[i - 1]->SeriesNumber < workspace.DataWindows[i]->SeriesNumber);
  }

  const std::string text = tavel::GraphFileText(workspace);
  auto again = tavel::ParseGraphFileText(text);
  Check(again.has_value());
  tavel::Workspace second(prompts);
  tavel::ApplyGraphFile(second, std::move(*again), path);
  Check(tavel::GraphFileText(second) == text);
  return 0;
}
