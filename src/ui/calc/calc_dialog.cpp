#include "ui/calc/calc_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TCalcF::TCalcF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Tavel RPN Calculator");
  SetHelpContext(this, 150);
}

}  // namespace tavel
