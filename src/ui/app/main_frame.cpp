#include "ui/app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QDir>
#include <QDirIterator>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/files/atomic_file.h"
#include "core/files/export_choices.h"
#include "core/files/recent_files.h"
#include "core/files/settings_file.h"
#include "core/series/history.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/app/install_paths.h"
#include "ui/app/tool_glyphs.h"
#include "ui/calc/calc_dialog.h"
#include "ui/cells/fill_dialog.h"
#include "ui/cells/math_dialog.h"
#include "ui/cells/math_xy_dialog.h"
#include "ui/datawin/data_window.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/graph_type_dialog.h"
#include "ui/dialogs/printer_color_dialog.h"
#include "ui/dialogs/title_dialogs.h"
#include "ui/fit/fit_dialog.h"
#include "ui/fit/user_model_dialog.h"
#include "ui/graph/export_dialog.h"
#include "ui/platform/graph_fonts.h"
#include "ui/scale/grid_dialog.h"
#include "ui/scale/log_scale_dialog.h"
#include "ui/scale/prefer_dialog.h"
#include "ui/scale/scale_dialog.h"

namespace tavel {

namespace {

constexpr int kClientWidth = 596;
constexpr int kClientHeight = 399;
constexpr int kToolBarHeight = 34;
constexpr int kToolButtonSize = 25;
constexpr int kToolButtonTop = 4;

MdiChild* ChildOf(QMdiSubWindow* sub) {
  if (sub == nullptr) return nullptr;
  if (auto* child = dynamic_cast<MdiChild*>(sub)) return child;
  return dynamic_cast<MdiChild*>(sub->widget());
}

}  // namespace

TMDIMainF::TMDIMainF(Workspace& workspace, Prompts& prompts, std::filesystem::path settingsPath,
                     QWidget* parent)
    : QMainWindow(parent),
      workspace_(workspace),
      prompts_(prompts),
      settingsPath_(std::move(settingsPath)) {
  if (settingsPath_.empty()) {
    settingsPath_ = SettingsLocation(QCoreApplication::applicationFilePath());
  }
  TExportF::KeepChoicesIn(ExportChoicesPath(settingsPath_));
  setWindowTitle("Tavel Graphics");
  SetHelpContext(this, 100);

  GraphSettings& settings = workspace_.Settings;
  settings.LogExponential = true;

  CondensedFontInstalled = CondensedGraphFontInstalled();

  HelpFile = HelpLocation(QCoreApplication::applicationFilePath());

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  CreateToolBar(central);
  mdiArea_ = new QMdiArea(central);
  mdiArea_->setBackground(palette().brush(QPalette::Dark));
  layout->addWidget(toolBar_);
  layout->addWidget(mdiArea_, 1);
  setCentralWidget(central);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TMDIMainF::TrackActiveChild);
  CreateMenus();

  const int menuBarHeight = MenuBarHeight();
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect screenRect = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  GraphBitmap = QImage(screenRect.width(), std::max(1, screenRect.height() - 2 * menuBarHeight),
                       QImage::Format_RGB32);
  GraphBitmap.fill(Qt::white);
  settings.ScreenClass = ScreenClassFor(screenRect.width());

  settings.ResetGraphSettings();

  ActiveChildClass = ChildClass::None;
  ActiveChild = nullptr;
  Closing = false;
  TextWindows.reserve(MaxTextWindows);

  LoadSettings();
  bool recentUnreadable = false;
  recentFiles_ = LoadRecentFiles(RecentFilesPath(settingsPath_), &recentUnreadable);
  if (recentUnreadable) {
    prompts_.ErrorBox("The file " + RecentFilesPath(settingsPath_).string() +
                      " is not a list of files and was ignored.");
  }
  FillRecentFiles();
  setAcceptDrops(true);

  OpenDialog.title = "Open";
  OpenDialog.filters = OpenDialogFilters();
  OpenDialog.helpContext = 500;
  OpenDialog.filterIndex = kGraphFilter;
  workspace_.SetObserver(this);
  workspace_.history().Changed = [this] { HistoryChanged(); };
  for (Series* series : workspace_.DataWindows) SeriesCreated(*series);

  // The client area (below the menu bar) is the fixed size, centred on the screen.
  resize(kClientWidth, kClientHeight + menuBarHeight);
  const QRect available = screen != nullptr ? screen->availableGeometry() : screenRect;
  move(available.left() + (available.width() - width()) / 2,
       available.top() + (available.height() - height()) / 2);

  qApp->installEventFilter(this);
}

