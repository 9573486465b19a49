#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavel {

// The file to read as a graph file at start: the first argument after the program's name,
// when it names an existing file. Anything else is ignored without a word.
std::optional<QString> CommandLineGraphFile(const QStringList& arguments);

// Builds the frame, the settings and the sixteen dialogs, shows the frame, reads the graph
// file named on the command line and runs the event loop until the frame closes. Needs a
// QApplication.
int Start(const QStringList& arguments);

}  // namespace tavel
