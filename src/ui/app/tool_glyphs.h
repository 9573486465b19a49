#pragma once

#include <QPixmap>

namespace tavel {

enum class ToolGlyph {
  NewSheet,
  OpenFolder,
  Floppy,
  Graph,
  ScaleRuler,
  Grid,
  Calculator,
  Copy,
  Paste,
  Tile,
  Cascade,
  Undo,
  Redo,
};

// The small pictures on the frame's tool buttons, drawn rather than shipped as image files.
QPixmap ToolGlyphPixmap(ToolGlyph glyph);

}  // namespace tavel
