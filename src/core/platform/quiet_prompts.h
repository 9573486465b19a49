#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "core/platform/prompts.h"

namespace tavel {

// Prompts for work without a screen (the command line, benchmarks): no beep, every question
// answered the way that changes nothing, every file dialog cancelled. Message boxes and error
// reports become lines on `messages`, each after `prefix`, when a stream is given.
class QuietPrompts : public Prompts {
 public:
  QuietPrompts() = default;
  explicit QuietPrompts(std::ostream& messages, std::string prefix = {})
      : messages_(&messages), prefix_(std::move(prefix)) {}

  void Beep() override {}
  void ErrorBox(const std::string& text) override { Write(text); }
  bool AskYesAbort(const std::string&) override { return false; }
  bool AskYesNo(const std::string&) override { return false; }
  Answer AskYesNoCancel(const std::string&) override { return Answer::Cancel; }
  void ReportError(const std::string& systemText) override { Write(systemText); }
  std::optional<std::string> OpenFileName(FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileDialogOptions&) override {
    return std::nullopt;
  }
  void ShowHelp(int) override {}

 private:
  void Write(const std::string& text) {
    if (messages_ != nullptr) *messages_ << prefix_ << text << '\n';
  }

  std::ostream* messages_ = nullptr;
  std::string prefix_;
};

}  // namespace tavel
