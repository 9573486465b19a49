#pragma once

#include "ui/app/command_host.h"

class QImage;
class QWidget;
class QPrinter;

namespace tavel {

// What the graph window needs from its frame. Its menus hand every command that is not about
// its own picture on to here; the dialog commands carry the same names as the data window's
// (DataWindowHost), so one frame method serves both windows.
//
// The window reports its own destruction (GraphWindowDestroyed) from its destructor: a frame
// that is itself being destroyed must take the graph window down first, while it can still be
// called, and ignore the report then.
class GraphHost : public virtual CommandHost {
 public:
  // The frame's Closing flag: windows taken down with the frame redraw nothing.
  virtual bool FrameClosing() const = 0;
  // The program's one off-screen graph image (GraphBitmap), which a redraw may recreate when
  // the screen's width class changed.
  virtual QImage& GraphImage() = 0;
  // The system menu-bar height: the drawing area is the window less twice that height.
  virtual int MenuBarHeight() const = 0;
  // Whether the condensed scale-number font is installed (found at start-up).
  virtual bool CondensedFontAvailable() const = 0;
  // The printer kept for the whole run, so "P&rint Setup..." choices hold for the next print.
  virtual QPrinter& Printer() = 0;

  // The graph window is being destroyed (its placement is already stored in the settings):
  // forget it, unless a newer graph window has taken its place meanwhile (a window closed
  // goes only when the event loop next runs, and a graph file load makes the new one at once).
  virtual void GraphWindowDestroyed(QWidget* window) = 0;
};

}  // namespace tavel
