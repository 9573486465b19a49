#include "ui/app/mdi_child.h"

#include <QMdiSubWindow>

#include "ui/app/help_viewer.h"

namespace tavel {

QMdiSubWindow* NewChildSubWindow(QWidget* child, int helpContext,
                                 const std::function<void()>& activated) {
  auto* sub = new QMdiSubWindow;
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWidget(child);
  sub->setWindowTitle(child->windowTitle());
  SetHelpContext(sub, helpContext);
  QObject::connect(sub, &QMdiSubWindow::windowStateChanged, child,
                   [activated](Qt::WindowStates before, Qt::WindowStates now) {
                     if ((now & Qt::WindowActive) && !(before & Qt::WindowActive)) activated();
                   });
  return sub;
}

QMdiSubWindow* SubWindowOf(const QWidget* child) {
  return qobject_cast<QMdiSubWindow*>(child->parentWidget());
}

void CloseChild(QWidget* child) {
  if (QMdiSubWindow* sub = SubWindowOf(child)) {
    sub->close();
  } else {
    child->close();
  }
}

}  // namespace tavel
