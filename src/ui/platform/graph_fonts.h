#pragma once

#include <QStringList>

namespace tavel {

// Where to look for the condensed graph font file "abaexbc.ttf": the system's and the user's
// font folders.
QStringList FontFolders();
// True when a file named "abaexbc.ttf" (any case) lies in one of the folders or below.
bool CondensedFontFileIn(const QStringList& folders);
// Whether the condensed scale-number font can be used: its file lies in a font folder or the
// font database knows the family. The graph window and the command line ask the same way, so
// both draw with the same font.
bool CondensedGraphFontInstalled();

}  // namespace tavel
