#pragma once

#include "ui/app/command_host.h"

namespace tavel {

class Series;

// What a data window needs from its frame. Every command of the data window's menus that is
// not about its own cells is handed on through here (and through CommandHost): to the frame's
// commands, to the graph window and to the dialogs.
//
// The per-series commands (dialogs with a "Next" loop) act on the frame's ActiveChild; the
// data window calls TrackActiveChild before it runs them from its context menu.
class DataWindowHost : public virtual CommandHost {
 public:
  // Redraw of the graph window when one is open; nothing otherwise.
  virtual void RedrawGraph() = 0;
  // "&View": show the graph window, creating it when needed, and redraw it.
  virtual void ShowGraphWindow() = 0;
  // A data window was closed and its series destroyed. Unless the frame is closing: the graph
  // window closes when no data window remains and is redrawn otherwise.
  virtual void DataWindowClosed() = 0;

  // "&File" items.
  virtual void SaveData(Series& series) = 0;  // SaveDataAs of that series
  virtual void SaveGraph() = 0;               // shows and draws the graph window first
  virtual void SaveBitmap() = 0;              // likewise
  virtual void PrintGraph() = 0;
  virtual void PrintSetup() = 0;

  // "&Math" items.
  virtual void ShowCalculator() = 0;
  virtual void OperateOnCells() = 0;
  virtual void FillCells() = 0;
  virtual void XYOperations() = 0;

  // "&Regression" items.
  virtual void ClearFitCommand() = 0;
  virtual void FitError() = 0;

  // "&Graph" items and the context menu's "&Printer Color".
  virtual void AutoScale() = 0;
  virtual void ShowPrinterColorDialog() = 0;
};

}  // namespace tavel
