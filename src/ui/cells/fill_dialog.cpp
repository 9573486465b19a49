#include "ui/cells/fill_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TFillF::TFillF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Math Fill Cells");
  SetHelpContext(this, 1140);
}

}  // namespace tavel
