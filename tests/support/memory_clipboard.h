#pragma once

#include <string>

#include "core/platform/clipboard.h"

namespace tavel::testing {

// The clipboard as a plain string, for tests without a screen.
class MemoryClipboard : public Clipboard {
 public:
  std::string text;
  void SetText(const std::string& t) override { text = t; }
  std::string GetText() override { return text; }
};

}  // namespace tavel::testing
