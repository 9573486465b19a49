#include "ui/datawin/data_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

#include "core/cells/clipboard_text.h"
#include "core/platform/clipboard.h"
#include "core/platform/prompts.h"
#include "core/series/history.h"
#include "core/series/scoped_value.h"
#include "core/series/series.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/app/menu_items.h"
#include "ui/app/texts.h"
#include "ui/datawin/cell_grid_model.h"
#include "ui/datawin/data_window_host.h"

namespace tavel {

namespace {

constexpr int kWindowWidth = 480;
constexpr int kWindowHeight = 350;
constexpr int kIndexColumnWidth = 64;
constexpr int kColumnWidth = 128;
constexpr int kRowHeight = 24;
constexpr int kTextMargin = 2;

// The modifiers held with a key. A modifier key counts as held while it goes down, as it
// always did; not every platform reports it so.
unsigned ModifiersOf(const QKeyEvent* event) {
  const Qt::KeyboardModifiers m = event->modifiers();
  unsigned held = 0;
  if (m & Qt::ShiftModifier || event->key() == Qt::Key_Shift) held |= kShiftKey;
  if (m & Qt::ControlModifier || event->key() == Qt::Key_Control) held |= kCtrlKey;
  if (m & Qt::AltModifier || event->key() == Qt::Key_Alt) held |= kAltKey;
  if (m & Qt::MetaModifier || event->key() == Qt::Key_Meta) held |= kMetaKey;
  return held;
}

bool IsEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}
bool IsTab(int key) {
  return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}
// Keys that move between rows even while the editor is open.
bool MovesRows(int key) {
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
         key == Qt::Key_PageDown;
}
// Keys that move within the text while the editor is open, and between cells otherwise.
bool MovesInText(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End;
}

// The in-place editor. The window's rules decide when it opens, what it shows and when its
// text is committed, so the delegate's own key handling and data transfer are switched off.
class CellEditorDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    return editor;
  }
  void setEditorData(QWidget*, const QModelIndex&) const override {}
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

 protected:
  bool eventFilter(QObject*, QEvent*) override { return false; }
};

}  // namespace

// ---------------------------------------------------------------------------------------------

void SeriesHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid() || model() == nullptr) return;
  painter->save();
  const QVariant fill = model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole);
  painter->fillRect(rect, fill.canConvert<QColor>() ? fill.value<QColor>() : QColor(Qt::white));
  painter->setPen(QColor(Qt::black));
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
  const auto align = static_cast<Qt::Alignment>(
      model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole).toInt());
  painter->drawText(rect.adjusted(kTextMargin, 0, -kTextMargin - 1, -1), align, text);
  painter->restore();
}

// ---------------------------------------------------------------------------------------------

DataGrid::DataGrid(TSpreadF* owner) : QTableView(owner), owner_(owner) {
  setHorizontalHeader(new SeriesHeaderView(Qt::Horizontal, this));
  setVerticalHeader(new SeriesHeaderView(Qt::Vertical, this));
  // The corner where the fixed row meets the fixed column carries " Index".
  setCornerButtonEnabled(false);
  if (auto* corner = findChild<QAbstractButton*>()) corner->installEventFilter(this);
}

bool DataGrid::event(QEvent* event) {
  // Tab belongs to the grid's rules, not to focus movement.
  if (event->type() == QEvent::KeyPress && IsTab(static_cast<QKeyEvent*>(event)->key())) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QTableView::event(event);
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint && watched == findChild<QAbstractButton*>()) {
    auto* corner = static_cast<QWidget*>(watched);
    auto* grid = static_cast<CellGridModel*>(model());
    QPainter painter(corner);
    const QRect r = corner->rect();
    painter.fillRect(r, grid ? grid->HeaderColor() : QColor(Qt::white));
    painter.setPen(QColor(Qt::black));
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    if (grid) {
      painter.drawText(r.adjusted(kTextMargin, 0, -kTextMargin - 1, -1),
                       Qt::AlignLeft | Qt::AlignVCenter, grid->CornerText());
    }
    return true;
  }
  return QTableView::eventFilter(watched, event);
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
  if (!owner_->StringGrid1KeyDown(event, false)) QTableView::keyPressEvent(event);
}

