#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <filesystem>

#include "ui/app/mdi_child.h"

class QAction;
class QFrame;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;

namespace tavel {

class Prompts;
class Workspace;
class TPreferF;
class TScaleF;
class TLogScaleF;
class TGridF;
class TTitleTF;
class TTitleXF;
class TTitleYF;
class TTitleSerF;
class TFitF;
class TFillF;
class TMath_XYF;
class TMathF;
class TGTypeF;
class TPrintCF;
class TCalcF;
class TTitleFlF;

// The menu group indexes of the frame's own menus.
constexpr int kFileGroup = 1;
constexpr int kPreferencesGroup = 3;
constexpr int kWindowGroup = 15;
constexpr int kHelpGroup = 20;

// Where to look for the condensed graph font file "abaexbc.ttf": the system's and the user's
// font folders.
QStringList FontFolders();
// True when a file named "abaexbc.ttf" (any case) lies in one of the folders or below.
bool CondensedFontFileIn(const QStringList& folders);

// The frame window: every data, text and graph window is its child. It owns the sixteen
// dialogs that live for the whole run.
class TMDIMainF : public QMainWindow {
  Q_OBJECT

 public:
  // An empty settingsPath means the executable's path with the extension ".cfg".
  TMDIMainF(Workspace& workspace, Prompts& prompts, std::filesystem::path settingsPath = {},
            QWidget* parent = nullptr);
  ~TMDIMainF() override;

  Workspace& workspace() const { return workspace_; }
  Prompts& prompts() const { return prompts_; }
  QMdiArea* mdiArea() const { return mdiArea_; }
  QFrame* toolBar() const { return toolBar_; }
  const QList<QToolButton*>& toolButtons() const { return toolButtons_; }
  const std::filesystem::path& settingsPath() const { return settingsPath_; }

  // Registries (the data windows' series live in the workspace's DataWindows).
  ChildClass ActiveChildClass = ChildClass::None;
  QPointer<QWidget> ActiveChild;
  QList<QWidget*> TextWindows;
  bool Closing = false;

  bool CondensedFontInstalled = false;
  QString HelpFile;
  QImage GraphBitmap;

  // The sixteen dialogs, created once by CreateDialogs in this order.
  TPreferF* PreferF = nullptr;
  TScaleF* ScaleF = nullptr;
  TLogScaleF* LogScaleF = nullptr;
  TGridF* GridF = nullptr;
  TTitleTF* TitleTF = nullptr;
  TTitleXF* TitleXF = nullptr;
  TTitleYF* TitleYF = nullptr;
  TTitleSerF* TitleSerF = nullptr;
  TFitF* FitF = nullptr;
  TFillF* FillF = nullptr;
  TMath_XYF* Math_XYF = nullptr;
  TMathF* MathF = nullptr;
  TGTypeF* GTypeF = nullptr;
  TPrintCF* PrintCF = nullptr;
  TCalcF* CalcF = nullptr;
  TTitleFlF* TitleFlF = nullptr;

  void CreateDialogs();
  // The sixteen dialogs in creation order (empty before CreateDialogs).
  QList<QDialog*> Dialogs() const;

  // Reads, checks and rewrites the settings file; shows the "incompatible format" box when it
  // cannot be read or written.
  void LoadSettings();

  // Adds a child window (a data, text or graph window) to the client area.
  QMdiSubWindow* AddChild(QWidget* child);

  // The frame's menus and the active child's, ordered by group index; a child menu replaces
  // the frame's menu of the same group. An empty list shows the frame's menus alone.
  void MergeChildMenus(const QList<MenuGroup>& childMenus);
  QList<MenuGroup> FrameMenus() const { return frameMenus_; }

  // Arrangement of the children; each ends with RedrawGraph.
  void TileVertical();
  void TileHorizontal();
  void Cascade();

  // Asked before the frame closes; false keeps it open.
  bool CloseQuery();
  // The graph window's redraw, when one is open.
  void RedrawGraph();
  // Start-up with a file named on the command line: read it as a graph file.
  void LoadGraphFileFromCommandLine(const QString& path);

  // Menu items and tool buttons, for tests and for the children's own menus.
  QAction* NewDataAction = nullptr;
  QAction* NewTextAction = nullptr;
  QAction* OpenAction = nullptr;
  QAction* ExitAction = nullptr;
  QAction* ToggleToolBarAction = nullptr;
  QAction* PreferencesAction = nullptr;
  QAction* TileVertAction = nullptr;
  QAction* TileHorzAction = nullptr;
  QAction* CascadeAction = nullptr;
  QAction* CloseAllAction = nullptr;
  QAction* ClearAllAction = nullptr;
  QAction* OverviewAction = nullptr;
  QAction* GettingStartedAction = nullptr;
  QAction* ContentsAction = nullptr;
  QAction* AboutAction = nullptr;

 public slots:
  void TrackActiveChild();

  void NewData();
  void NewText();
  void Open();
  void Exit();
  void CloseAll();
  void ClearAll();
  void ToggleToolBar();
  void ShowPreferences();
  void ShowAbout();
  void SaveGraph();
  void ViewGraph();
  void GraphScale();
  void GraphGrid();
  void Calculator();
  void Copy();
  void Paste();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenus();
  void CreateToolBar(QWidget* parent);
  void FillWindowList();
  void ShowHelpKey(QObject* receiver);
  bool BelongsToFrame(const QObject* object) const;

  Workspace& workspace_;
  Prompts& prompts_;
  std::filesystem::path settingsPath_;
  QMdiArea* mdiArea_ = nullptr;
  QFrame* toolBar_ = nullptr;
  QList<QToolButton*> toolButtons_;
  QList<MenuGroup> frameMenus_;
  QList<MenuGroup> childMenus_;
  QMenu* windowMenu_ = nullptr;
  QList<QAction*> windowListActions_;
};

}  // namespace tavel
