#include "ui/app/tool_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace tavel {

namespace {

constexpr int kSize = 20;

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kYellow(255, 215, 64);
const QColor kDarkYellow(176, 128, 0);
const QColor kGrey(192, 192, 192);
const QColor kDarkGrey(96, 96, 96);

// A page with a folded top-right corner.
void Sheet(QPainter& p, const QRect& r) {
  const int fold = 4;
  QPolygon page;
  page << r.topLeft() << QPoint(r.right() - fold, r.top()) << QPoint(r.right(), r.top() + fold)
       << r.bottomRight() << r.bottomLeft();
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawPolygon(page);
  p.drawLine(r.right() - fold, r.top(), r.right() - fold, r.top() + fold);
  p.drawLine(r.right() - fold, r.top() + fold, r.right(), r.top() + fold);
}

// A little window with a title bar.
void Window(QPainter& p, const QRect& r) {
  p.setPen(kInk);
  p.setBrush(kPaper);
  p.drawRect(r);
  p.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 1, 3), kNavy);
}

void DrawNewSheet(QPainter& p) {
  Sheet(p, QRect(4, 1, 12, 17));
  p.setPen(QColor(0, 128, 0));
  for (int y = 7; y <= 15; y += 3) p.drawLine(6, y, 13, y);
  p.drawLine(9, 6, 9, 16);
}

void DrawOpenFolder(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kDarkYellow);
  QPolygon back;
  back << QPoint(1, 4) << QPoint(6, 4) << QPoint(8, 6) << QPoint(15, 6) << QPoint(15, 16)
       << QPoint(1, 16);
  p.drawPolygon(back);
  p.setBrush(kYellow);
  QPolygon front;
  front << QPoint(1, 16) << QPoint(4, 9) << QPoint(19, 9) << QPoint(15, 16);
  p.drawPolygon(front);
}

void DrawFloppy(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kNavy);
  QPolygon body;
  body << QPoint(2, 2) << QPoint(16, 2) << QPoint(18, 4) << QPoint(18, 18) << QPoint(2, 18);
  p.drawPolygon(body);
  p.fillRect(QRect(5, 3, 10, 6), kPaper);
  p.fillRect(QRect(6, 12, 9, 6), kGrey);
  p.fillRect(QRect(8, 13, 2, 4), kNavy);
}

void DrawGraph(QPainter& p) {
  p.fillRect(QRect(2, 2, 16, 16), kPaper);
  p.setPen(kInk);
  p.drawLine(3, 2, 3, 17);
  p.drawLine(3, 17, 18, 17);
  p.setPen(QPen(QColor(200, 0, 0), 2));
  p.drawPolyline(QPolygon({QPoint(4, 15), QPoint(8, 9), QPoint(11, 12), QPoint(17, 4)}));
  p.setPen(QColor(0, 0, 200));
  p.setBrush(QColor(0, 0, 200));
  p.drawRect(7, 8, 2, 2);
  p.drawRect(16, 3, 2, 2);
}

void DrawScaleRuler(QPainter& p) {
  p.save();
  p.translate(10, 10);
  p.rotate(-45);
  p.setPen(kInk);
  p.setBrush(kYellow);
  p.drawRect(-11, -4, 22, 8);
  for (int x = -9; x <= 9; x += 3) p.drawLine(x, -4, x, (x % 2 == 0) ? 1 : -1);
  p.restore();
}

void DrawGrid(QPainter& p) {
  p.fillRect(QRect(2, 2, 16, 16), kPaper);
  p.setPen(QColor(160, 160, 160));
  for (int i = 6; i < 18; i += 4) {
    p.drawLine(i, 2, i, 17);
    p.drawLine(2, i, 17, i);
  }
  p.setPen(kInk);
  p.setBrush(Qt::NoBrush);
  p.drawRect(2, 2, 16, 16);
}

void DrawCalculator(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kGrey);
  p.drawRect(3, 1, 14, 18);
  p.setBrush(QColor(200, 230, 200));
  p.drawRect(5, 3, 10, 4);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      p.fillRect(QRect(5 + col * 4, 9 + row * 3, 2, 2), row == 2 && col == 2 ? kNavy : kDarkGrey);
    }
  }
}

void DrawCopy(QPainter& p) {
  Sheet(p, QRect(1, 1, 10, 13));
  Sheet(p, QRect(8, 6, 10, 13));
  p.setPen(kNavy);
  for (int y = 11; y <= 16; y += 2) p.drawLine(10, y, 15, y);
}

void DrawPaste(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kDarkYellow);
  p.drawRect(2, 3, 12, 15);
  p.setBrush(kGrey);
  p.drawRect(5, 1, 6, 4);
  Sheet(p, QRect(8, 8, 10, 11));
  p.setPen(kNavy);
  for (int y = 12; y <= 16; y += 2) p.drawLine(10, y, 15, y);
}

void DrawTile(QPainter& p) {
  Window(p, QRect(1, 3, 8, 14));
  Window(p, QRect(10, 3, 8, 14));
}

void DrawCascade(QPainter& p) {
  Window(p, QRect(1, 1, 11, 10));
  Window(p, QRect(4, 4, 11, 10));
  Window(p, QRect(7, 7, 11, 10));
}

// A curved arrow turning back to the left (mirrored: on to the right).
void DrawTurnArrow(QPainter& p, bool mirrored) {
  if (mirrored) {
    p.translate(kSize, 0);
    p.scale(-1, 1);
  }
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath arc;
  arc.moveTo(16, 16);
  arc.cubicTo(18, 6, 10, 4, 5, 8);
  p.setPen(QPen(kNavy, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arc);
  QPolygon head;
  head << QPoint(2, 10) << QPoint(8, 3) << QPoint(9, 12);
  p.setPen(kNavy);
  p.setBrush(kNavy);
  p.drawPolygon(head);
}

}  // namespace

QPixmap ToolGlyphPixmap(ToolGlyph glyph) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  switch (glyph) {
    case ToolGlyph::NewSheet:
      DrawNewSheet(p);
      break;
    case ToolGlyph::OpenFolder:
      DrawOpenFolder(p);
      break;
    case ToolGlyph::Floppy:
      DrawFloppy(p);
      break;
    case ToolGlyph::Graph:
      DrawGraph(p);
      break;
    case ToolGlyph::ScaleRuler:
      p.setRenderHint(QPainter::Antialiasing);
      DrawScaleRuler(p);
      break;
    case ToolGlyph::Grid:
      DrawGrid(p);
      break;
    case ToolGlyph::Calculator:
      DrawCalculator(p);
      break;
    case ToolGlyph::Copy:
      DrawCopy(p);
      break;
    case ToolGlyph::Paste:
      DrawPaste(p);
      break;
    case ToolGlyph::Tile:
      DrawTile(p);
      break;
    case ToolGlyph::Cascade:
      DrawCascade(p);
      break;
    case ToolGlyph::Undo:
      DrawTurnArrow(p, false);
      break;
    case ToolGlyph::Redo:
      DrawTurnArrow(p, true);
      break;
  }
  return pixmap;
}

}  // namespace tavel