void DataGrid::keyReleaseEvent(QKeyEvent* event) {
  owner_->StringGrid1KeyUp(event);
}

void DataGrid::mousePressEvent(QMouseEvent* event) {
  // Only the left button selects; the right one keeps the selection for the context menu.
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  QTableView::mousePressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
    owner_->StringGrid1DblClick();
    event->accept();
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void DataGrid::contextMenuEvent(QContextMenuEvent* event) {
  owner_->StringGrid1ContextPopup(event->globalPos());
  event->accept();
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  owner_->StringGrid1SelectCell(current, previous);
}

QItemSelectionModel::SelectionFlags DataGrid::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
  if (event == nullptr) return QItemSelectionModel::ClearAndSelect;
  return QTableView::selectionCommand(index, event);
}

// ---------------------------------------------------------------------------------------------

TSpreadF::TSpreadF(Series& series, DataWindowHost& host, Clipboard& clipboard, QWidget* parent)
    : QWidget(parent), series_(&series), host_(host), clipboard_(clipboard) {
  SetHelpContext(this, 400);
  resize(kWindowWidth, kWindowHeight);
  CreateGrid();
  CreateMenus();
  CreateContextMenu();
  series_->GridChanged = [this] { SeriesChanged(); };
  UpdateCaption();
  MoveCurrentQuietly({1, kXColumn});
}

TSpreadF::~TSpreadF() {
  CloseEditor();
  // The series stays with the workspace: a window deleted without closing leaves it for the
  // frame to destroy, so nothing is destroyed from a destructor that may run during the
  // frame's own teardown.
  if (series_) series_->GridChanged = nullptr;
}

QMdiSubWindow* TSpreadF::CreateSubWindow(Series& series, DataWindowHost& host, Clipboard& clipboard,
                                         QMdiArea* area) {
  auto* window = new TSpreadF(series, host, clipboard);
  QMdiSubWindow* sub = NewChildSubWindow(window, 400, [&host] { host.TrackActiveChild(); });
  sub->resize(kWindowWidth, kWindowHeight);
  if (area) area->addSubWindow(sub);
  return sub;
}

void TSpreadF::CreateGrid() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  StringGrid1 = new DataGrid(this);
  StringGrid1->setObjectName("StringGrid1");
  layout->addWidget(StringGrid1);

  StringGrid1->setItemDelegate(new CellEditorDelegate(StringGrid1));
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setTabKeyNavigation(false);
  StringGrid1->setWordWrap(false);
  StringGrid1->setShowGrid(true);

  QHeaderView* top = StringGrid1->horizontalHeader();
  top->setSectionResizeMode(QHeaderView::Fixed);
  top->setDefaultSectionSize(kColumnWidth);
  top->setMinimumSectionSize(kColumnWidth);
  top->setFixedHeight(kRowHeight);
  top->setSectionsClickable(false);
  top->setHighlightSections(false);
  top->setStretchLastSection(false);

  // Beyond the last row and column the grid shows its white background, headers included.
  for (QHeaderView* header : {top, static_cast<QHeaderView*>(StringGrid1->verticalHeader())}) {
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Button, Qt::white);
    header->setPalette(palette);
  }

  QHeaderView* index = StringGrid1->verticalHeader();
  index->setSectionResizeMode(QHeaderView::Fixed);
  index->setMinimumSectionSize(kRowHeight);
  index->setDefaultSectionSize(kRowHeight);
  index->setFixedWidth(kIndexColumnWidth);
  index->setSectionsClickable(false);
  index->setHighlightSections(false);

  // The model comes last: a header told its sizes before it has sections spends nothing on
  // resizing a million of them one by one.
  model_ = new CellGridModel(series_, this);
  StringGrid1->setModel(model_);
}

