#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/prompts.h"

namespace tavel::testing {

// Prompts for tests: records every beep and message, answers questions and file dialogs from
// queues. An unscripted question answers No/Abort/Cancel and an unscripted dialog is cancelled,
// so a test that forgets to script one sees the cautious path. An open dialog leaves the filter
// it was given unless chosenFilters holds the one the user picks.
class ScriptedPrompts : public Prompts {
 public:
  int beeps = 0;
  std::vector<std::string> errors;     // ErrorBox texts
  std::vector<std::string> questions;  // every question asked, in order
  std::vector<std::string> reports;    // ReportError texts
  std::vector<int> helpTopics;
  std::vector<FileDialogOptions> dialogs;  // as each dialog was opened

  std::deque<Answer> answers;
  std::deque<std::optional<std::string>> fileNames;
  std::deque<int> chosenFilters;  // 1-based, for open dialogs

  void Beep() override { ++beeps; }
  void ErrorBox(const std::string& text) override { errors.push_back(text); }
  bool AskYesAbort(const std::string& text) override {
    return Next(text, Answer::Abort) == Answer::Yes;
  }
  bool AskYesNo(const std::string& text) override { return Next(text, Answer::No) == Answer::Yes; }
  Answer AskYesNoCancel(const std::string& text) override { return Next(text, Answer::Cancel); }
  void ReportError(const std::string& text) override { reports.push_back(text); }
  std::optional<std::string> OpenFileName(FileDialogOptions& options) override {
    auto name = NextFile(options);
    if (!chosenFilters.empty()) {
      options.filterIndex = chosenFilters.front();
      chosenFilters.pop_front();
    }
    return name;
  }
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override {
    return NextFile(options);
  }
  void ShowHelp(int context) override { helpTopics.push_back(context); }

 private:
  Answer Next(const std::string& text, Answer fallback) {
    questions.push_back(text);
    if (answers.empty()) return fallback;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> NextFile(const FileDialogOptions& options) {
    dialogs.push_back(options);
    if (fileNames.empty()) return std::nullopt;
    auto name = fileNames.front();
    fileNames.pop_front();
    return name;
  }
};

}  // namespace tavel::testing
