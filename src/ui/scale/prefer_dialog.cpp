#include "ui/scale/prefer_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TPreferF::TPreferF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Perferences  Dialog");
  SetHelpContext(this, 1200);
}

}  // namespace tavel
