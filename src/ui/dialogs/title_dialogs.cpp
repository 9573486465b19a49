#include "ui/dialogs/title_dialogs.h"

#include "ui/app/help_viewer.h"

namespace tavel {

TTitleTF::TTitleTF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Main Title  Dialog");
  SetHelpContext(this, 900);
}

TTitleXF::TTitleXF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("X Axis Title  Dialog");
  SetHelpContext(this, 900);
}

TTitleYF::TTitleYF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Y Axis Title  Dialog");
  SetHelpContext(this, 900);
}

TTitleSerF::TTitleSerF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Series Title  Dialog");
  SetHelpContext(this, 900);
}

TTitleFlF::TTitleFlF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Floating Titles Dialog");
  SetHelpContext(this, 900);
}

}  // namespace tavel
