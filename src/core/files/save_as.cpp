#include "core/files/save_as.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace tavel {
namespace {

// A relative name from the command line and the dialog's absolute one name the same file, as
// do names through links: the file itself decides, not the spelling.
bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  if (a == b) return true;
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace

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
    if (std::filesystem::exists(path, error) && !SameFile(path, request.ownName)) {
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
