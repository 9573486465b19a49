// The frame's window commands: creating, opening and closing windows, the close query, the
// tool buttons, and everything a data window hands on to its frame.
#include <QAction>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <exception>
#include <new>
#include <tuple>

#include "core/cells/clipboard_text.h"
#include "core/files/atomic_file.h"
#include "core/files/csv_file.h"
#include "core/files/plain_data_file.h"
#include "core/files/recovery_file.h"
#include "core/files/data_file.h"
#include "core/files/file_names.h"
#include "core/files/graph_file.h"
#include "core/files/recent_files.h"
#include "core/files/settings_file.h"
#include "core/fit/fit_choice.h"
#include "core/fit/fit_report.h"
#include "core/scale/axis_scale.h"
#include "core/series/history.h"
#include "core/series/series.h"
#include "ui/app/help_viewer.h"
#include "ui/app/main_frame.h"
#include "ui/calc/calc_dialog.h"
#include "ui/cells/fill_dialog.h"
#include "ui/cells/math_dialog.h"
#include "ui/cells/math_xy_dialog.h"
#include "ui/datawin/data_print_output.h"
#include "ui/datawin/data_window.h"
#include "ui/dialogs/graph_type_dialog.h"
#include "ui/dialogs/printer_color_dialog.h"
#include "ui/dialogs/title_dialogs.h"
#include "ui/fit/fit_dialog.h"
#include "ui/fit/user_model_dialog.h"
#include "ui/graph/graph_output.h"
#include "ui/graph/graph_window.h"
#include "ui/scale/grid_dialog.h"
#include "ui/scale/log_scale_dialog.h"
#include "ui/scale/scale_dialog.h"
#include "ui/text/text_window.h"

namespace tavel {

namespace {

QMdiSubWindow* SubWindowOf(QWidget* child) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(child)) return sub;
  return child != nullptr ? qobject_cast<QMdiSubWindow*>(child->parentWidget()) : nullptr;
}

TGraphF* GraphOf(QWidget* window) {
  return qobject_cast<TGraphF*>(window);
}

}  // namespace

std::vector<FileFilter> OpenDialogFilters() {
  return {{"Data File", "*.prn *.dat *.txt *.csv *.tsv *.xy *.asc *.out"},
          {"Graph File", "*.gra"},
          {"Text File", "*.txt"},
          {"Any File as Text", "*.*"},
          {"CSV File", "*.csv *.tsv"}};
}

OpenKind OpenKindOf(const QString& path, int filterIndex) {
  if (filterIndex == kTextFilter || filterIndex == kAnyAsTextFilter) return OpenKind::TextFile;
  if (IsCsvFileName(path.toStdString())) return OpenKind::CsvFile;
  switch (FileKindOf(path.toStdString())) {
    case FileKind::DataFile:
      return OpenKind::DataFile;
    case FileKind::GraphFile:
      return OpenKind::GraphFile;
    case FileKind::Other:
      // Plain text from instruments and scripts comes under any name; its content decides.
      if (filterIndex == kGraphFilter) break;
      return OpenKind::DataFile;
  }
  return OpenKind::Nothing;
}

std::string TextLimitMessage() {
  return "Sorry the number of Text files is LIMITED to " + std::to_string(MaxTextWindows) + ".";
}

// ---------------------------------------------------------------------------------------------
// Data windows come and go with their series

void TMDIMainF::SeriesCreated(Series& series) {
  if (tearingDown_) return;
  QMdiSubWindow* sub = TSpreadF::CreateSubWindow(series, *this, clipboard_, mdiArea_);
  sub->show();
  mdiArea_->setActiveSubWindow(sub);
}

void TMDIMainF::SeriesDestroyed(Series& series) {
  // A window that destroys its own series has let go of it already; this is for series
  // destroyed elsewhere (a graph file load, a file that could not be read).
  TSpreadF* window = DataWindowOf(series);
  if (window == nullptr) return;
  window->ForgetSeries();
  window->CloseData();
  DataWindowClosed();
}

