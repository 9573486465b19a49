#include "ui/graph/graph_window.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QResizeEvent>
#include <QScreen>
#include <exception>

#include "core/files/atomic_file.h"
#include "core/files/file_names.h"
#include "core/files/graph_file.h"
#include "core/files/save_as.h"
#include "core/graph/graph_zoom.h"
#include "core/scale/axis_scale.h"
#include "core/series/graph_settings.h"
#include "core/series/workspace.h"
#include "ui/app/help_viewer.h"
#include "ui/app/menu_items.h"
#include "ui/graph/export_dialog.h"
#include "ui/graph/graph_export.h"
#include "ui/graph/graph_host.h"
#include "ui/graph/graph_mouse.h"
#include "ui/graph/graph_output.h"

namespace tavel {

namespace {

constexpr char kNoName[] = "NoName.gra";

}  // namespace

// ---------------------------------------------------------------------------------------------

GraphImage::GraphImage(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphImage::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void GraphImage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, Qt::black);
  if (picture_.isNull()) return;
  const qreal ratio = picture_.devicePixelRatio();
  painter.drawImage(
      QRectF(area), picture_,
      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

// ---------------------------------------------------------------------------------------------

TGraphF::TGraphF(Workspace& workspace, Prompts& prompts, GraphHost& host, QWidget* parent)
    : QWidget(parent), workspace_(workspace), prompts_(prompts), host_(host) {
  GraphSettings& s = workspace_.Settings;
  SetHelpContext(this, 550);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  // Takes the focus when its sub-window is activated, so its own shortcuts (F3) reach it.
  setFocusPolicy(Qt::StrongFocus);

  Image1 = new GraphImage(this);
  Image1->setObjectName("Image1");
  Mouse = new GraphMouse(workspace_, Image1,
                         [this](const char* step, const auto& change) { Zoom(step, change); });

  CreateMenus();
  CreateContextMenu();
  UpdateCaption();
  placement_ = QRect(s.GraphLeft, s.GraphTop, s.GraphWidth, s.GraphHeight);
  resize(s.GraphWidth, s.GraphHeight);
  s.GraphJustCreated = true;
}

TGraphF::~TGraphF() {
  GraphSettings& s = workspace_.Settings;
  s.GraphLeft = placement_.left();
  s.GraphTop = placement_.top();
  s.GraphWidth = placement_.width();
  s.GraphHeight = placement_.height();
  host_.GraphWindowDestroyed(this);
}

QMdiSubWindow* TGraphF::CreateSubWindow(Workspace& workspace, Prompts& prompts, GraphHost& host,
                                        QMdiArea* area) {
  auto* window = new TGraphF(workspace, prompts, host);
  QMdiSubWindow* sub = NewChildSubWindow(window, 550, [window] { window->FormActivate(); });
  if (area) area->addSubWindow(sub);
  const GraphSettings& s = workspace.Settings;
  sub->setGeometry(s.GraphLeft, s.GraphTop, s.GraphWidth, s.GraphHeight);
  window->placement_ = sub->geometry();
  sub->installEventFilter(window);
  return sub;
}

QList<MenuGroup> TGraphF::MenuGroups() const {
  return {{kFileGroup, FileMenu}, {kEditGroup, EditMenu}, {kGraphGroup, GraphMenu}};
}

QMdiSubWindow* TGraphF::SubWindow() const {
  return SubWindowOf(this);
}

QSize TGraphF::OuterSize() const {
  const QMdiSubWindow* sub = SubWindow();
  return sub ? sub->size() : size();
}

QString TGraphF::CaptionFor(const std::string& graphFileName) {
  if (graphFileName == kNoName) return "Graph";
  return "Graph   -   " + QFileInfo(QString::fromStdString(graphFileName)).fileName().toUpper();
}

void TGraphF::UpdateCaption() {
  QString caption = CaptionFor(workspace_.Settings.GraphFileName);
  if (workspace_.SettingsModified()) caption += " *";
  setWindowTitle(caption);
  if (QMdiSubWindow* sub = SubWindow()) sub->setWindowTitle(caption);
}

// ---------------------------------------------------------------------------------------------
// Menus

void TGraphF::CreateMenus() {
  FileMenu = new QMenu("&File", this);
  SetHelpContext(FileMenu->menuAction(), 500);
  Open1 = AddNewAndOpenItems(FileMenu, host_, true);
  New1 = FileMenu->actions().at(0);
  NewText1 = FileMenu->actions().at(1);
  LocalShortcut(this, Open1);
  SaveGraph1 = AddCommandItem(FileMenu, "&Save Graph", 500, Command::SaveGraph);
  connect(SaveGraph1, &QAction::triggered, this, &TGraphF::SaveGraph);
  SaveBitmap1 = AddCommandItem(FileMenu, "Save &Bitmap", 500, Command::SaveBitmap);
  connect(SaveBitmap1, &QAction::triggered, this, &TGraphF::SaveBitmap);
  ExportGraph1 = AddMenuItem(FileMenu, "&Export Graph...", 500);
  connect(ExportGraph1, &QAction::triggered, this, &TGraphF::ExportGraphCommand);
  Close1 = AddMenuItem(FileMenu, "&Close Graph", 500);
  connect(Close1, &QAction::triggered, this, [this] { CloseChild(this); });
  PrintData1 = AddCommandItem(FileMenu, "Print &Data", 1300, Command::PrintData);
  connect(PrintData1, &QAction::triggered, this, [this] { host_.PrintData(); });
  PrintGraph1 = AddCommandItem(FileMenu, "&Print Graph", 1300, Command::PrintGraph);
  connect(PrintGraph1, &QAction::triggered, this, &TGraphF::PrintGraphCommand);
  PrintSetup1 = AddCommandItem(FileMenu, "P&rint Setup...", 1300, Command::PrintSetup);
  connect(PrintSetup1, &QAction::triggered, this, [this] { PrinterSetup(this, host_.Printer()); });
  Exit1 = AddCommandItem(FileMenu, "E&xit", 0, Command::Exit);
  connect(Exit1, &QAction::triggered, this, [this] { host_.Exit(); });

  // The graph has nothing to cut or paste; its Edit menu takes steps back and forth.
  EditMenu = new QMenu("&Edit", this);
  SetHelpContext(EditMenu->menuAction(), 400);
  AddUndoItems(this, EditMenu, Undo1, Redo1);
  connect(Undo1, &QAction::triggered, this, [this] { host_.UndoCommand(); });
  connect(Redo1, &QAction::triggered, this, [this] { host_.RedoCommand(); });
  host_.HistoryItemsCreated(Undo1, Redo1);

  GraphMenu = new QMenu("&Graph", this);
  SetHelpContext(GraphMenu->menuAction(), 550);
  AddGraphItems(GraphMenu, false);
  LegendMenu = AddLegendMenu(GraphMenu, {"L&egend", "&X Axis", "&Series", 900}, host_);
}

void TGraphF::CreateContextMenu() {
  PopupMenu1 = new QMenu(this);
  AddGraphItems(PopupMenu1, true);
  AddLegendMenu(PopupMenu1, {"&Legend", "&X Axis", "S&eries", 900}, host_);
  connect(AddCommandItem(PopupMenu1, "Sa&ve Graph", 500, Command::SaveGraph), &QAction::triggered,
          this, &TGraphF::SaveGraph);
  connect(AddCommandItem(PopupMenu1, "Save &Bitmap", 500, Command::SaveBitmap), &QAction::triggered,
          this, &TGraphF::SaveBitmap);
  connect(AddMenuItem(PopupMenu1, "&Copy Graph", 550), &QAction::triggered, this,
          &TGraphF::CopyGraph);
}

void TGraphF::AddGraphItems(QMenu* menu, bool withFit) {
  connect(AddCommandItem(menu, "&Auto Scale", 550, Command::AutoScale), &QAction::triggered, this,
          &TGraphF::AutoScale);
  connect(AddMenuItem(menu, "Zoom &Out", 550), &QAction::triggered, this, &TGraphF::ZoomOut);
  QAction* back = AddMenuItem(menu, "Zoom &Back", 550);
  connect(back, &QAction::triggered, this, &TGraphF::ZoomBack);
  connect(menu, &QMenu::aboutToShow, back,
          [this, back] { back->setEnabled(!zoomedFrom_.empty()); });
  AddGraphDialogItems(menu, host_);
  if (withFit) {
    connect(AddCommandItem(menu, "&Fit", 1400, Command::Fit), &QAction::triggered, this,
            [this] { host_.ShowFitDialog(); });
  }
}

// ---------------------------------------------------------------------------------------------
// Commands

void TGraphF::Redraw() {
  if (redrawing_) return;
  redrawing_ = true;
  GraphSettings& s = workspace_.Settings;
  QImage& bitmap = host_.GraphImage();

  const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  const QSize screenSize = shown != nullptr ? shown->geometry().size() : QSize(1024, 768);
  const std::int32_t screenClass = ScreenClassFor(screenSize.width());
  // On a high-resolution screen the pass draws at the device's pixels, with the same layout.
  const qreal ratio = devicePixelRatioF();
  if (screenClass != s.ScreenClass || bitmap.isNull() || bitmap.devicePixelRatio() != ratio) {
    bitmap =
        QImage(GraphBitmapSize(screenSize, host_.MenuBarHeight()) * ratio, QImage::Format_RGB32);
    bitmap.setDevicePixelRatio(ratio);
    s.ScreenClass = screenClass;
  }

  const QSize outer = OuterSize();
  s.GraphWidth = outer.width();
  s.GraphHeight = outer.height();
  try {
    const DrawResult result =
        DrawScreenImage(workspace_, bitmap,
                        {outer.width(), outer.height(), host_.MenuBarHeight(),
                         host_.CondensedFontAvailable(), Image1->width(), Image1->height()});
    Mouse->SetDrawn(result);
    // The pass drew for at least its minimum size; the window grows to match.
    if (result.WindowWidth > outer.width() || result.WindowHeight > outer.height()) {
      if (QMdiSubWindow* sub = SubWindow()) {
        sub->resize(result.WindowWidth, result.WindowHeight);
      } else {
        resize(result.WindowWidth, result.WindowHeight);
      }
    }
  } catch (const std::exception& e) {
    prompts_.ReportError(e.what());
  }
  Image1->SetPicture(bitmap);
  redrawing_ = false;
}

bool TGraphF::PrintGraph(QPrinter& printer) {
  // The printer pass wants a window of at least 100 x 100, as the screen pass wants its own
  // minimum.
  const QSize outer = OuterSize();
  if (outer.width() < 100 || outer.height() < 100) {
    const QSize grown = outer.expandedTo(QSize(100, 100));
    if (QMdiSubWindow* sub = SubWindow()) {
      sub->resize(grown);
    } else {
      resize(grown);
    }
  }
  return PrintSafely(printer, prompts_, [this](QPrinter& target) {
    return PrintGraphPage(workspace_, target, prompts_);
  });
}

void TGraphF::PrintGraphCommand() {
  QPrinter& printer = host_.Printer();
  PreparePrinter(printer, workspace_.Settings.GraphFileName);
  if (ConfirmPrint(this, printer)) PrintGraph(printer);
}

void TGraphF::SaveBitmap() {
  SaveBitmapAs(Image1->Picture(), workspace_.Settings, prompts_);
}

QImage TGraphF::ExportPicture(const ExportOptions& options) {
  const GraphSettings& s = workspace_.Settings;
  // The choices every window starts with give the picture the window shows, as they always did.
  if (options.width == s.GraphWidth && options.height == s.GraphHeight && options.dpi == 0 &&
      !options.paper && !options.smooth) {
    return CropPicture(Image1->Picture(), s.GraphWidth, s.GraphHeight);
  }
  return GraphPicture(workspace_, options);
}

void TGraphF::ExportGraphCommand() {
  const GraphSettings& s = workspace_.Settings;
  TExportF choices(prompts_, s.GraphWidth, s.GraphHeight, this);
  if (choices.exec() != QDialog::Accepted) return;
  const ExportOptions options = choices.Options();
  SaveAsRequest request;
  request.dialog.filters = {{"PNG Picture", "*.png"},
                            {"SVG Drawing", "*.svg"},
                            {"PDF Drawing", "*.pdf"},
                            {"Bitmap File", "*.bmp"}};
  request.dialog.defaultExtension = "png";
  request.dialog.fileName = WithoutExtension(s.GraphFileName);
  request.dialog.helpContext = 500;
  SaveAs(prompts_, request, [&](const std::string& path) {
    const auto format = ExportFormatOf(path);
    if (!format) {
      throw FileWriteError(path + ": give a name ending in .png, .svg, .pdf or .bmp");
    }
    if (*format == ExportFormat::Png || *format == ExportFormat::Bmp) {
      WriteImageFile(ExportPicture(options), path, *format == ExportFormat::Png ? "PNG" : "BMP");
    } else {
      ExportGraph(workspace_, options, path, *format);
    }
  });
}

void TGraphF::CopyGraph() {
  const GraphSettings& s = workspace_.Settings;
  const ExportOptions options = TExportF::LastOptions(s.GraphWidth, s.GraphHeight);
  auto* mime = new QMimeData;
  mime->setImageData(ExportPicture(options));
  mime->setData("image/svg+xml", GraphSvg(workspace_, options));
  QGuiApplication::clipboard()->setMimeData(mime);
}

bool TGraphF::SaveGraph() {
  if (SaveGraphAs(workspace_, prompts_) != SaveResult::Saved) return false;
  host_.FileUsed(workspace_.Settings.GraphFileName);
  UpdateCaption();
  Redraw();
  return true;
}

void TGraphF::AutoScale() {
  {
    HistoryRecorder step(workspace_, "Auto Scale");
    step.WatchSettings();
    AutoScaleGraph(workspace_);
  }
  Redraw();
}

void TGraphF::Zoom(const char* step, const std::function<bool()>& change) {
  GraphSettings& s = workspace_.Settings;
  const ScaleView before = TakeScaleView(s);
  bool changed = false;
  {
    HistoryRecorder recorder(workspace_, step);
    recorder.WatchSettings();
    changed = change();
  }
  if (!changed) {
    prompts_.Beep();
    return;
  }
  zoomedFrom_.push_back(before);
  Redraw();
}

void TGraphF::ZoomOut() {
  const DrawResult* drawn = Mouse->Drawn();
  if (drawn == nullptr) return;
  const PlotLayout& L = drawn->Layout;
  const DrawResult shown = *drawn;
  Zoom("Zoom Out", [&] {
    return ZoomAbout(workspace_, shown, L.PlotLeft + L.PlotWidth / 2.0,
                     L.PlotBottom - L.PlotHeight / 2.0, 2);
  });
}

void TGraphF::ZoomBack() {
  // A zoom taken back by Undo has nothing left to go back from.
  while (!zoomedFrom_.empty() && zoomedFrom_.back() == TakeScaleView(workspace_.Settings)) {
    zoomedFrom_.pop_back();
  }
  if (zoomedFrom_.empty()) return;
  const ScaleView view = zoomedFrom_.back();
  zoomedFrom_.pop_back();
  {
    HistoryRecorder recorder(workspace_, "Zoom Back");
    recorder.WatchSettings();
    ApplyScaleView(workspace_.Settings, view);
  }
  Redraw();
}

// ---------------------------------------------------------------------------------------------
// Window events

void TGraphF::FormActivate() {
  host_.TrackActiveChild();
  workspace_.Settings.GraphJustCreated = false;
}

void TGraphF::FormResize() {
  if (workspace_.Settings.GraphJustCreated || host_.FrameClosing()) return;
  Redraw();
}

void TGraphF::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Image1->setGeometry(rect());
  FormResize();
}

void TGraphF::contextMenuEvent(QContextMenuEvent* event) {
  PopupMenu1->exec(event->globalPos());
  event->accept();
}

bool TGraphF::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SubWindow() &&
      (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    // A minimized window's geometry is its icon's; the next window should not open as one.
    if (!(SubWindow()->windowState() & Qt::WindowMinimized)) placement_ = SubWindow()->geometry();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tavel
