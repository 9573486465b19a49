#include "ui/fit/fit_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TFitF::TFitF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Regression Fit Dialog");
  SetHelpContext(this, 1400);
}

}  // namespace tavel
