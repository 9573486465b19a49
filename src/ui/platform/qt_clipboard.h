#pragma once

#include "core/platform/clipboard.h"

namespace tavel {

// The system clipboard through QClipboard, plain text only.
class QtClipboard : public Clipboard {
 public:
  void SetText(const std::string& text) override;
  std::string GetText() override;
};

}  // namespace tavel