void TSpreadF::CreateMenus() {
  FileMenu = new QMenu("&File", this);
  SetHelpContext(FileMenu->menuAction(), 500);
  LocalShortcut(this, AddNewAndOpenItems(FileMenu, host_, true));
  connect(AddMenuItem(FileMenu, "&Save Data", 500), &QAction::triggered, this, [this] {
    if (series_) host_.SaveData(*series_);
  });
  connect(AddCommandItem(FileMenu, "Save &Graph", 500, Command::SaveGraph), &QAction::triggered,
          this, [this] { host_.SaveGraph(); });
  connect(AddCommandItem(FileMenu, "Save &Bitmap", 500, Command::SaveBitmap), &QAction::triggered,
          this, [this] { host_.SaveBitmap(); });
  CloseDataAction = LocalShortcut(
      this, AddMenuItem(FileMenu, "&Close Data", 500, QKeySequence(Qt::ALT | Qt::Key_F3)));
  connect(CloseDataAction, &QAction::triggered, this, &TSpreadF::CloseData);
  connect(AddCommandItem(FileMenu, "Print &Data", 1300, Command::PrintData), &QAction::triggered,
          this, [this] { host_.PrintData(); });
  connect(AddCommandItem(FileMenu, "&Print Graph", 1300, Command::PrintGraph), &QAction::triggered,
          this, [this] { host_.PrintGraph(); });
  connect(AddCommandItem(FileMenu, "P&rint Setup...", 1300, Command::PrintSetup),
          &QAction::triggered, this, [this] { host_.PrintSetup(); });
  connect(AddCommandItem(FileMenu, "E&xit", 0, Command::Exit), &QAction::triggered, this,
          [this] { host_.Exit(); });

  EditMenu = AddEditMenu(this, CutAction, CopyAction, PasteAction);
  AddUndoItems(this, EditMenu, UndoAction, RedoAction);
  connect(UndoAction, &QAction::triggered, this, [this] { host_.UndoCommand(); });
  connect(RedoAction, &QAction::triggered, this, [this] { host_.RedoCommand(); });
  host_.HistoryItemsCreated(UndoAction, RedoAction);
  connect(CutAction, &QAction::triggered, this, &TSpreadF::Cut);
  connect(CopyAction, &QAction::triggered, this, &TSpreadF::Copy);
  connect(PasteAction, &QAction::triggered, this, &TSpreadF::PasteCells);

  MathMenu = new QMenu("&Math", this);
  SetHelpContext(MathMenu->menuAction(), 1100);
  connect(AddCommandItem(MathMenu, "&Calculator", 1100, Command::Calculator), &QAction::triggered,
          this, [this] { host_.ShowCalculator(); });
  AddCellItems(MathMenu, "&Fill Cells");
  SortAscendingAction = AddMenuItem(MathMenu, "Sort X &Ascending", 1100);
  SortDescendingAction = AddMenuItem(MathMenu, "Sort X &Descending", 1100);
  connect(SortAscendingAction, &QAction::triggered, this, [this] { SortX(true); });
  connect(SortDescendingAction, &QAction::triggered, this, [this] { SortX(false); });

  RegressionMenu = new QMenu("&Regression", this);
  SetHelpContext(RegressionMenu->menuAction(), 1400);
  connect(AddCommandItem(RegressionMenu, "&Fit", 1400, Command::Fit), &QAction::triggered, this,
          [this] { host_.ShowFitDialog(); });
  connect(AddMenuItem(RegressionMenu, "&User Model...", 1420), &QAction::triggered, this,
          [this] { host_.ShowUserModelDialog(); });
  connect(AddCommandItem(RegressionMenu, "&Clear Fit", 1400, Command::ClearFit),
          &QAction::triggered, this, [this] { host_.ClearFitCommand(); });
  connect(AddCommandItem(RegressionMenu, "Fit &Error %", 1400, Command::FitError),
          &QAction::triggered, this, [this] { host_.FitError(); });
  connect(AddMenuItem(RegressionMenu, "Fit &Report", 1400), &QAction::triggered, this,
          [this] { host_.FitReportCommand(); });

  GraphMenu = new QMenu("&Graph", this);
  SetHelpContext(GraphMenu->menuAction(), 550);
  connect(AddCommandItem(GraphMenu, "&View", 550, Command::ViewGraph), &QAction::triggered, this,
          [this] { host_.ShowGraphWindow(); });
  connect(AddCommandItem(GraphMenu, "&Auto Scale", 550, Command::AutoScale), &QAction::triggered,
          this, [this] { host_.AutoScale(); });
  AddGraphDialogItems(GraphMenu, host_);
  AddLegendMenu(GraphMenu, {"L&egend", "&X Axis", "&Series", 0}, host_);
}

