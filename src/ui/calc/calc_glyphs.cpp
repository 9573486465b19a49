#include "ui/calc/calc_glyphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace tavel {

namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;

const QColor kInk(0, 0, 0);
const QColor kNavy(0, 0, 128);

// Letters of the symbols are set in a small serif italic, as formulas are.
QFont Letters(int pixelSize, bool italic = true) {
  QFont font("Liberation Serif");
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(pixelSize);
  font.setItalic(italic);
  font.setBold(true);
  return font;
}

void Text(QPainter& p, const QRect& r, const QString& text, int pixelSize, bool italic = true) {
  p.setFont(Letters(pixelSize, italic));
  p.drawText(r, Qt::AlignCenter, text);
}

void Plus(QPainter& p, int cx, int cy, int arm) {
  p.drawLine(cx - arm, cy, cx + arm, cy);
  p.drawLine(cx, cy - arm, cx, cy + arm);
}

void Minus(QPainter& p, int cx, int cy, int arm) {
  p.drawLine(cx - arm, cy, cx + arm, cy);
}

void Arrow(QPainter& p, QPoint from, QPoint to) {
  p.drawLine(from, to);
  const int dx = to.x() == from.x() ? 0 : (to.x() > from.x() ? 1 : -1);
  const int dy = to.y() == from.y() ? 0 : (to.y() > from.y() ? 1 : -1);
  QPolygon head;
  if (dx != 0) {
    head << to << QPoint(to.x() - 3 * dx, to.y() - 3) << QPoint(to.x() - 3 * dx, to.y() + 3);
  } else {
    head << to << QPoint(to.x() - 3, to.y() - 3 * dy) << QPoint(to.x() + 3, to.y() - 3 * dy);
  }
  p.setBrush(p.pen().color());
  p.drawPolygon(head);
  p.setBrush(Qt::NoBrush);
}

void Draw(QPainter& p, CalcGlyph glyph) {
  QPen line(kInk, 2, Qt::SolidLine, Qt::SquareCap);
  p.setPen(line);
  const int cx = kWidth / 2;
  const int cy = kHeight / 2;
  switch (glyph) {
    case CalcGlyph::Plus:
      Plus(p, cx, cy, 5);
      break;
    case CalcGlyph::Minus:
      Minus(p, cx, cy, 5);
      break;
    case CalcGlyph::Times:
      p.setRenderHint(QPainter::Antialiasing);
      p.drawLine(cx - 4, cy - 4, cx + 4, cy + 4);
      p.drawLine(cx - 4, cy + 4, cx + 4, cy - 4);
      break;
    case CalcGlyph::Divide:
      Minus(p, cx, cy, 5);
      p.setBrush(kInk);
      p.drawEllipse(QPoint(cx, cy - 4), 1, 1);
      p.drawEllipse(QPoint(cx, cy + 4), 1, 1);
      break;
    case CalcGlyph::PowerYX:
      p.setPen(kInk);
      Text(p, QRect(3, 3, 12, 13), "y", 13);
      Text(p, QRect(12, 0, 9, 10), "x", 10);
      break;
    case CalcGlyph::Reciprocal:
      p.setPen(kInk);
      Text(p, QRect(2, 0, 8, 16), "1", 12, false);
      p.drawLine(12, 2, 9, 14);
      Text(p, QRect(12, 1, 10, 16), "x", 13);
      break;
    case CalcGlyph::SquareRoot: {
      QPen thin(kInk, 1);
      p.setPen(thin);
      p.setRenderHint(QPainter::Antialiasing);
      QPainterPath root;
      root.moveTo(3, 9);
      root.lineTo(6, 8);
      root.lineTo(9, 14);
      root.lineTo(12, 2);
      root.lineTo(21, 2);
      p.drawPath(root);
      Text(p, QRect(11, 3, 10, 13), "x", 12);
      break;
    }
    case CalcGlyph::Square:
      p.setPen(kInk);
      Text(p, QRect(4, 3, 12, 13), "x", 13);
      Text(p, QRect(13, 0, 8, 10), "2", 9, false);
      break;
    case CalcGlyph::ChangeSign:
      p.setPen(QPen(kInk, 1));
      Plus(p, 6, 5, 3);
      p.drawLine(14, 2, 10, 14);
      Minus(p, 18, 11, 3);
      break;
    case CalcGlyph::ExponentSign:
      p.setPen(kInk);
      Text(p, QRect(2, 1, 10, 15), "E", 12, false);
      p.setPen(QPen(kInk, 1));
      Plus(p, 17, 4, 3);
      Minus(p, 17, 12, 3);
      break;
    case CalcGlyph::RollDown:
      // The stack turning over: the top level goes round to the bottom.
      p.setPen(QPen(kNavy, 1));
      p.drawArc(QRect(4, 2, 10, 12), 90 * 16, 180 * 16);
      Arrow(p, QPoint(9, 14), QPoint(14, 14));
      p.setPen(kInk);
      Text(p, QRect(12, 0, 11, 12), "R", 10, false);
      p.setPen(QPen(kInk, 1));
      Arrow(p, QPoint(19, 9), QPoint(19, 15));
      break;
    case CalcGlyph::Exchange:
      p.setPen(kInk);
      Text(p, QRect(0, 0, 8, 14), "x", 12);
      Text(p, QRect(16, 0, 8, 14), "y", 12);
      p.setPen(QPen(kNavy, 1));
      Arrow(p, QPoint(8, 5), QPoint(16, 5));
      Arrow(p, QPoint(16, 11), QPoint(8, 11));
      break;
  }
}

}  // namespace

QPixmap CalcGlyphPixmap(CalcGlyph glyph) {
  QPixmap pixmap(kWidth, kHeight);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  Draw(p, glyph);
  return pixmap;
}

}  // namespace tavel
