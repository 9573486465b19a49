#pragma once

#include <string>

namespace tavel {

// The system clipboard, plain text only. Texts are UTF-8; line ends are written as the
// caller made them (cell blocks use CR LF).
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void SetText(const std::string& text) = 0;
  // "" when the clipboard holds no text.
  virtual std::string GetText() = 0;
};

}  // namespace tavel
