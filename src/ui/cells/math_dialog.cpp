#include "ui/cells/math_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TMathF::TMathF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Math Operations on Cells");
  SetHelpContext(this, 1120);
}

}  // namespace tavel
