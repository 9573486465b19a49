#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/platform/prompts.h"
#include "core/series/workspace.h"
#include "ui/app/dialog_hooks.h"
#include "ui/app/mdi_child.h"
#include "ui/app/menu_items.h"
#include "ui/app/texts.h"
#include "ui/datawin/data_window_host.h"
#include "ui/graph/graph_host.h"
#include "ui/platform/qt_clipboard.h"
#include "ui/text/text_window_host.h"

class QAction;
class QFrame;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolButton;

namespace tavel {

class Series;
class TSpreadF;
class TTextF;
class TPreferF;
class TScaleF;
class TLogScaleF;
class TGridF;
class TTitleTF;
class TTitleXF;
class TTitleYF;
class TTitleSerF;
class TFitF;
class TUserModelF;
class TFillF;
class TMath_XYF;
class TMathF;
class TGTypeF;
class TPrintCF;
class TCalcF;
class TTitleFlF;
struct RecoveryContents;

// The open dialog's filters, in their order: Data, Graph, Text, Any File as Text.
std::vector<FileFilter> OpenDialogFilters();
constexpr int kDataFilter = 1;
constexpr int kGraphFilter = 2;
constexpr int kTextFilter = 3;
constexpr int kAnyAsTextFilter = 4;
constexpr int kCsvFilter = 5;

// What "&Open" makes of a chosen file. Under the two text filters any file is text; under the
// data and graph filters the extension decides (FileKindOf), so "a.PRN" and "a.prnx" are data
// files whichever of the two was chosen.
enum class OpenKind { Nothing, DataFile, GraphFile, TextFile, CsvFile };
OpenKind OpenKindOf(const QString& path, int filterIndex);

std::string TextLimitMessage();

// The frame window: every data, text and graph window is its child. It owns the sixteen
// dialogs that live for the whole run.
//
// It watches the workspace: every series, whoever creates it (a command, a file reader,
// Duplicate), gets its data window here, and a series destroyed behind its window's back
// takes its window along.
class TMDIMainF : public QMainWindow,
                  public DataWindowHost,
                  public GraphHost,
                  public TextWindowHost,
                  public WorkspaceObserver {
  Q_OBJECT

 public:
  // An empty settingsPath means SettingsLocation of the executable.
  TMDIMainF(Workspace& workspace, Prompts& prompts, std::filesystem::path settingsPath = {},
            QWidget* parent = nullptr);
  // Destroying the frame destroys its windows and with them every series left open.
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
  // The one graph window, null while none is open.
  QPointer<QWidget> GraphWindow;
  // The open dialog's settings, kept for the whole run: the last file and the filter chosen.
  FileDialogOptions OpenDialog;

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
  TUserModelF* UserModelF = nullptr;
  TFillF* FillF = nullptr;
  TMath_XYF* Math_XYF = nullptr;
  TMathF* MathF = nullptr;
  TGTypeF* GTypeF = nullptr;
  TPrintCF* PrintCF = nullptr;
  TCalcF* CalcF = nullptr;
  TTitleFlF* TitleFlF = nullptr;

  void CreateDialogs();
  // What the settings dialogs reach the frame through: the active series, the graph window
  // and the fit dialog.
  DialogHooks FrameDialogHooks();
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
  // The windows as a recovery file kept them: every series and the settings, with their
  // names and unsaved state, and the text windows.
  void RestoreRecovery(RecoveryContents&& contents);
  // Start-up with a file named on the command line: read it as a graph file.
  void LoadGraphFileFromCommandLine(const QString& path);

  // Destroys the graph window, every data window from the last in DataWindows to the first,
  // without asking, and, when asked to, every text window from the last to the first.
  void CloseWindows(bool includeTextWindows);
  // The data window showing the series; null when it has none (any more).
  TSpreadF* DataWindowOf(const Series& series) const;
  // The active child as a data window, when it is one.
  TSpreadF* ActiveDataWindow() const;
  // The active child as a text window, when it is one.
  TTextF* ActiveTextWindow() const;

  // The per-series dialog loop every dialog with a "Next" button runs in. `show` shows the
  // dialog once, modally, for the active data window's series; its "Next" sets
  // NextSeriesRequested, and the loop then makes the data window of the next used series
  // number active (wrapping round, restoring minimised data windows it passes) and shows the
  // dialog again. Opened from the graph window, the loop starts at the lowest series and the
  // graph window is made active again and redrawn at the end; otherwise the graph is redrawn
  // at the end when `redrawAfter`. A request left by a dialog is never carried into the next
  // loop, and a series number that no window holds ends the loop.
  // Each showing is one step of the history, named `step`.
  void RunPerSeriesLoop(const char* step, const std::function<void()>& show,
                        bool redrawAfter = true);
  // Makes the data window of the series number active the way the loop does: the frame's next
  // child again and again, restoring minimised data windows on the way. False when no window
  // holds the number.
  bool ActivateSeriesWindow(std::int32_t seriesNumber);
  // The printer kept for the whole run, so the choices of "P&rint Setup..." hold for the next
  // print.
  QPrinter& Printer() override;

  // GraphHost (the commands and dialogs it shares with DataWindowHost are declared there).
  bool FrameClosing() const override { return Closing; }
  QImage& GraphImage() override { return GraphBitmap; }
  int MenuBarHeight() const override;
  bool CondensedFontAvailable() const override { return CondensedFontInstalled; }
  void GraphWindowDestroyed(QWidget* window) override {
    if (GraphWindow == window) GraphWindow = nullptr;
  }

  // TextWindowHost (Printer and PrintSetup are shared with the other hosts).
  void TextWindowCreated(QWidget* window) override;
  void TextWindowClosed(QWidget* window) override;
  // The platform's print dialog; virtual so window tests can confirm without a dialog.
  bool ConfirmPrintJob(QPrinter& printer) override;

  // WorkspaceObserver.
  void SeriesCreated(Series& series) override;
  void SeriesDestroyed(Series& series) override;

  // DataWindowHost (NewData, NewText, Open, Exit and TrackActiveChild are slots below).
  void RedrawGraph() override;
  // Brings the graph window to the front, or creates it when a data window exists; then
  // redraws it, which every caller wants next.
  void ShowGraphWindow() override;
  void DataWindowClosed() override;
  void SaveData(Series& series) override;
  void SaveBitmap() override;
  void PrintData() override;
  void PrintGraph() override;
  void PrintSetup() override;
  void ShowCalculator() override;
  void OperateOnCells() override;
  void FillCells() override;
  void XYOperations() override;
  void ShowFitDialog() override;
  void ClearFitCommand() override;
  void FitError() override;
  void AutoScale() override;
  void ShowScaleDialog() override;
  void ShowGridDialog() override;
  void ShowLogScaleDialog() override;
  void ShowGraphTypeDialog() override;
  void ShowMainTitleDialog() override;
  void ShowXTitleDialog() override;
  void ShowYTitleDialog() override;
  void ShowSeriesTitleDialog() override;
  void ShowFloatingTitlesDialog() override;
  void ShowPrinterColorDialog() override;
  void FitReportCommand() override;
  void ShowUserModelDialog() override;
  void UndoCommand() override;
  void RedoCommand() override;
  void HistoryItemsCreated(QAction* undo, QAction* redo) override;
  // Whether closing every window now would lose something: a change of a series, of the
  // settings or of a text window.
  bool AnythingUnsaved() const;

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
  void TrackActiveChild() override;
  void FileUsed(const std::string& path) override;

  void NewData() override;
  void NewText() override;
  void Open() override;
  void Exit() override;
  void CloseAll();
  void ClearAll();
  void ToggleToolBar();
  void ShowPreferences();
  void ShowAbout();
  // The tool button and the data window's "Save &Graph": shows and draws the graph first.
  void SaveGraph() override;
  void ViewGraph();
  void GraphScale();
  void GraphGrid();
  void Calculator();
  void Copy();
  void Paste();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  // The graph window's parts, virtual so window tests can stand a light window in its place.
  // Creates the graph window into GraphWindow (GraphJustCreated is already set).
  virtual void CreateGraphWindow();
  // One drawing pass into the open graph window.
  virtual void RedrawGraphWindow();
  // The graph window's "Save Graph" command, which asks for the path. True when the file was
  // written.
  virtual bool GraphWindowSaveGraph();
  // A new text window, empty or holding the file; a file that cannot be read is reported and
  // leaves no window.
  // False when the file could not be read (no window stays).
  virtual bool CreateTextWindow(const QString& path);

 private:
  void CreateMenus();
  // Undo (back) or redo: the active text window's own, or the program's history.
  void StepHistory(bool back);
  // The history changed: the items name the next step, the captions mark what is unsaved.
  void HistoryChanged();
  // A dialog of settings, shown as one step; the graph is redrawn after it.
  void SettingsStep(const char* step, const std::function<void()>& show);
  void CreateToolBar(QWidget* parent);
  void FillWindowList();
  void ShowHelpKey(QObject* receiver);
  bool BelongsToFrame(const QObject* object) const;
  // While a child's menu replaces one of the frame's, the replaced menu's short cuts are off:
  // two actions on one key would make Qt treat the key as ambiguous and run neither.
  void SetMenuShortcutsActive(QMenu* menu, bool active);
  bool AnyDataWindow() const { return !workspace_.DataWindows.empty(); }
  bool AnyDataOrTextWindow() const { return AnyDataWindow() || !TextWindows.isEmpty(); }
  bool TextLimitReached();
  // Data files and CSV files alike.
  void OpenDataFileCommand(const std::string& path);
  // What "&Open" does with a chosen file under the filter.
  void OpenPath(const QString& path, int filterIndex);
  // A file dropped on the frame or chosen from the recent files: by its name, with the same
  // questions as "&Open".
  void OpenDroppedOrRecent(const QString& path);
  void OpenRecentFile(const QString& path);
  // The last five files opened or saved, listed in the frame's "&File" menu.
  void NoteRecentFile(const std::string& path);
  void FillRecentFiles();
  // Writes the list beside the settings file and shows it in the menu.
  void StoreRecentFiles();
  // Loading a graph file, for "&Open" and the command line: the whole file is read first; a
  // file that cannot be read shows the "incompatible format" box and changes nothing. Otherwise
  // the graph window and the data windows are closed, the file's series and settings taken
  // over, the graph window shown and the windows tiled side by side.
  // False when the file was refused; everything is then as it was.
  bool LoadGraphFile(const QString& path);
  void DestroyChild(QWidget* child);
  // "Save & Exit": every text window whose text changed is saved through its own Save. False
  // when one of the saves was cancelled or failed.
  bool SaveChangedTextWindows();

  Workspace& workspace_;
  Prompts& prompts_;
  QtClipboard clipboard_;
  std::unique_ptr<QPrinter> printer_;
  // Set while the destructor takes the windows down: they may no longer call back.
  bool tearingDown_ = false;
  std::filesystem::path settingsPath_;
  QMdiArea* mdiArea_ = nullptr;
  QFrame* toolBar_ = nullptr;
  QList<QToolButton*> toolButtons_;
  QList<MenuGroup> frameMenus_;
  QList<MenuGroup> childMenus_;
  QMenu* windowMenu_ = nullptr;
  QMenu* fileMenu_ = nullptr;
  std::vector<std::string> recentFiles_;
  QList<QAction*> recentActions_;
  QList<QAction*> windowListActions_;
  QList<QPointer<QAction>> undoItems_, redoItems_;
};

}  // namespace tavel