int TMDIMainF::MenuBarHeight() const { return menuBar()->sizeHint().height(); }

TMDIMainF::~TMDIMainF() {
  // The children go first, while this frame is still whole: deleting them activates others,
  // and an activation calls back into the frame. The series they showed go with them, since
  // nothing could show them any more.
  tearingDown_ = true;
  Closing = true;
  workspace_.SetObserver(nullptr);
  workspace_.history().Changed = nullptr;
  disconnect(mdiArea_, nullptr, this, nullptr);
  if (qApp != nullptr) qApp->removeEventFilter(this);
  // Also the ones closed a moment ago and waiting for their deferred delete.
  const QList<QMdiSubWindow*> children = mdiArea_->findChildren<QMdiSubWindow*>();
  for (QMdiSubWindow* sub : children) {
    if (auto* window = qobject_cast<TSpreadF*>(sub->widget())) window->ForgetSeries();
  }
  qDeleteAll(children);
  workspace_.DestroyAllSeries();
}

void TMDIMainF::CreateMenus() {
  auto* file = new QMenu("&File", this);
  fileMenu_ = file;
  OpenAction = AddNewAndOpenItems(file, *static_cast<DataWindowHost*>(this), true);
  NewDataAction = file->actions().at(0);
  NewTextAction = file->actions().at(1);
  file->addSeparator();
  ExitAction = AddCommandItem(file, "E&xit", 500, Command::Exit, QKeySequence(Qt::ALT | Qt::Key_F4));
  connect(ExitAction, &QAction::triggered, this, &TMDIMainF::Exit);

  auto* preferences = new QMenu("&Preferences", this);
  ToggleToolBarAction = AddMenuItem(preferences, "&Hide Tool Bar", 1200);
  PreferencesAction =
      AddCommandItem(preferences, "Preferences Dialog....", 1200, Command::Preferences);
  connect(ToggleToolBarAction, &QAction::triggered, this, &TMDIMainF::ToggleToolBar);
  connect(PreferencesAction, &QAction::triggered, this, &TMDIMainF::ShowPreferences);

  windowMenu_ = new QMenu("&Window", this);
  TileVertAction = AddMenuItem(windowMenu_, "Tile &Vert.", 800);
  TileHorzAction = AddMenuItem(windowMenu_, "Tile &Horz.", 800);
  CascadeAction = AddMenuItem(windowMenu_, "&Cascade", 800);
  CloseAllAction = AddMenuItem(windowMenu_, "C&lose All", 800);
  ClearAllAction = AddMenuItem(windowMenu_, "Clear  &All", 800);
  connect(TileVertAction, &QAction::triggered, this, &TMDIMainF::TileVertical);
  connect(TileHorzAction, &QAction::triggered, this, &TMDIMainF::TileHorizontal);
  connect(CascadeAction, &QAction::triggered, this, &TMDIMainF::Cascade);
  connect(CloseAllAction, &QAction::triggered, this, &TMDIMainF::CloseAll);
  connect(ClearAllAction, &QAction::triggered, this, &TMDIMainF::ClearAll);
  connect(windowMenu_, &QMenu::aboutToShow, this, &TMDIMainF::FillWindowList);

  auto* help = new QMenu("&Help", this);
  OverviewAction = AddMenuItem(help, "&Overview", 200);
  GettingStartedAction = AddMenuItem(help, "&Getting Started", 300);
  ContentsAction = AddMenuItem(help, "&Contents", 100);
  help->addSeparator();
  AboutAction = AddMenuItem(help, "&About", 200);
  connect(OverviewAction, &QAction::triggered, this, [this] { prompts_.ShowHelp(200); });
  connect(GettingStartedAction, &QAction::triggered, this, [this] { prompts_.ShowHelp(300); });
  connect(ContentsAction, &QAction::triggered, this, [this] { prompts_.ShowHelp(100); });
  connect(AboutAction, &QAction::triggered, this, &TMDIMainF::ShowAbout);

  SetHelpContext(file->menuAction(), 500);
  SetHelpContext(preferences->menuAction(), 1200);
  SetHelpContext(windowMenu_->menuAction(), 800);
  SetHelpContext(help->menuAction(), 100);

  frameMenus_ = {{kFileGroup, file},
                 {kPreferencesGroup, preferences},
                 {kWindowGroup, windowMenu_},
                 {kHelpGroup, help}};
  MergeChildMenus({});
}

