#include "ui/app/tavel_application.h"

#include <exception>
#include <new>

#include "core/platform/prompts.h"

namespace tavel {

TavelApplication::TavelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

TavelApplication* RunningApplication() {
  return dynamic_cast<TavelApplication*>(QCoreApplication::instance());
}

bool TavelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    Report("Out of memory: there is not enough memory for this command.");
  } catch (const std::exception& e) {
    Report(e.what());
  } catch (...) {
    Report("An unexpected error stopped the command.");
  }
  return false;
}

void TavelApplication::Report(const char* text) {
  if (report_ == nullptr || reporting_) return;
  reporting_ = true;
  try {
    report_->ReportError(text);
  } catch (...) {
  }
  reporting_ = false;
}

}  // namespace tavel
