#pragma once

class QImage;
class QPrinter;

namespace tavel {

// What the graph window needs from its frame. Its menus hand every command that is not about
// its own picture on to here; the dialog commands carry the same names as the data window's
// (DataWindowHost), so one frame method serves both windows.
//
// The window reports its own destruction (GraphWindowDestroyed) from its destructor: a frame
// that is itself being destroyed must take the graph window down first, while it can still be
// called, and ignore the report then.
class GraphHost {
 public:
  virtual ~GraphHost() = default;

  // The frame's own commands.
  virtual void NewData() = 0;
  virtual void NewText() = 0;
  virtual void Open() = 0;
  virtual void Exit() = 0;
  // ActiveChild := the frame's active child window, with its class.
  virtual void TrackActiveChild() = 0;
  // "Print &Data": every open series, through the first data window.
  virtual void PrintData() = 0;

  // The dialogs of the "&Graph" menu and the context menu. Each shows its dialog modally and
  // then redraws the graph window, whatever button closed the dialog. The per-series ones
  // (graph type, fit, series title) run the "Next" loop from the lowest series number in use
  // and bring the graph window back to the front before that redraw. A dialog that does not
  // exist yet does nothing.
  virtual void ShowScaleDialog() = 0;
  virtual void ShowGridDialog() = 0;
  virtual void ShowLogScaleDialog() = 0;
  virtual void ShowGraphTypeDialog() = 0;
  virtual void ShowFitDialog() = 0;
  virtual void ShowMainTitleDialog() = 0;
  virtual void ShowXTitleDialog() = 0;
  virtual void ShowYTitleDialog() = 0;
  virtual void ShowSeriesTitleDialog() = 0;
  virtual void ShowFloatingTitlesDialog() = 0;

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
  // forget it.
  virtual void GraphWindowDestroyed() = 0;
};

}  // namespace tavel