void TMDIMainF::CreateToolBar(QWidget* parent) {
  toolBar_ = new QFrame(parent);
  toolBar_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  toolBar_->setLineWidth(2);
  toolBar_->setFixedHeight(kToolBarHeight);
  // The buttons carry no text: their hints are the only way to tell them apart, so they show
  // even while another program has the focus.
  setAttribute(Qt::WA_AlwaysShowToolTips);

  struct Button {
    int left;
    const char* hint;
    ToolGlyph glyph;
    void (TMDIMainF::*run)();
    Command command;
  };
  const Button buttons[] = {
      {6, "New Data", ToolGlyph::NewSheet, &TMDIMainF::NewData, Command::NewData},
      {39, "Open File", ToolGlyph::OpenFolder, &TMDIMainF::Open, Command::Open},
      {72, "Save Graph", ToolGlyph::Floppy, &TMDIMainF::SaveGraph, Command::SaveGraph},
      {105, "View Graph", ToolGlyph::Graph, &TMDIMainF::ViewGraph, Command::ViewGraph},
      {138, "Graph Scale", ToolGlyph::ScaleRuler, &TMDIMainF::GraphScale, Command::Scale},
      {172, "Graph Grid", ToolGlyph::Grid, &TMDIMainF::GraphGrid, Command::Grid},
      {205, "Calculator", ToolGlyph::Calculator, &TMDIMainF::Calculator, Command::Calculator},
      {238, "Copy", ToolGlyph::Copy, &TMDIMainF::Copy, Command::Clipboard},
      {271, "Paste", ToolGlyph::Paste, &TMDIMainF::Paste, Command::Clipboard},
      {304, "Tile Windows", ToolGlyph::Tile, &TMDIMainF::TileVertical, Command::ArrangeWindows},
      {337, "Cascade Windows", ToolGlyph::Cascade, &TMDIMainF::Cascade, Command::ArrangeWindows},
      {370, "Undo", ToolGlyph::Undo, &TMDIMainF::UndoCommand, Command::Clipboard},
      {403, "Redo", ToolGlyph::Redo, &TMDIMainF::RedoCommand, Command::Clipboard},
  };
  for (const Button& b : buttons) {
    auto* button = new QToolButton(toolBar_);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(ToolGlyphPixmap(b.glyph));
    button->setIconSize(QSize(20, 20));
    button->setToolTip(b.hint);
    button->setStatusTip(b.hint);
    button->setGeometry(b.left, kToolButtonTop, kToolButtonSize, kToolButtonSize);
    button->setEnabled(CommandReady(b.command));
    connect(button, &QToolButton::clicked, this, b.run);
    toolButtons_ << button;
  }
}

void TMDIMainF::CreateDialogs() {
  Workspace& w = workspace_;
  Prompts& p = prompts_;
  PreferF = new TPreferF(w, p, this);
  ScaleF = new TScaleF(w, p, this);
  LogScaleF = new TLogScaleF(w, p, this);
  GridF = new TGridF(w, p, this);
  TitleTF = new TTitleTF(w, p, this);
  TitleXF = new TTitleXF(w, p, this);
  TitleYF = new TTitleYF(w, p, this);
  TitleSerF = new TTitleSerF(w, p, this);
  FitF = new TFitF(w, p, this);
  UserModelF = new TUserModelF(w, p, this);
  FillF = new TFillF(w, p, this);
  Math_XYF = new TMath_XYF(w, p, this);
  MathF = new TMathF(w, p, this);
  GTypeF = new TGTypeF(w, p, this);
  PrintCF = new TPrintCF(w, p, this);
  CalcF = new TCalcF(w, p, this);
  TitleFlF = new TTitleFlF(w, p, this);

  FitF->Hooks = FrameDialogHooks();
  UserModelF->Hooks = FrameDialogHooks();
  for (DialogHooks* hooks : {&TitleTF->Hooks, &TitleXF->Hooks, &TitleYF->Hooks, &TitleSerF->Hooks,
                             &TitleFlF->Hooks, &GTypeF->Hooks, &PrintCF->Hooks}) {
    *hooks = FrameDialogHooks();
  }

  // Each of the two opens the other; redraws and the graph window go through the frame.
  ScaleF->SetGridDialog(GridF);
  GridF->SetScaleDialog(ScaleF);
  ScaleF->RedrawGraph = [this] { RedrawGraph(); };
  ScaleF->ShowGraphWindow = [this] { ShowGraphWindow(); };
  GridF->RedrawGraph = [this] { RedrawGraph(); };
  GridF->ShowGraphWindow = [this] { ShowGraphWindow(); };
  // The operations dialog and the calculator share K (CalcX) and open one another.
  MathF->SetCalculator(CalcF);
  CalcF->SetMathDialog(MathF);
  MathF->RedrawGraph = [this] { RedrawGraph(); };
  FillF->RedrawGraph = [this] { RedrawGraph(); };
  Math_XYF->RedrawGraph = [this] { RedrawGraph(); };
  LogScaleF->RedrawGraph = [this] { RedrawGraph(); };
  PreferF->SettingsPath = settingsPath_;
}

