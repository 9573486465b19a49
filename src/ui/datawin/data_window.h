#pragma once

#include <QHeaderView>
#include <QLineEdit>
#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>
#include <QWidget>

#include "core/cells/grid_edit.h"
#include "ui/app/mdi_child.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace tavel {

class CellGridModel;
class Clipboard;
class DataWindowHost;
class Series;
class TSpreadF;

// The grid's fixed row and column: drawn flat in the series colour with the exact texts.
class SeriesHeaderView : public QHeaderView {
  Q_OBJECT

 public:
  using QHeaderView::QHeaderView;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

// StringGrid1: the table view that hands its keys, clicks and cell changes to the window's
// rules instead of Qt's own editing.
class DataGrid : public QTableView {
  Q_OBJECT

 public:
  explicit DataGrid(TSpreadF* owner);

  // The view's own cursor movement for a navigation key.
  void Navigate(QKeyEvent* event) { QTableView::keyPressEvent(event); }
  void keyboardSearch(const QString&) override {}

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  // A move made by the program (Tab, a command) starts a new selection at the new cell,
  // whatever modifier keys are held.
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;

 private:
  TSpreadF* owner_;
};

// The data window: one series as a grid of cells the user types, pastes, cuts, copies, sorts
// and duplicates. Its menus join the frame's menu bar while it is active.
//
// The window destroys its series when the user confirms its close, and when the frame closes
// it with CloseWithoutQuestion. When the frame destroys a series itself (a graph file load),
// it first calls ForgetSeries on the series' window.
class TSpreadF : public QWidget, public MdiChild {
  Q_OBJECT

 public:
  TSpreadF(Series& series, DataWindowHost& host, Clipboard& clipboard, QWidget* parent = nullptr);
  ~TSpreadF() override;

  // The window in a new MDI sub-window of 480 x 350 pixels that deletes itself when closed and
  // tells the host when it becomes active. Added to the area when one is given; not shown.
  static QMdiSubWindow* CreateSubWindow(Series& series, DataWindowHost& host, Clipboard& clipboard,
                                        QMdiArea* area = nullptr);

  ChildClass Class() const override { return ChildClass::DataWindow; }
  // File 1, Edit 2, Math 4, Regression 5, Graph 7.
  QList<MenuGroup> MenuGroups() const override;

  Series* series() const { return series_; }
  CellGridModel* model() const { return model_; }
  QMdiSubWindow* SubWindow() const;

  bool EditMode() const { return editMode_; }
  // The in-place editor while edit mode is on; null otherwise.
  QLineEdit* Editor() const { return editor_; }
  GridCell CurrentCell() const;
  // Moves the current cell as the user would, with the rules of a cell change.
  void SetCurrentCell(GridCell cell);
  // The selected rectangle; the current cell when nothing else is selected.
  CellRect Selection() const;

  // Commands, also used by the frame's tool buttons.
  void Copy();
  void Cut();
  void PasteCells();
  void Duplicate();
  void SortX(bool ascending);
  // "&Close Data": the close request with its question.
  void CloseData();
  // Close All, Clear All and the frame's own close: no question.
  void CloseWithoutQuestion();
  // The series was destroyed elsewhere; the window shows nothing more and closes quietly.
  void ForgetSeries();
  void UpdateCaption();
  // An edit left open is ended the way Enter ends it: before an undo, so it is one step too.
  void FinishOpenEdit() { CommitOpenEdit(); }

  DataGrid* StringGrid1 = nullptr;
  QMenu* PopupMenu1 = nullptr;  // the context menu

  QMenu* FileMenu = nullptr;
  QMenu* EditMenu = nullptr;
  QMenu* MathMenu = nullptr;
  QMenu* RegressionMenu = nullptr;
  QMenu* GraphMenu = nullptr;
  QAction* UndoAction = nullptr;
  QAction* RedoAction = nullptr;
  QAction* CutAction = nullptr;
  QAction* CopyAction = nullptr;
  QAction* PasteAction = nullptr;
  QAction* CloseDataAction = nullptr;
  QAction* SortAscendingAction = nullptr;
  QAction* SortDescendingAction = nullptr;
  QAction* DuplicateAction = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class DataGrid;

  void CreateGrid();
  void CreateMenus();
  void CreateContextMenu();
  // "&Operate on Cells", the fill item (its text differs between the menus) and
  // "&X && Y Operations".
  void AddCellItems(QMenu* menu, const QString& fillText);

  // Grid events.
  bool StringGrid1KeyDown(QKeyEvent* event, bool fromEditor);
  void StringGrid1KeyUp(QKeyEvent* event);
  void StringGrid1DblClick();
  void StringGrid1SelectCell(const QModelIndex& current, const QModelIndex& previous);
  void StringGrid1ContextPopup(const QPoint& globalPos);
  void EnterKey();

  void SetEditMode(bool on, bool commitOpenEdit = true);
  void OpenEditor();
  void CloseEditor();
  // The editor again on the current cell, reading the cell afresh (after a command).
  void RestartEditor();
  void CommitOpenEdit();
  void EditorTextEdited(const QString& text);
  void MoveCurrentQuietly(GridCell cell);
  void ShrinkSelectionTo(GridCell cell);
  void SeriesChanged();
  void DetachSeries();
  void DestroySeries();

  Series* series_;
  DataWindowHost& host_;
  Clipboard& clipboard_;
  CellGridModel* model_ = nullptr;

  bool editMode_ = false;
  QPointer<QLineEdit> editor_;
  QPersistentModelIndex editorIndex_;
  SavedCell saved_;
  bool forwardingKey_ = false;
  int quietMoves_ = 0;
  int busy_ = 0;
  bool closeWithoutQuestion_ = false;
};

}  // namespace tavel
