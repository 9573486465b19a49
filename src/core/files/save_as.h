#pragma once

#include <functional>
#include <string>

#include "core/platform/prompts.h"

namespace tavel {

// The save dialog every "Save" command goes through: the dialog, the overwrite question for a
// file that exists, "No" opening the dialog again, and the write.
struct SaveAsRequest {
  FileDialogOptions dialog;
  // The name the document already has: choosing it writes without a question. Empty when
  // every existing file is asked about.
  std::string ownName;
  // The question for an existing file, given its path.
  std::function<std::string(const std::string& path)> question = OverwriteQuestion;
  // After "No" the dialog shows the name just chosen instead of the first one.
  bool reopenWithChosenName = false;

  // "The File  " + path + "  already exists overwrite it?"
  static std::string OverwriteQuestion(const std::string& path);
};

enum class SaveResult { Saved, Cancelled, Failed };

// `write` writes the chosen path and throws (FileWriteError or another std::exception) when it
// cannot; the text goes to prompts.ReportError and the result is Failed.
SaveResult SaveAs(Prompts& prompts, const SaveAsRequest& request,
                  const std::function<void(const std::string& path)>& write);

}  // namespace tavel
