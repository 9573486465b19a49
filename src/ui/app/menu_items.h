#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace tavel {

class CommandHost;

// The menu group indexes: while a child window is active its menus join the frame's menu bar
// in this order, and a child menu with the same index as one of the frame's takes its place.
constexpr int kFileGroup = 1;
constexpr int kEditGroup = 2;
constexpr int kPreferencesGroup = 3;
constexpr int kMathGroup = 4;
constexpr int kRegressionGroup = 5;
constexpr int kGraphGroup = 7;
constexpr int kWindowGroup = 15;
constexpr int kHelpGroup = 20;

// The commands whose items stand in more than one menu. An item of a command whose window is
// not part of the program yet is shown disabled: it must never look as if it did something.
enum class Command {
  NewData,
  NewText,
  Open,
  OpenGraphFile,
  OpenTextFile,
  SaveGraph,
  SaveBitmap,
  PrintData,
  PrintGraph,
  PrintSetup,
  Exit,
  Calculator,
  OperateOnCells,
  FillCells,
  XYOperations,
  Fit,
  ClearFit,
  FitError,
  ViewGraph,
  AutoScale,
  Scale,
  Grid,
  LogScale,
  GraphType,
  Titles,
  PrinterColor,
  Preferences,
  Clipboard,
  ArrangeWindows,
};
bool CommandReady(Command command);

// A menu item with its text, help context (0: none) and short cut.
QAction* AddMenuItem(QMenu* menu, const QString& text, int helpContext,
                     const QKeySequence& shortcut = {});
// The same for an item of one of the shared commands, disabled while the command is not ready.
QAction* AddCommandItem(QMenu* menu, const QString& text, int helpContext, Command command,
                        const QKeySequence& shortcut = {});

// Makes the item's short cut work only while the focus is in `window`: with several child
// windows open, each one's items must not compete with the others'. Returns the item.
QAction* LocalShortcut(QWidget* window, QAction* action);

// A child window's "&Edit" menu: "Cu&t", "&Copy" and "&Paste" with their short cuts, local to
// the window; the items are handed back for the window to connect.
QMenu* AddEditMenu(QWidget* window, QAction*& cut, QAction*& copy, QAction*& paste);

// "&Undo" (Ctrl+Z) and "&Redo" (Ctrl+Y), local to the window, put before the menu's first
// item. Not Ctrl+Shift+Z: Ctrl+Shift with a key toggles a data window's edit mode.
void AddUndoItems(QWidget* window, QMenu* menu, QAction*& undo, QAction*& redo);
// The item's text naming what it takes back or does again: "&Undo Paste", "&Redo" when the
// name is empty.
QString HistoryItemText(bool undo, const QString& name);

// "&New  Data", "New  &Text" and "&Open" (with F3 when asked), handed to the host. Returns the
// "&Open" item.
QAction* AddNewAndOpenItems(QMenu* menu, CommandHost& host, bool openShortcut);

// "&Scale", "&Grid", "&Log Scale" and "Graph &Type", handed to the host.
void AddGraphDialogItems(QMenu* menu, CommandHost& host);

// The legend submenu: "&Main", the X item, "&Y Axis", the series item and "&Floating", each
// menu keeping its own texts and help contexts.
struct LegendTexts {
  QString title;
  QString xAxis;
  QString series;
  int floatingHelp = 900;
};
QMenu* AddLegendMenu(QMenu* parent, const LegendTexts& texts, CommandHost& host);

}  // namespace tavel
