#include "ui/dialogs/printer_color_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TPrintCF::TPrintCF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Printer Color  Dialog");
  SetHelpContext(this, 1300);
}

}  // namespace tavel
