#include "ui/scale/scale_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TScaleF::TScaleF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Scale  Dialog");
  SetHelpContext(this, 1500);
}

}  // namespace tavel
