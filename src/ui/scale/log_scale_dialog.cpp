#include "ui/scale/log_scale_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TLogScaleF::TLogScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Log Scale  Dialog");
  SetHelpContext(this, 1000);
}

}  // namespace tavel
