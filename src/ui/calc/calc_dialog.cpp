#include "ui/calc/calc_dialog.h"

#include <QWindow>

#include "ui/app/help_viewer.h"

namespace tavel {

TCalcF::TCalcF(Workspace& workspace, Prompts& prompts, QWidget* parent)
    : QDialog(parent), workspace_(workspace), prompts_(prompts) {
  setWindowTitle("Tavel RPN Calculator");
  SetHelpContext(this, 150);
}

void TCalcF::ShowOver(QWidget* over) {
  owner_ = over;
  if (!isVisible()) {
    // The owner is set before the window appears, so it never shows as blocked.
    create();
    ApplyOwner();
    show();
  }
  ApplyOwner();
  raise();
  activateWindow();
}

void TCalcF::SetOwner(QWidget* over) {
  owner_ = over;
  ApplyOwner();
}

void TCalcF::OwnerClosed(QWidget* over) {
  if (owner_ != over) return;
  owner_ = nullptr;
  ApplyOwner();
}

void TCalcF::ApplyOwner() {
  QWidget* owner = owner_ && owner_->isVisible() ? owner_.data() : parentWidget();
  QWindow* own = windowHandle();
  QWindow* ownerWindow = owner != nullptr ? owner->window()->windowHandle() : nullptr;
  if (own != nullptr && own->transientParent() != ownerWindow) own->setTransientParent(ownerWindow);
}

}  // namespace tavel