void TSpreadF::AddCellItems(QMenu* menu, const QString& fillText) {
  connect(AddCommandItem(menu, "&Operate on Cells", 1120, Command::OperateOnCells),
          &QAction::triggered, this, [this] { host_.OperateOnCells(); });
  connect(AddCommandItem(menu, fillText, 1140, Command::FillCells), &QAction::triggered, this,
          [this] { host_.FillCells(); });
  connect(AddCommandItem(menu, "&X && Y Operations", 1160, Command::XYOperations),
          &QAction::triggered, this, [this] { host_.XYOperations(); });
}

void TSpreadF::CreateContextMenu() {
  PopupMenu1 = new QMenu(this);
  SetHelpContext(PopupMenu1, 400);
  AddCellItems(PopupMenu1, "F&ill Cells");
  connect(AddCommandItem(PopupMenu1, "&Fit", 1400, Command::Fit), &QAction::triggered, this,
          [this] { host_.ShowFitDialog(); });
  connect(AddCommandItem(PopupMenu1, "Graph &Type", 600, Command::GraphType), &QAction::triggered,
          this, [this] { host_.ShowGraphTypeDialog(); });
  AddLegendMenu(PopupMenu1, {"&Legend", "&X  Axis", "&Series", 0}, host_);
  connect(AddCommandItem(PopupMenu1, "&Printer Color", 0, Command::PrinterColor),
          &QAction::triggered, this, [this] { host_.ShowPrinterColorDialog(); });
  DuplicateAction = AddMenuItem(PopupMenu1, "&Duplicate Data", 400);
  connect(DuplicateAction, &QAction::triggered, this, &TSpreadF::Duplicate);
  connect(AddMenuItem(PopupMenu1, "&Save Data", 500), &QAction::triggered, this, [this] {
    if (series_) host_.SaveData(*series_);
  });
}

QList<MenuGroup> TSpreadF::MenuGroups() const {
  return {{kFileGroup, FileMenu},
          {kEditGroup, EditMenu},
          {kMathGroup, MathMenu},
          {kRegressionGroup, RegressionMenu},
          {kGraphGroup, GraphMenu}};
}

QMdiSubWindow* TSpreadF::SubWindow() const {
  return SubWindowOf(this);
}

void TSpreadF::UpdateCaption() {
  if (!series_) return;
  // A trailing star: the window holds changes no file has.
  QString caption = QString::fromStdString(series_->Caption());
  if (series_->Modified()) caption += " *";
  setWindowTitle(caption);
  if (QMdiSubWindow* sub = SubWindow()) sub->setWindowTitle(caption);
}

// ---------------------------------------------------------------------------------------------
// Current cell and selection

GridCell TSpreadF::CurrentCell() const {
  const QModelIndex current = StringGrid1->currentIndex();
  if (!current.isValid()) return {1, kXColumn};
  return CellGridModel::CellOf(current);
}

