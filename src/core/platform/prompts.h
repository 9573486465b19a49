#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavel {

// One choice of a file dialog's filter list, "Data files (*.prn)" with its patterns "*.prn".
struct FileFilter {
  std::string name;
  std::string patterns;  // blank-separated, "*.prn *.PRN"
};

struct FileDialogOptions {
  std::string title;
  std::vector<FileFilter> filters;
  // 1-based, as the dialogs count them. The open dialog writes back the filter the
  // user left selected, so a kept options object also remembers it for the next time.
  int filterIndex = 1;
  std::string defaultExtension;   // without the dot: "prn"
  std::string fileName;           // initial name or path
  int helpContext = 0;            // the topic F1 shows while the dialog is open; 0 none
};

enum class Answer { Yes, No, Cancel, Abort };

// Everything core and the windows need from the user's side of the screen: the beep, message
// boxes, file dialogs and help. The Qt implementation shows real boxes; tests script the
// answers and record what was shown.
class Prompts {
 public:
  virtual ~Prompts() = default;

  virtual void Beep() = 0;
  // Error box with OK: limits, "has an incompatible format.".
  virtual void ErrorBox(const std::string& text) = 0;
  // Warning box with Yes and Abort: true for Yes.
  virtual bool AskYesAbort(const std::string& text) = 0;
  // Warning box with Yes and No: true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // Confirmation box with Yes, No and Cancel.
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // The application's one general error report for unexpected run-time errors; shows the
  // system's error text and the program goes on.
  virtual void ReportError(const std::string& systemText) = 0;
  // File dialogs: the chosen path, or nothing when cancelled. The open dialog also reports the
  // filter chosen: what the file is opened as depends on it.
  virtual std::optional<std::string> OpenFileName(FileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFileName(const FileDialogOptions& options) = 0;
  // The help topic of a help context number.
  virtual void ShowHelp(int context) = 0;
};

}  // namespace tavel
