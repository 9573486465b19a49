#include "core/files/save_as.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace tavel {

std::string SaveAsRequest::OverwriteQuestion(const std::string& path) {
  return "The File  " + path + "  already exists overwrite it?";
}

SaveResult SaveAs(Prompts& prompts, const SaveAsRequest& request,
                  const std::function<void(const std::string& path)>& write) {
  FileDialogOptions dialog = request.dialog;
  for (;;) {
    const auto chosen = prompts.SaveFileName(dialog);
    if (!chosen) return SaveResult::Cancelled;
    const std::string& path = *chosen;
    std::error_code error;
    // The name compares as text: another spelling of the same file is asked about.
    if (std::filesystem::exists(path, error) &&
        (request.ownName.empty() || path != request.ownName)) {
      prompts.Beep();
      if (!prompts.AskYesNo(request.question(path))) {
        if (request.reopenWithChosenName) dialog.fileName = path;
        continue;
      }
    }
    try {
      write(path);
      return SaveResult::Saved;
    } catch (const std::exception& e) {
      prompts.ReportError(e.what());
      return SaveResult::Failed;
    }
  }
}

}  // namespace tavel