void TSpreadF::SetCurrentCell(GridCell cell) {
  const QModelIndex index = model_->IndexOf(cell);
  if (!index.isValid()) return;
  StringGrid1->setCurrentIndex(index);
}

void TSpreadF::MoveCurrentQuietly(GridCell cell) {
  ++quietMoves_;
  SetCurrentCell(cell);
  --quietMoves_;
}

void TSpreadF::ShrinkSelectionTo(GridCell cell) {
  // Also when the current cell stays where it is: the selection and its anchor start anew.
  MoveCurrentQuietly(cell);
}

CellRect TSpreadF::Selection() const {
  const GridCell current = CurrentCell();
  CellRect rect{current.column, current.row, current.column, current.row};
  const QItemSelection selection = StringGrid1->selectionModel()->selection();
  bool first = true;
  for (const QItemSelectionRange& range : selection) {
    if (!range.isValid()) continue;
    const CellRect r{range.left() + 1, range.top() + 1, range.right() + 1, range.bottom() + 1};
    if (first) {
      rect = r;
      first = false;
    } else {
      rect.left = std::min(rect.left, r.left);
      rect.top = std::min(rect.top, r.top);
      rect.right = std::max(rect.right, r.right);
      rect.bottom = std::max(rect.bottom, r.bottom);
    }
  }
  return rect;
}

// ---------------------------------------------------------------------------------------------
// Edit mode and the in-place editor

void TSpreadF::SetEditMode(bool on, bool commitOpenEdit) {
  if (on && CurrentCell().column == kFitColumn) on = false;
  if (on == editMode_) {
    if (on && !editor_) OpenEditor();
    return;
  }
  if (!on) {
    // An edit left open would keep text that was never checked in the cell; turning editing
    // off ends it the way Enter does.
    if (commitOpenEdit) CommitOpenEdit();
    editMode_ = false;
    CloseEditor();
    return;
  }
  editMode_ = true;
  OpenEditor();
}

void TSpreadF::OpenEditor() {
  CloseEditor();
  if (!series_ || !editMode_) return;
  const GridCell cell = CurrentCell();
  if (cell.column == kFitColumn || cell.row > series_->Cells.RowCount()) return;
  const QModelIndex index = model_->IndexOf(cell);
  if (!index.isValid()) return;
  saved_ = StartEditing(*series_, cell.row, cell.column);
  StringGrid1->openPersistentEditor(index);
  editor_ = qobject_cast<QLineEdit*>(StringGrid1->indexWidget(index));
  if (!editor_) return;
  editorIndex_ = index;
  editor_->setText(QString::fromStdString(series_->OldCellText));
  editor_->selectAll();
  editor_->installEventFilter(this);
  connect(editor_, &QLineEdit::textEdited, this, &TSpreadF::EditorTextEdited);
  editor_->setFocus();
}

void TSpreadF::CloseEditor() {
  if (editor_) {
    const bool hadFocus = editor_->hasFocus();
    editor_->removeEventFilter(this);
    disconnect(editor_, nullptr, this, nullptr);
    if (hadFocus) StringGrid1->setFocus();
  }
  if (editorIndex_.isValid()) StringGrid1->closePersistentEditor(editorIndex_);
  editor_ = nullptr;
  editorIndex_ = QPersistentModelIndex();
}

void TSpreadF::RestartEditor() {
  CloseEditor();
  if (editMode_) OpenEditor();
}

void TSpreadF::EditorTextEdited(const QString& text) {
  // The typed text lives in the cell while the edit is open, so commands see what is typed.
  if (!series_ || series_->EditRow < 1 || series_->EditRow > series_->Cells.RowCount()) return;
  series_->Cells.SetText(series_->EditRow, series_->EditCol, text.toStdString());
  model_->CellChanged({series_->EditRow, series_->EditCol});
}

