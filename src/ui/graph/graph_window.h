#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/scale/zoom.h"
#include "ui/app/mdi_child.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;

namespace tavel {

class GraphHost;
struct ExportOptions;
class GraphMouse;
class Prompts;
class Workspace;

// Image1: shows the top-left part of its picture on black; never scrolls.
class GraphImage : public QWidget {
  Q_OBJECT

 public:
  explicit GraphImage(QWidget* parent = nullptr);

  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

// The graph window: owns nothing but its picture. Every redraw runs the drawing pass over all
// series into the frame's off-screen image and shows it; its menus hand the dialogs and the
// frame's commands on to the host.
//
// It lives in a QMdiSubWindow (CreateSubWindow), whose outer geometry is the window's
// placement: taken from GraphLeft, GraphTop, GraphWidth and GraphHeight when it is made and
// stored back when it is destroyed.
class TGraphF : public QWidget, public MdiChild {
  Q_OBJECT

 public:
  TGraphF(Workspace& workspace, Prompts& prompts, GraphHost& host, QWidget* parent = nullptr);
  ~TGraphF() override;

  // The window in a new sub-window that deletes itself when closed, placed from the settings
  // and added to the area when one is given; not shown. GraphJustCreated is set.
  static QMdiSubWindow* CreateSubWindow(Workspace& workspace, Prompts& prompts, GraphHost& host,
                                        QMdiArea* area = nullptr);

  ChildClass Class() const override { return ChildClass::GraphWindow; }
  // File 1, Graph 7.
  QList<MenuGroup> MenuGroups() const override;

  QMdiSubWindow* SubWindow() const;
  // The outer size, as the frame places it: the sub-window's when there is one.
  QSize OuterSize() const;

  // "Graph", or "Graph   -   " and the graph file's name in capitals.
  static QString CaptionFor(const std::string& graphFileName);
  void UpdateCaption();

  // The screen pass (shows the result); the printer pass onto a prepared printer; the print
  // dialog followed by the printer pass when confirmed.
  void Redraw();
  bool PrintGraph(QPrinter& printer);
  void PrintGraphCommand();
  void SaveBitmap();
  // "&Export Graph...": the choices of size, colours and smoothing, then PNG, SVG, PDF or BMP
  // by the name chosen, through the save dialog.
  void ExportGraphCommand();
  // "&Copy Graph": what the export would write with the last choices, as a picture (PNG) and a
  // drawing (SVG), onto the clipboard.
  void CopyGraph();
  // "&Save Graph": the save dialog loop; once the file is written the caption names it and
  // the graph is redrawn. True when the file was written.
  bool SaveGraph();
  void AutoScale();
  // "Zoom &Out": every axis in use twice as wide about the plot's centre. "Zoom &Back": the
  // scales before the last zoom. Each zoom, by these or by the mouse, is one step to undo.
  void ZoomOut();
  void ZoomBack();
  void Zoom(const char* step, const std::function<bool()>& change);

  GraphImage* Image1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QMenu* FileMenu = nullptr;
  QMenu* GraphMenu = nullptr;
  QMenu* EditMenu = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Redo1 = nullptr;
  QMenu* LegendMenu = nullptr;
  GraphMouse* Mouse = nullptr;

  QAction* New1 = nullptr;
  QAction* NewText1 = nullptr;
  QAction* Open1 = nullptr;
  QAction* SaveGraph1 = nullptr;
  QAction* SaveBitmap1 = nullptr;
  QAction* ExportGraph1 = nullptr;
  QAction* Close1 = nullptr;
  QAction* PrintData1 = nullptr;
  QAction* PrintGraph1 = nullptr;
  QAction* PrintSetup1 = nullptr;
  QAction* Exit1 = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The picture the export writes: the window's own while the choices are the window's.
  QImage ExportPicture(const ExportOptions& options);
  void CreateMenus();
  void CreateContextMenu();
  // The "&Graph" items, shared by the menu and the context menu ("&Fit" only in the latter).
  void AddGraphItems(QMenu* menu, bool withFit);

  void FormActivate();
  void FormResize();

  Workspace& workspace_;
  Prompts& prompts_;
  GraphHost& host_;
  // The placement as last seen, kept up to date because the sub-window is already half gone
  // by the time this window's destructor runs.
  QRect placement_;
  bool redrawing_ = false;
  // The scales before each zoom, the last one last.
  std::vector<ScaleView> zoomedFrom_;
};

}  // namespace tavel
