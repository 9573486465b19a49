#include "ui/scale/grid_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TGridF::TGridF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Grid  Dialog");
  SetHelpContext(this, 700);
}

}  // namespace tavel