void TSpreadF::CommitOpenEdit() {
  if (!series_ || !editor_) return;
  const EditOutcome outcome = [&] {
    const ScopedCount busy(busy_);
    return CommitEditStep(*series_, saved_);
  }();
  if (outcome.beep) series_->Owner().prompts().Beep();
  if (outcome.redraw) host_.RedrawGraph();
}

void TSpreadF::EnterKey() {
  CommitOpenEdit();
  if (editMode_) {
    RestartEditor();
  } else {
    SetEditMode(true);
  }
}

// ---------------------------------------------------------------------------------------------
// Grid events

bool TSpreadF::StringGrid1KeyDown(QKeyEvent* event, bool fromEditor) {
  if (forwardingKey_ || !series_) return false;
  const int key = event->key();
  const bool wanted = EditModeAfterKeyDown(CurrentCell().column, editMode_, ModifiersOf(event));
  if (wanted != editMode_) SetEditMode(wanted);

  if (IsEnter(key)) {
    EnterKey();
    return true;
  }
  // Tab moves when it is released; Escape has no rule of its own.
  if (IsTab(key) || key == Qt::Key_Escape) return true;
  if (MovesRows(key) || (MovesInText(key) && !(fromEditor && editMode_))) {
    StringGrid1->Navigate(event);
    return true;
  }
  if (!editMode_ || !editor_) return fromEditor;
  if (fromEditor) return false;
  // The key that opened the editor is its first key: a character replaces the cell's text.
  forwardingKey_ = true;
  QApplication::sendEvent(editor_, event);
  forwardingKey_ = false;
  return true;
}

void TSpreadF::StringGrid1KeyUp(QKeyEvent* event) {
  if (event->isAutoRepeat() || !series_) return;
  const int key = event->key();
  if (key == Qt::Key_Delete && editMode_) {
    const CellRect rect = Selection();
    {
      const ScopedCount busy(busy_);
      HistoryRecorder step(series_->Owner(), "Delete");
      step.Watch(*series_);
      DeleteCells(*series_, rect);
    }
    ShrinkSelectionTo({rect.top, rect.left});
    RestartEditor();
    host_.RedrawGraph();
  }
  const GridCell current = CurrentCell();
  if (current.column == kFitColumn) {
    SetEditMode(false);
    return;
  }
  if (IsTab(key)) {
    const bool shiftExactly = ModifiersOf(event) == kShiftKey;
    SetCurrentCell(TabTarget(current, shiftExactly, series_->MaxIndex));
  }
}

void TSpreadF::StringGrid1DblClick() {
  SetEditMode(EditModeAfterDoubleClick(CurrentCell().column, editMode_));
}

void TSpreadF::StringGrid1SelectCell(const QModelIndex& current, const QModelIndex& previous) {
  if (quietMoves_ == 0 && series_) {
    if (previous.isValid() && CellGridModel::CellOf(previous).column == kFitColumn) {
      SetEditMode(false);
    }
    if (editMode_) CommitOpenEdit();
  }
  // The editor follows the current cell; the Fit column never gets one.
  CloseEditor();
  if (current.isValid() && CellGridModel::CellOf(current).column == kFitColumn) editMode_ = false;
  if (editMode_) OpenEditor();
}

void TSpreadF::StringGrid1ContextPopup(const QPoint& globalPos) {
  if (QMdiSubWindow* sub = SubWindow()) {
    if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
  }
  raise();
  host_.TrackActiveChild();
  PopupMenu1->popup(globalPos);
}

bool TSpreadF::eventFilter(QObject* watched, QEvent* event) {
  if (watched != editor_ || editor_ == nullptr) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      return StringGrid1KeyDown(static_cast<QKeyEvent*>(event), true);
    case QEvent::KeyRelease:
      StringGrid1KeyUp(static_cast<QKeyEvent*>(event));
      return false;
    case QEvent::ShortcutOverride: {
      // The window's Cut, Copy and Paste act on cells, also while a cell is being edited.
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) ||
          key->matches(QKeySequence::Paste)) {
        event->ignore();
        return true;
      }
      return false;
    }
    case QEvent::MouseButtonDblClick:
      StringGrid1DblClick();
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Commands

