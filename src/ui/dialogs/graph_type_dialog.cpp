#include "ui/dialogs/graph_type_dialog.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TGTypeF::TGTypeF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Graph Type Dialog");
  SetHelpContext(this, 600);
}

}  // namespace tavel
