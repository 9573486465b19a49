#pragma once

#include <QList>
#include <QPair>
#include <functional>

class QMdiSubWindow;
class QMenu;
class QWidget;

namespace tavel {

// What kind of child window the frame's per-series commands see as active.
enum class ChildClass { None, DataWindow, TextWindow, GraphWindow };

// A menu of a child window and its group index. While the child is active, its menus join the
// frame's menu bar ordered by group index; a child menu with the same index as one of the
// frame's takes that menu's place.
using MenuGroup = QPair<int, QMenu*>;

// Implemented by every child window of the frame (by the widget inside the sub-window or by
// the sub-window itself), so the frame can tell data, text and graph windows apart and merge
// their menus.
class MdiChild {
 public:
  virtual ~MdiChild() = default;
  virtual ChildClass Class() const = 0;
  virtual QList<MenuGroup> MenuGroups() const { return {}; }
};

// The frame's sub-window around a child: deleted when closed, titled and with the help context
// of the child, and `activated` run each time it becomes the active child.
QMdiSubWindow* NewChildSubWindow(QWidget* child, int helpContext,
                                 const std::function<void()>& activated);

// The sub-window around a child; null while it stands alone (as in tests).
QMdiSubWindow* SubWindowOf(const QWidget* child);

// Closes the child's sub-window, or the child itself when it has none; the child's close
// handling asks its questions either way.
void CloseChild(QWidget* child);

}  // namespace tavel
