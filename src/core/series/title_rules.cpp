#include "core/series/title_rules.h"

#include <algorithm>

#include "core/series/number_text.h"
#include "core/series/workspace.h"

namespace tavel {

std::optional<std::string> AutoLabelSeries(Workspace& workspace, std::int32_t activeNumber,
                                           const std::string& text, AutoLabel kind) {
  const std::string number = std::to_string(activeNumber);
  if (kind == AutoLabel::TextWithNumbers || kind == AutoLabel::TextOnly) {
    if (text.empty()) return std::nullopt;
    const std::string mark = "#" + number;
    const std::size_t tail = std::min(text.size(), mark.size());
    if (text.compare(text.size() - tail, tail, mark) == 0) return std::nullopt;
  }
  std::string prefix;
  bool numbered = true;
  switch (kind) {
    case AutoLabel::SeriesNumbers:
      prefix = "Series #";
      break;
    case AutoLabel::TextWithNumbers:
      prefix = text + " #";
      break;
    case AutoLabel::TextOnly:
      prefix = text;
      numbered = false;
      break;
    case AutoLabel::Clear:
      numbered = false;
      break;
  }
  for (Series* series : workspace.DataWindows) {
    series->SeriesTitle = numbered ? prefix + std::to_string(series->SeriesNumber) : prefix;
  }
  return numbered ? prefix + number : prefix;
}

Real ReadFloatPosition(std::string_view text, Real old, bool* refused) {
  *refused = false;
  if (text.find_first_not_of(' ') == std::string_view::npos) return 0;
  if (const auto value = ParseNumber(NormalizeDecimalPoint(text))) return *value;
  *refused = true;
  return old;
}

}  // namespace tavel
