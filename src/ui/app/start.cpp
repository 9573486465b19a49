#include "ui/app/start.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include "core/series/workspace.h"
#include "core/files/recovery_file.h"
#include "ui/app/main_frame.h"
#include "ui/app/recovery_keeper.h"
#include "ui/app/tavel_application.h"
#include "ui/app/tool_glyphs.h"
#include "ui/platform/qt_prompts.h"

namespace tavel {

std::optional<QString> CommandLineGraphFile(const QStringList& arguments) {
  if (arguments.size() < 2) return std::nullopt;
  const QString& path = arguments[1];
  if (path.isEmpty() || !QFileInfo(path).isFile()) return std::nullopt;
  return path;
}

int Start(const QStringList& arguments) {
  // The frame and every child window show the program's own icon, not the toolkit's.
  QApplication::setWindowIcon(QIcon(ToolGlyphPixmap(ToolGlyph::Graph)));
  // Destroyed in reverse: the frame and its windows go before the series they show.
  QtPrompts prompts;
  Workspace workspace(prompts);
  TMDIMainF frame(workspace, prompts);
  prompts.SetParent(&frame);
  TavelApplication* application = RunningApplication();
  if (application != nullptr) application->SetErrorReport(&prompts);
  prompts.SetHelpFile(frame.HelpFile);
  frame.CreateDialogs();
  frame.show();
  RecoveryKeeper recovery(frame, RecoveryFolder(), static_cast<long>(QCoreApplication::applicationPid()));
  RecoveryKeeper::WatchTermination(&recovery);
  recovery.OfferRestore();
  if (const auto graphFile = CommandLineGraphFile(arguments)) {
    frame.LoadGraphFileFromCommandLine(*graphFile);
  }
  const int status = QApplication::exec();
  // A clean end: nothing is left to recover.
  recovery.Remove();
  if (application != nullptr) application->SetErrorReport(nullptr);
  return status;
}

}  // namespace tavel
