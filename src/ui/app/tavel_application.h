#pragma once

#include <QApplication>

namespace tavel {

class Prompts;

// The application object. Every event of every window passes through notify, which makes it
// the one place where what a command throws is caught: the text goes to the general error
// report and the program goes on with the next event. The command's own guards have put back
// what it had changed by then.
class TavelApplication : public QApplication {
 public:
  TavelApplication(int& argc, char** argv);

  // Where errors are reported; null reports nothing (the error is still caught).
  void SetErrorReport(Prompts* prompts) { report_ = prompts; }
  Prompts* ErrorReport() const { return report_; }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void Report(const char* text);

  Prompts* report_ = nullptr;
  // A report shown from inside a failed report would nest without end.
  bool reporting_ = false;
};

// The running application as a TavelApplication; null under a plain QApplication.
TavelApplication* RunningApplication();

}  // namespace tavel
