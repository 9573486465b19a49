#pragma once

class QKeyEvent;
class QPushButton;
class QWidget;

namespace tavel {

// Puts the dialog's bottom-right corner `inset` pixels inside the frame window's.
void MoveIntoFrameCorner(QWidget* dialog, int inset);

// Escape stands for "Cancel"; once an action has hidden that button there is nothing to
// cancel, and the key is swallowed. True when the key was taken.
bool SwallowEscapeWithoutCancel(QKeyEvent* event, const QPushButton* cancel);

}  // namespace tavel