TSpreadF* TMDIMainF::DataWindowOf(const Series& series) const {
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
    auto* window = qobject_cast<TSpreadF*>(sub->widget());
    if (window != nullptr && window->series() == &series) return window;
  }
  return nullptr;
}

TSpreadF* TMDIMainF::ActiveDataWindow() const {
  if (ActiveChildClass != ChildClass::DataWindow) return nullptr;
  return qobject_cast<TSpreadF*>(ActiveChild.data());
}

void TMDIMainF::DataWindowClosed() {
  if (Closing || !GraphWindow) return;
  if (AnyDataWindow()) {
    RedrawGraph();
  } else {
    QWidget* graph = GraphWindow;
    GraphWindow = nullptr;
    DestroyChild(graph);
  }
}

void TMDIMainF::DestroyChild(QWidget* child) {
  if (child == nullptr) return;
  QWidget* target = SubWindowOf(child);
  if (target == nullptr) target = child;
  // Its own close runs (a window may keep its placement), but it goes whatever it answers.
  target->close();
  target->deleteLater();
}

void TMDIMainF::CloseWindows(bool includeTextWindows) {
  if (GraphWindow) {
    QWidget* graph = GraphWindow;
    GraphWindow = nullptr;
    DestroyChild(graph);
  }
  // A copy: every close takes its series out of DataWindows.
  const std::vector<Series*> series = workspace_.DataWindows;
  for (auto it = series.rbegin(); it != series.rend(); ++it) {
    if (TSpreadF* window = DataWindowOf(**it)) {
      window->CloseWithoutQuestion();
    } else {
      workspace_.DestroySeries(**it);
    }
  }
  if (includeTextWindows) {
    while (!TextWindows.isEmpty()) {
      QWidget* window = TextWindows.takeLast();
      if (auto* text = qobject_cast<TTextF*>(window)) {
        text->CloseWithoutQuestion();
      } else {
        DestroyChild(window);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Window commands

void TMDIMainF::NewData() {
  if (workspace_.SeriesLimitReached()) {
    prompts_.Beep();
    prompts_.ErrorBox(SeriesLimitMessage());
    return;
  }
  workspace_.Settings.NextDataSize = workspace_.Settings.MaxDataIndex;
  HistoryRecorder step(workspace_, "New Data");
  workspace_.CreateSeries();
  workspace_.SortDataWindows();
}

bool TMDIMainF::TextLimitReached() {
  if (TextWindows.size() < MaxTextWindows) return false;
  prompts_.Beep();
  prompts_.ErrorBox(TextLimitMessage());
  return true;
}

void TMDIMainF::NewText() {
  if (TextLimitReached()) return;
  CreateTextWindow({});
}

void TMDIMainF::Open() {
  const auto chosen = prompts_.OpenFileName(OpenDialog);
  if (!chosen) return;
  // The next time the dialog opens where this file lies.
  OpenDialog.fileName = *chosen;
  OpenPath(QString::fromStdString(*chosen), OpenDialog.filterIndex);
}

void TMDIMainF::OpenPath(const QString& path, int filterIndex) {
  switch (OpenKindOf(path, filterIndex)) {
    case OpenKind::TextFile:
      if (TextLimitReached()) return;
      if (CreateTextWindow(path)) NoteRecentFile(path.toStdString());
      return;
    case OpenKind::DataFile:
    case OpenKind::CsvFile:
      OpenDataFileCommand(path.toStdString());
      return;
    case OpenKind::GraphFile:
      if (AnyDataWindow() && workspace_.AnythingUnsaved() &&
          !prompts_.AskYesAbort(kDataLossQuestion)) {
        return;
      }
      if (LoadGraphFile(path)) NoteRecentFile(path.toStdString());
      return;
    case OpenKind::Nothing:
      return;
  }
}

void TMDIMainF::OpenDroppedOrRecent(const QString& path) {
  // As "&Open" would open it under the data filter: by the name; text files as text.
  const bool text = QFileInfo(path).suffix().compare("txt", Qt::CaseInsensitive) == 0;
  OpenPath(path, text ? kTextFilter : kDataFilter);
}

void TMDIMainF::NoteRecentFile(const std::string& path) {
  std::string absolute = path;
  std::error_code error;
  const auto full = std::filesystem::absolute(path, error);
  if (!error) absolute = full.lexically_normal().string();
  tavel::NoteRecentFile(recentFiles_, absolute);
  StoreRecentFiles();
}

void TMDIMainF::StoreRecentFiles() {
  try {
    SaveRecentFiles(RecentFilesPath(settingsPath_), recentFiles_);
  } catch (const std::exception&) {
    // The list is a convenience: a folder that cannot be written keeps it for this run only,
    // without a message at every open and save.
  }
  FillRecentFiles();
}

void TMDIMainF::FileUsed(const std::string& path) {
  NoteRecentFile(path);
  // A graph file written holds every series: none is unsaved any more.
  HistoryChanged();
}

void TMDIMainF::FillRecentFiles() {
  for (QAction* action : recentActions_) {
    fileMenu_->removeAction(action);
    delete action;
  }
  recentActions_.clear();
  if (recentFiles_.empty()) return;
  int number = 0;
  for (const std::string& file : recentFiles_) {
    auto* action =
        new QAction(QString("&%1 %2").arg(++number).arg(QString::fromStdString(file)), fileMenu_);
    SetHelpContext(action, 500);
    fileMenu_->insertAction(ExitAction, action);
    const QString path = QString::fromStdString(file);
    connect(action, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    recentActions_ << action;
  }
  recentActions_ << fileMenu_->insertSeparator(ExitAction);
}

void TMDIMainF::OpenRecentFile(const QString& path) {
  if (!QFileInfo::exists(path)) {
    recentFiles_.erase(std::remove(recentFiles_.begin(), recentFiles_.end(), path.toStdString()),
                       recentFiles_.end());
    StoreRecentFiles();
    prompts_.ErrorBox("The file " + path.toStdString() + " no longer exists.");
    return;
  }
  OpenDroppedOrRecent(path);
}

void TMDIMainF::OpenDataFileCommand(const std::string& path) {
  CsvOpenResult opened;
  // Undoing the open closes the windows it made.
  HistoryRecorder step(workspace_, "Open");
  try {
    opened = OpenDataFileByName(workspace_, path);
  } catch (const std::exception& e) {
    prompts_.ReportError(e.what());
    return;
  }
  // The reader names the file in the captions after filling the grids.
  for (Series* series : opened.created) {
    if (TSpreadF* window = DataWindowOf(*series)) window->UpdateCaption();
  }
  if (opened.failed) {
    prompts_.ErrorBox(opened.FailureText(path));
    // Through its normal close, with its question; the other new windows keep what was read.
    if (Series* last = opened.LastCreated()) {
      if (TSpreadF* window = DataWindowOf(*last)) window->CloseData();
    }
  } else if (!opened.created.empty()) {
    NoteRecentFile(path);
  } else if (IsCsvFileName(path) && !opened.limitReached) {
    prompts_.ErrorBox("The file " + path + " holds no rows of numbers.");
  }
  // Cells that held no number, lines skipped, lines cut short: one message for each kind.
  for (const std::string& note : ReadingNotes(opened, path)) prompts_.ErrorBox(note);
  RedrawGraph();
}

bool TMDIMainF::LoadGraphFile(const QString& path) {
  GraphSettings& settings = workspace_.Settings;
  const std::string name = path.toStdString();
  // Nothing is closed before the whole file has been read: a file that fails leaves the
  // windows, the settings and GraphFileName as the user had them, so the next "Save Graph"
  // cannot replace the file with what little was read of it.
  std::string why;
  auto contents = ParseGraphFile(name, &why);
  if (!contents) {
    prompts_.ErrorBox(IncompatibleFormatText(name) + "\n(" + why + ")");
    return false;
  }
  CloseWindows(false);
  try {
    ApplyGraphFile(workspace_, std::move(*contents), name);
  } catch (const std::bad_alloc&) {
    // The rows were measured against the free memory, yet it ran out: nothing half filled stays.
    workspace_.DestroyAllSeries();
    prompts_.ErrorBox(IncompatibleFormatText(name));
    return false;
  }
  settings.GraphLoadFailed = false;
  ShowGraphWindow();
  TileVertical();
  settings.GraphJustCreated = false;
  return true;
}

void TMDIMainF::RestoreRecovery(RecoveryContents&& contents) {
  CloseWindows(true);
  std::vector<RecoveredText> texts = std::move(contents.texts);
  ApplyRecovery(workspace_, std::move(contents));
  for (const RecoveredText& text : texts) {
    if (TextLimitReached()) break;
    if (!CreateTextWindow({})) continue;
    if (auto* window = qobject_cast<TTextF*>(TextWindows.last())) {
      window->SetContents(QString::fromStdString(text.path), QString::fromStdString(text.text),
                          text.modified);
    }
  }
  if (AnyDataWindow()) {
    ShowGraphWindow();
    TileVertical();
  }
  workspace_.Settings.GraphJustCreated = false;
  HistoryChanged();
}

void TMDIMainF::LoadGraphFileFromCommandLine(const QString& path) {
  LoadGraphFile(path);
}

void TMDIMainF::Exit() {
  close();
}

bool TMDIMainF::AnythingUnsaved() const {
  if (workspace_.AnythingUnsaved()) return true;
  return std::any_of(TextWindows.begin(), TextWindows.end(), [](QWidget* window) {
    const auto* text = qobject_cast<TTextF*>(window);
    return text != nullptr && text->Modified();
  });
}

void TMDIMainF::CloseAll() {
  if (!AnyDataOrTextWindow()) return;
  if (!AnythingUnsaved() || prompts_.AskYesAbort(kDataLossQuestion)) CloseWindows(true);
}

void TMDIMainF::ClearAll() {
  if (AnyDataOrTextWindow()) {
    if (AnythingUnsaved() && !prompts_.AskYesAbort(kDataLossQuestion)) return;
    CloseWindows(true);
  }
  workspace_.history().Clear();
  workspace_.Settings.ResetGraphSettings();
  workspace_.Settings.GraphFileName = "NoName.gra";
  LoadSettings();
}

bool TMDIMainF::CloseQuery() {
  if (!AnyDataOrTextWindow()) return true;
  if (!AnythingUnsaved()) {
    CloseWindows(true);
    return true;
  }
  switch (prompts_.AskYesNoCancel(kExitQuestion)) {
    case Answer::Yes:
      if (!SaveChangedTextWindows()) return false;
      if (AnyDataWindow() && workspace_.AnythingUnsaved()) {
        if (!GraphWindow) ShowGraphWindow();
        // A save cancelled or failed is no save: closing now would lose every series.
        if (!GraphWindowSaveGraph()) return false;
      }
      CloseWindows(true);
      return true;
    case Answer::No:
      CloseWindows(true);
      return true;
    default:
      return false;
  }
}

void TMDIMainF::RedrawGraph() {
  if (GraphWindow) RedrawGraphWindow();
}

void TMDIMainF::ShowGraphWindow() {
  if (GraphWindow) {
    if (QMdiSubWindow* sub = SubWindowOf(GraphWindow)) mdiArea_->setActiveSubWindow(sub);
    GraphWindow->raise();
  } else if (AnyDataWindow()) {
    workspace_.Settings.GraphJustCreated = true;
    CreateGraphWindow();
  }
  RedrawGraph();
}

// ---------------------------------------------------------------------------------------------
// Tool buttons

void TMDIMainF::SaveGraph() {
  if (!AnyDataWindow()) return;
  ShowGraphWindow();
  GraphWindowSaveGraph();
}

void TMDIMainF::ViewGraph() {
  if (AnyDataWindow()) ShowGraphWindow();
}

void TMDIMainF::GraphScale() {
  if (!AnyDataWindow()) return;
  ShowGraphWindow();
  ShowScaleDialog();
}

void TMDIMainF::GraphGrid() {
  if (!AnyDataWindow()) return;
  ShowGraphWindow();
  ShowGridDialog();
}

void TMDIMainF::Calculator() {
  ShowCalculator();
}

void TMDIMainF::Copy() {
  if (TSpreadF* window = ActiveDataWindow()) {
    window->Copy();
  } else if (TTextF* text = ActiveTextWindow()) {
    text->Copy();
  } else {
    prompts_.Beep();
  }
}

void TMDIMainF::Paste() {
  if (TSpreadF* window = ActiveDataWindow()) {
    window->PasteCells();
  } else if (TTextF* text = ActiveTextWindow()) {
    text->Paste();
  } else {
    prompts_.Beep();
  }
}

// ---------------------------------------------------------------------------------------------
// What data windows hand on

void TMDIMainF::SaveData(Series& series) {
  if (SaveDataAs(series, prompts_) == SaveResult::Saved) NoteRecentFile(series.FileName);
  if (TSpreadF* window = DataWindowOf(series)) window->UpdateCaption();
}

void TMDIMainF::AutoScale() {
  {
    HistoryRecorder step(workspace_, "Auto Scale");
    step.WatchSettings();
    AutoScaleGraph(workspace_);
  }
  ShowGraphWindow();
}

void TMDIMainF::SettingsStep(const char* step, const std::function<void()>& show) {
  {
    HistoryRecorder recorder(workspace_, step);
    recorder.WatchSettings();
    show();
  }
  RedrawGraph();
}

void TMDIMainF::ShowScaleDialog() {
  SettingsStep("Scale", [this] {
    if (ScaleF != nullptr) ScaleF->Execute();
  });
}

void TMDIMainF::ShowGridDialog() {
  SettingsStep("Grid", [this] {
    if (GridF != nullptr) GridF->Execute();
  });
}

QPrinter& TMDIMainF::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  return *printer_;
}

void TMDIMainF::PrintSetup() {
  tavel::PrinterSetup(this, Printer());
}

void TMDIMainF::SaveBitmap() {
  ShowGraphWindow();
  if (TGraphF* graph = GraphOf(GraphWindow)) graph->SaveBitmap();
}

void TMDIMainF::PrintData() {
  // From the graph window as from a data window: every series, in DataWindows order.
  if (!AnyDataWindow()) return;
  QPrinter& printer = Printer();
  PreparePrinter(printer, workspace_.Settings.GraphFileName);
  if (!ConfirmPrintJob(printer)) return;
  PrintSafely(printer, prompts_,
              [this](QPrinter& target) { return PrintDataJob(workspace_, target, prompts_); });
}

bool TMDIMainF::ConfirmPrintJob(QPrinter& printer) {
  return ConfirmPrint(this, printer);
}

// ---------------------------------------------------------------------------------------------
// Text windows

bool TMDIMainF::CreateTextWindow(const QString& path) {
  QMdiSubWindow* sub = TTextF::CreateSubWindow(*this, prompts_, clipboard_, mdiArea_);
  auto* window = static_cast<TTextF*>(sub->widget());
  if (!path.isEmpty()) {
    try {
      window->Open(path);
    } catch (const std::exception& e) {
      prompts_.ReportError(e.what());
      window->CloseWithoutQuestion();
      return false;
    }
  }
  sub->show();
  mdiArea_->setActiveSubWindow(sub);
  window->setFocus();
  return true;
}

void TMDIMainF::TextWindowCreated(QWidget* window) {
  if (!TextWindows.contains(window)) TextWindows << window;
}

void TMDIMainF::TextWindowClosed(QWidget* window) {
  TextWindows.removeAll(window);
}

TTextF* TMDIMainF::ActiveTextWindow() const {
  if (ActiveChildClass != ChildClass::TextWindow) return nullptr;
  return qobject_cast<TTextF*>(ActiveChild.data());
}

bool TMDIMainF::SaveChangedTextWindows() {
  // A copy: a save may not change the list, but nothing here should depend on that.
  const QList<QWidget*> windows = TextWindows;
  for (QWidget* window : windows) {
    auto* text = qobject_cast<TTextF*>(window);
    if (text == nullptr || !text->Modified()) continue;
    if (QMdiSubWindow* sub = SubWindowOf(text)) mdiArea_->setActiveSubWindow(sub);
    if (text->Save() != SaveResult::Saved) return false;
  }
  return true;
}

void TMDIMainF::PrintGraph() {
  ShowGraphWindow();
  if (TGraphF* graph = GraphOf(GraphWindow)) graph->PrintGraphCommand();
}

void TMDIMainF::CreateGraphWindow() {
  QMdiSubWindow* sub = TGraphF::CreateSubWindow(workspace_, prompts_, *this, mdiArea_);
  GraphWindow = sub->widget();
  // Showing activates it: its menus merge and GraphJustCreated clears.
  sub->show();
}

void TMDIMainF::RedrawGraphWindow() {
  if (TGraphF* graph = GraphOf(GraphWindow)) graph->Redraw();
}

bool TMDIMainF::GraphWindowSaveGraph() {
  TGraphF* graph = GraphOf(GraphWindow);
  return graph != nullptr && graph->SaveGraph();
}

void TMDIMainF::ShowCalculator() {
  if (CalcF != nullptr) CalcF->ShowOver(nullptr);
}

void TMDIMainF::OperateOnCells() {
  if (MathF == nullptr) return;
  // The dialog is modal: a calculator left open would be blocked behind it. Closing it saves
  // its stack, and "Calculator" in the dialog brings it back usable.
  if (CalcF != nullptr && CalcF->isVisible()) CalcF->close();
  RunPerSeriesLoop("Operate on Cells", [this] {
    if (TSpreadF* window = ActiveDataWindow()) MathF->Execute(*window);
  });
}

void TMDIMainF::FillCells() {
  if (FillF == nullptr) return;
  RunPerSeriesLoop("Fill Cells", [this] {
    if (TSpreadF* window = ActiveDataWindow()) FillF->Execute(*window);
  });
}

void TMDIMainF::XYOperations() {
  if (Math_XYF == nullptr) return;
  RunPerSeriesLoop("X & Y Operations", [this] {
    if (TSpreadF* window = ActiveDataWindow()) Math_XYF->Execute(*window);
  });
}

void TMDIMainF::ShowFitDialog() {
  if (FitF != nullptr) RunPerSeriesLoop("Fit", [this] { FitF->exec(); });
}

void TMDIMainF::ShowUserModelDialog() {
  if (UserModelF != nullptr) RunPerSeriesLoop("User Model", [this] { UserModelF->exec(); });
}

void TMDIMainF::ClearFitCommand() {
  const TSpreadF* window = ActiveDataWindow();
  if (window == nullptr || window->series() == nullptr) return;
  {
    HistoryRecorder step(workspace_, "Clear Fit");
    step.Watch(*window->series());
    ClearFitAndGraphType(*window->series());
  }
  RedrawGraph();
}

void TMDIMainF::FitError() {
  const TSpreadF* window = ActiveDataWindow();
  if (window == nullptr || window->series() == nullptr) return;
  // A listing changes only the cells; a refused fit is gone, and the graph shows that.
  const FitErrorOutcome outcome = [&] {
    HistoryRecorder step(workspace_, "Fit Error %");
    step.Watch(*window->series());
    return ListFitError(*window->series());
  }();
  if (outcome == FitErrorOutcome::Refused) RedrawGraph();
}

void TMDIMainF::ShowLogScaleDialog() {
  SettingsStep("Log Scale", [this] {
    if (LogScaleF != nullptr) LogScaleF->exec();
  });
}

void TMDIMainF::ShowGraphTypeDialog() {
  if (GTypeF != nullptr) RunPerSeriesLoop("Graph Type", [this] { GTypeF->exec(); });
}

void TMDIMainF::ShowMainTitleDialog() {
  SettingsStep("Main Title", [this] {
    if (TitleTF != nullptr) TitleTF->exec();
  });
}

void TMDIMainF::ShowXTitleDialog() {
  SettingsStep("X Title", [this] {
    if (TitleXF != nullptr) TitleXF->exec();
  });
}

void TMDIMainF::ShowYTitleDialog() {
  SettingsStep("Y Title", [this] {
    if (TitleYF != nullptr) TitleYF->exec();
  });
}

void TMDIMainF::ShowSeriesTitleDialog() {
  if (TitleSerF != nullptr) RunPerSeriesLoop("Series Title", [this] { TitleSerF->exec(); });
}

void TMDIMainF::ShowFloatingTitlesDialog() {
  SettingsStep("Floating Titles", [this] {
    if (TitleFlF != nullptr) TitleFlF->exec();
  });
}

void TMDIMainF::ShowPrinterColorDialog() {
  // The screen ignores printer colours: nothing to redraw.
  if (PrintCF != nullptr) RunPerSeriesLoop("Printer Color", [this] { PrintCF->exec(); }, false);
}

void TMDIMainF::FitReportCommand() {
  if (TextLimitReached()) return;
  const std::string report = FullFitReport(workspace_);
  if (!CreateTextWindow({})) return;
  // Written afresh from the fits whenever asked: closing it loses nothing.
  if (auto* window = qobject_cast<TTextF*>(TextWindows.last()))
    window->SetContents("NoName.txt", QString::fromStdString(report), false);
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void TMDIMainF::UndoCommand() {
  StepHistory(true);
}

void TMDIMainF::RedoCommand() {
  StepHistory(false);
}

void TMDIMainF::StepHistory(bool back) {
  // A text window keeps its own history, in its editor.
  if (TTextF* text = ActiveTextWindow()) {
    back ? text->UndoText() : text->RedoText();
    return;
  }
  if (TSpreadF* window = ActiveDataWindow()) window->FinishOpenEdit();
  History& history = workspace_.history();
  if (back ? !history.CanUndo() : !history.CanRedo()) {
    prompts_.Beep();
    return;
  }
  const GraphSettings& s = workspace_.Settings;
  const auto preferences = [&s] { return std::tuple(s.MaxDataIndex, s.BarWidth, s.PrinterOptions); };
  const auto before = preferences();
  try {
    back ? history.Undo() : history.Redo();
    // The preferences live in the settings file as well: it follows them back and forth.
    if (preferences() != before) WriteSettingsFile(settingsPath_, workspace_.Settings);
  } catch (const std::exception& e) {
    prompts_.ReportError(e.what());
  }
  RedrawGraph();
}

void TMDIMainF::HistoryItemsCreated(QAction* undo, QAction* redo) {
  undoItems_ << undo;
  redoItems_ << redo;
  HistoryChanged();
}

void TMDIMainF::HistoryChanged() {
  if (tearingDown_) return;
  const History& history = workspace_.history();
  const QString undoName = QString::fromStdString(history.UndoName());
  const QString redoName = QString::fromStdString(history.RedoName());
  undoItems_.removeAll(nullptr);
  redoItems_.removeAll(nullptr);
  for (QAction* item : undoItems_) {
    item->setText(HistoryItemText(true, undoName));
    item->setEnabled(history.CanUndo());
  }
  for (QAction* item : redoItems_) {
    item->setText(HistoryItemText(false, redoName));
    item->setEnabled(history.CanRedo());
  }
  for (QMdiSubWindow* sub : mdiArea_->subWindowList()) {
    if (auto* window = qobject_cast<TSpreadF*>(sub->widget())) window->UpdateCaption();
  }
  if (TGraphF* graph = GraphOf(GraphWindow)) graph->UpdateCaption();
}

}  // namespace tavel