DialogHooks TMDIMainF::FrameDialogHooks() {
  DialogHooks hooks;
  hooks.ActiveSeries = [this]() -> Series* {
    const TSpreadF* window = ActiveDataWindow();
    return window != nullptr ? window->series() : nullptr;
  };
  hooks.RestoreActiveWindow = [this] {
    const TSpreadF* window = ActiveDataWindow();
    QMdiSubWindow* sub = window != nullptr ? window->SubWindow() : nullptr;
    if (sub != nullptr && sub->isMinimized()) sub->showNormal();
  };
  hooks.RedrawGraph = [this] { RedrawGraph(); };
  hooks.ShowGraphWindow = [this] { ShowGraphWindow(); };
  hooks.ShowFitDialog = [this] {
    if (FitF != nullptr) FitF->exec();
  };
  return hooks;
}

QList<QDialog*> TMDIMainF::Dialogs() const {
  if (PreferF == nullptr) return {};
  return {PreferF, ScaleF, LogScaleF, GridF, TitleTF, TitleXF, TitleYF, TitleSerF,
          FitF,    FillF,  Math_XYF,  MathF, GTypeF,  PrintCF, CalcF,   TitleFlF};
}

void TMDIMainF::LoadSettings() {
  if (::tavel::LoadSettings(settingsPath_, workspace_.Settings) == SettingsLoad::Failed) {
    prompts_.ErrorBox(IncompatibleFormatText(settingsPath_.string()));
  }
}

QMdiSubWindow* TMDIMainF::AddChild(QWidget* child) {
  QMdiSubWindow* sub = mdiArea_->addSubWindow(child);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  return sub;
}

void TMDIMainF::MergeChildMenus(const QList<MenuGroup>& childMenus) {
  QList<MenuGroup> merged;
  for (const MenuGroup& own : frameMenus_) {
    const bool replaced = std::any_of(childMenus.begin(), childMenus.end(),
                                      [&](const MenuGroup& c) { return c.first == own.first; });
    if (!replaced) merged << own;
  }
  for (const MenuGroup& c : childMenus) {
    if (c.second != nullptr) merged << c;
  }
  std::stable_sort(merged.begin(), merged.end(),
                   [](const MenuGroup& a, const MenuGroup& b) { return a.first < b.first; });

  for (const MenuGroup& own : frameMenus_) {
    SetMenuShortcutsActive(own.second, merged.contains(own));
  }

  QMenuBar* bar = menuBar();
  // Only the menu actions leave the bar; the menus stay with their owners.
  for (QAction* action : bar->actions()) bar->removeAction(action);
  for (const MenuGroup& m : merged) bar->addMenu(m.second);
}

void TMDIMainF::SetMenuShortcutsActive(QMenu* menu, bool active) {
  static const char kKeptShortcut[] = "tavelKeptShortcut";
  for (QAction* action : menu->actions()) {
    if (QMenu* sub = action->menu()) SetMenuShortcutsActive(sub, active);
    if (active) {
      const QVariant kept = action->property(kKeptShortcut);
      if (kept.isValid()) {
        action->setShortcut(kept.value<QKeySequence>());
        action->setProperty(kKeptShortcut, QVariant());
      }
    } else if (!action->shortcut().isEmpty()) {
      action->setProperty(kKeptShortcut, QVariant::fromValue(action->shortcut()));
      action->setShortcut(QKeySequence());
    }
  }
}

void TMDIMainF::TrackActiveChild() {
  if (tearingDown_) return;
  QMdiSubWindow* sub = mdiArea_->currentSubWindow();
  MdiChild* child = ChildOf(sub);
  if (sub == nullptr) {
    ActiveChild = nullptr;
  } else if (dynamic_cast<MdiChild*>(sub) != nullptr) {
    ActiveChild = sub;
  } else {
    ActiveChild = sub->widget();
  }
  ActiveChildClass = child != nullptr ? child->Class() : ChildClass::None;
  MergeChildMenus(child != nullptr ? child->MenuGroups() : QList<MenuGroup>{});
}

