#pragma once

#include <QPixmap>

namespace tavel {

// The symbols on the calculator's caption-less buttons.
enum class CalcGlyph {
  Plus,
  Minus,
  Times,
  Divide,
  PowerYX,
  Reciprocal,
  SquareRoot,
  Square,
  ChangeSign,
  ExponentSign,
  RollDown,
  Exchange,
};

// Drawn here rather than shipped as image files: black on transparent, 24 x 16 pixels.
QPixmap CalcGlyphPixmap(CalcGlyph glyph);

}  // namespace tavel