void TSpreadF::Copy() {
  if (!series_) return;
  clipboard_.SetText(CopyText(series_->Cells, Selection()));
}

void TSpreadF::Cut() {
  if (!series_) return;
  const CellRect rect = Selection();
  const std::string text = [&] {
    const ScopedCount busy(busy_);
    HistoryRecorder step(series_->Owner(), "Cut");
    step.Watch(*series_);
    return CutCells(*series_, rect);
  }();
  clipboard_.SetText(text);
  ShrinkSelectionTo({rect.top, rect.left});
  RestartEditor();
  host_.RedrawGraph();
}

void TSpreadF::PasteCells() {
  if (!series_) return;
  const std::string text = clipboard_.GetText();
  {
    const ScopedCount busy(busy_);
    HistoryRecorder step(series_->Owner(), "Paste");
    step.Watch(*series_);
    tavel::PasteCells(*series_, text, CurrentCell());
  }
  SetEditMode(false, false);
  host_.RedrawGraph();
}

void TSpreadF::Duplicate() {
  if (!series_) return;
  Series* copy = [&] {
    HistoryRecorder step(series_->Owner(), "Duplicate");
    return DuplicateSeries(*series_, clipboard_);
  }();
  if (copy != nullptr) host_.RedrawGraph();
}

void TSpreadF::SortX(bool ascending) {
  if (!series_) return;
  {
    const ScopedCount busy(busy_);
    HistoryRecorder step(series_->Owner(), ascending ? "Sort X Ascending" : "Sort X Descending");
    step.Watch(*series_);
    series_->SortByX(ascending);
    series_->FillGrid();
  }
  RestartEditor();
}

void TSpreadF::SeriesChanged() {
  if (!series_) return;
  const bool editorWasOpen = editor_ != nullptr;
  if (model_->rowCount() != series_->Cells.RowCount()) CloseEditor();
  if (model_->Refresh()) {
    const GridCell current{std::min(std::max<std::int32_t>(series_->Cells.RowCount(), 1),
                                    std::max<std::int32_t>(CurrentCell().row, 1)),
                           CurrentCell().column};
    MoveCurrentQuietly(current);
  }
  UpdateCaption();
  // A change made elsewhere (a dialog, a file) rewrote the cells under an open editor.
  if (busy_ == 0 && editorWasOpen) RestartEditor();
}

// ---------------------------------------------------------------------------------------------
// Closing

void TSpreadF::CloseData() {
  CloseChild(this);
}

void TSpreadF::CloseWithoutQuestion() {
  closeWithoutQuestion_ = true;
  CloseData();
  closeWithoutQuestion_ = false;
}

void TSpreadF::closeEvent(QCloseEvent* event) {
  if (!series_) {
    event->accept();
    return;
  }
  // Only what no file holds can be lost.
  if (!closeWithoutQuestion_ && series_->Modified() &&
      !series_->Owner().prompts().AskYesAbort(kDataLossQuestion)) {
    event->ignore();
    return;
  }
  event->accept();
  DestroySeries();
}

void TSpreadF::ForgetSeries() {
  DetachSeries();
}

void TSpreadF::DetachSeries() {
  editMode_ = false;
  CloseEditor();
  if (series_) series_->GridChanged = nullptr;
  series_ = nullptr;
  model_->SetSeries(nullptr);
}

void TSpreadF::DestroySeries() {
  Series* series = series_;
  if (!series) return;
  DetachSeries();
  series->Owner().DestroySeries(*series);
  host_.DataWindowClosed();
}

}  // namespace tavel
