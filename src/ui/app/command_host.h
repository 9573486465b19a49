#pragma once

#include <string>

class QAction;

namespace tavel {

// The commands that the menus of more than one child window hand on to the frame. The data
// window's and the graph window's hosts both extend it, so one frame method serves every
// window that carries the item.
class CommandHost {
 public:
  virtual ~CommandHost() = default;

  // The frame's own commands.
  virtual void NewData() = 0;
  virtual void NewText() = 0;
  virtual void Open() = 0;
  virtual void Exit() = 0;
  // ActiveChild := the frame's active child window, with its class.
  virtual void TrackActiveChild() = 0;
  // "Print &Data": every open series.
  virtual void PrintData() = 0;

  // The dialogs of the "&Graph" menus and the context menus. Each shows its dialog and then
  // redraws the graph window, whatever button closed the dialog. The per-series ones run the
  // "Next" loop.
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

  // "Fit &Report": a text window with the full report of every fitted series.
  virtual void FitReportCommand() {}
  // "&User Model...": a model of the user's own fitted to the active series.
  virtual void ShowUserModelDialog() {}

  // "&Undo" and "&Redo" of the data and graph windows: one history for the whole program.
  virtual void UndoCommand() {}
  virtual void RedoCommand() {}
  // A window's undo and redo items, which the host keeps named after the next step.
  virtual void HistoryItemsCreated(QAction* undo, QAction* redo) {
    (void)undo;
    (void)redo;
  }

  // A file was opened or saved by a window: it joins the recent files.
  virtual void FileUsed(const std::string& path) { (void)path; }
};

}  // namespace tavel
