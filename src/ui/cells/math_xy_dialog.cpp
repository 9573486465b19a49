#include "ui/cells/math_xy_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TMath_XYF::TMath_XYF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Math X & Y Operations");
  SetHelpContext(this, 1160);
}

}  // namespace tavel