void TMDIMainF::FillWindowList() {
  for (QAction* action : windowListActions_) {
    windowMenu_->removeAction(action);
    delete action;
  }
  windowListActions_.clear();
  const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
  if (windows.isEmpty()) return;
  windowListActions_ << windowMenu_->addSeparator();
  int number = 0;
  for (QMdiSubWindow* sub : windows) {
    ++number;
    const QString prefix = number < 10 ? QString("&%1 ").arg(number) : QString("%1 ").arg(number);
    QAction* action = windowMenu_->addAction(prefix + sub->windowTitle());
    action->setCheckable(true);
    action->setChecked(sub == mdiArea_->currentSubWindow());
    QPointer<QMdiSubWindow> target(sub);
    connect(action, &QAction::triggered, this, [this, target] {
      if (target) mdiArea_->setActiveSubWindow(target);
    });
    windowListActions_ << action;
  }
}

namespace {

// The children to arrange, the active one first, so it keeps the first place.
QList<QMdiSubWindow*> Arrangeable(QMdiArea* area) {
  QList<QMdiSubWindow*> list;
  const QList<QMdiSubWindow*> stacking = area->subWindowList(QMdiArea::StackingOrder);
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
    if ((*it)->isVisible() && !(*it)->isMinimized()) list << *it;
  }
  return list;
}

void Tile(QMdiArea* area, bool sideBySide) {
  const QList<QMdiSubWindow*> windows = Arrangeable(area);
  const int n = static_cast<int>(windows.size());
  if (n == 0) return;
  const QRect r = area->viewport()->rect();
  for (int i = 0; i < n; ++i) {
    QMdiSubWindow* sub = windows[i];
    if (sub->isMaximized()) sub->showNormal();
    if (sideBySide) {
      const int left = r.width() * i / n;
      const int right = r.width() * (i + 1) / n;
      sub->setGeometry(left, 0, right - left, r.height());
    } else {
      const int top = r.height() * i / n;
      const int bottom = r.height() * (i + 1) / n;
      sub->setGeometry(0, top, r.width(), bottom - top);
    }
  }
}

}  // namespace

void TMDIMainF::TileVertical() {
  Tile(mdiArea_, true);
  RedrawGraph();
}

void TMDIMainF::TileHorizontal() {
  Tile(mdiArea_, false);
  RedrawGraph();
}

void TMDIMainF::Cascade() {
  mdiArea_->cascadeSubWindows();
  RedrawGraph();
}

void TMDIMainF::ToggleToolBar() {
  const bool shown = !toolBar_->isEnabled();
  toolBar_->setEnabled(shown);
  toolBar_->setVisible(shown);
  ToggleToolBarAction->setText(shown ? "&Hide Tool Bar" : "&Show Tool Bar");
}

void TMDIMainF::ShowPreferences() {
  if (PreferF != nullptr) {
    HistoryRecorder step(workspace_, "Preferences");
    step.WatchSettings();
    PreferF->exec();
  }
  RedrawGraph();
}

void TMDIMainF::ShowAbout() {
  {
    TAboutF about(this);
    about.exec();
  }
  RedrawGraph();
}

void TMDIMainF::closeEvent(QCloseEvent* event) {
  if (!CloseQuery()) {
    event->ignore();
    return;
  }
  Closing = true;
  QMainWindow::closeEvent(event);
}

void TMDIMainF::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) {
    event->acceptProposedAction();
  }
}

void TMDIMainF::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) OpenDroppedOrRecent(url.toLocalFile());
  }
}

bool TMDIMainF::BelongsToFrame(const QObject* object) const {
  for (const QObject* o = object; o != nullptr; o = o->parent()) {
    if (o == this) return true;
  }
  return false;
}

bool TMDIMainF::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && BelongsToFrame(watched)) {
      ShowHelpKey(watched);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMDIMainF::ShowHelpKey(QObject* receiver) {
  int context = 0;
  QAction* item = nullptr;
  if (auto* menu = qobject_cast<QMenu*>(receiver)) {
    item = menu->activeAction();
    if (item == nullptr) item = menu->menuAction();
  } else if (auto* bar = qobject_cast<QMenuBar*>(receiver)) {
    item = bar->activeAction();
  }
  if (item != nullptr) context = item->property(kHelpContextProperty).toInt();
  if (context <= 0) context = HelpContextOf(static_cast<QWidget*>(receiver));
  if (context <= 0) context = 100;
  // The menu closes first, so the help window can take input.
  for (int i = 0; i < 8 && QApplication::activePopupWidget() != nullptr; ++i) {
    QApplication::activePopupWidget()->close();
  }
  prompts_.ShowHelp(context);
}

}  // namespace tavel
