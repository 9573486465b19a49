#include "ui/platform/qt_canvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <algorithm>

namespace tavel {
namespace {

QColor ToColor(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

QPoint ToPoint(CanvasPoint p) {
  return QPoint(p.x, p.y);
}

// The rectangle between two inclusive corners, whichever way round they were given; drawn with
// a one-pixel pen its outline covers both corner columns and rows.
QRect OutlineRect(CanvasPoint a, CanvasPoint b) {
  const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
  const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
  return QRect(left, top, right - left, bottom - top);
}

using PointBuffer = QVarLengthArray<QPoint, 16>;

PointBuffer ToPoints(const CanvasPoint* points, int count) {
  PointBuffer result;
  result.reserve(count);
  for (int i = 0; i < count; ++i) result.append(ToPoint(points[i]));
  return result;
}

// Installed stand-ins for the fonts the graph asks for by name.
QString StandIn(const QString& family) {
  if (family.startsWith("Times New Roman", Qt::CaseInsensitive)) return "Liberation Serif";
  if (family.startsWith("Arial Narrow", Qt::CaseInsensitive)) return "Liberation Sans Narrow";
  if (family.startsWith("Abadi MT Condensed", Qt::CaseInsensitive)) {
    return "Liberation Sans Narrow";
  }
  return "Liberation Sans";
}

}  // namespace

size_t qHash(const QtCanvas::StampKey& key, size_t seed) {
  return qHashMulti(seed, key.shape, key.size, key.penWidth, key.penStyle, key.pen, key.brush);
}

QtCanvas::QtCanvas(QPainter& painter) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  // On a high-resolution image a stamp made at one pixel per unit would come out blocky.
  stamping_ = painter_.device() != nullptr && painter_.device()->devType() == QInternal::Image &&
              painter_.device()->devicePixelRatioF() == 1.0;
  if (stamping_) {
    auto* image = static_cast<QImage*>(painter_.device());
    const QImage::Format format = image->format();
    if (image->isDetached() && !painter_.hasClipping() && painter_.transform().isIdentity() &&
        painter_.opacity() == 1.0 &&
        painter_.compositionMode() == QPainter::CompositionMode_SourceOver &&
        (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied)) {
      directImage_ = image;
    }
  }
  SetPen({255, 255, 255}, 1, PenStyle::Solid);
  SetBrush({0, 0, 0});
}

QFont QtCanvas::FontFor(std::string_view name, int pointSize, FontStyle style) {
  QString family = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  QFont::Weight weight = style.bold ? QFont::Bold : QFont::Normal;
  // Windows font names carry their weight ("Times New Roman Bold"); Qt wants it separately.
  if (family.endsWith(" Extra Bold", Qt::CaseInsensitive)) {
    family.chop(11);
    weight = QFont::ExtraBold;
  } else if (family.endsWith(" Bold", Qt::CaseInsensitive)) {
    family.chop(5);
    weight = QFont::Bold;
  }
  QFont font;
  font.setFamilies({family, StandIn(family)});
  font.setPointSize(std::max(1, pointSize));
  font.setWeight(weight);
  font.setUnderline(style.underline);
  return font;
}

void QtCanvas::SetPen(Rgb color, int width, PenStyle style) {
  penWidth_ = std::max(1, width);
  penStyle_ = style;
  pen_ = QPen(ToColor(color), penWidth_, style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
  // Square caps close the joints between the segments of a wide series line; round caps would
  // look the same at two pixels and cost four times as much to stroke.
  pen_.setCapStyle(Qt::SquareCap);
  pen_.setJoinStyle(Qt::MiterJoin);
  penRgb_ = pen_.color().rgb();
  painter_.setPen(pen_);
}

void QtCanvas::SetBrush(Rgb color) {
  brush_ = ToColor(color);
  brushRgb_ = brush_.rgb();
}

void QtCanvas::SetFont(std::string_view name, int size, FontStyle style, Rgb color) {
  painter_.setFont(FontFor(name, size, style));
  fontColor_ = ToColor(color);
}

void QtCanvas::SetFontColor(Rgb color) {
  fontColor_ = ToColor(color);
}

void QtCanvas::Line(CanvasPoint from, CanvasPoint to) {
  lastStamp_ = nullptr;
  painter_.drawLine(ToPoint(from), ToPoint(to));
}

void QtCanvas::Polyline(const CanvasPoint* points, int count) {
  lastStamp_ = nullptr;
  if (count < 2) return;
  const PointBuffer qpoints = ToPoints(points, count);
  painter_.drawPolyline(qpoints.constData(), count);
}

void QtCanvas::Rectangle(CanvasPoint topLeft, CanvasPoint bottomRight) {
  lastStamp_ = nullptr;
  painter_.setBrush(brush_);
  painter_.drawRect(OutlineRect(topLeft, bottomRight));
  painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::FillRect(CanvasPoint topLeft, CanvasPoint bottomRight) {
  lastStamp_ = nullptr;
  const QRect outline = OutlineRect(topLeft, bottomRight);
  painter_.fillRect(outline.adjusted(0, 0, 1, 1), brush_);
}

void QtCanvas::Ellipse(CanvasPoint topLeft, CanvasPoint bottomRight) {
  lastStamp_ = nullptr;
  painter_.setBrush(brush_);
  painter_.drawEllipse(OutlineRect(topLeft, bottomRight));
  painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::Polygon(const CanvasPoint* points, int count) {
  lastStamp_ = nullptr;
  if (count < 2) return;
  const PointBuffer qpoints = ToPoints(points, count);
  painter_.setBrush(brush_);
  painter_.drawPolygon(qpoints.constData(), count, Qt::OddEvenFill);
  painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::Text(CanvasPoint at, TextPlacement placement, std::string_view text) {
  lastStamp_ = nullptr;
  const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetrics metrics = painter_.fontMetrics();
  const int width = metrics.horizontalAdvance(qtext);
  const int height = metrics.height();
  int left = at.x;
  if (placement == TextPlacement::TextCentred) left -= width / 2;
  if (placement == TextPlacement::TextRight) left -= width;
  const int top = at.y - height / 2;
  // Opaque: the text blanks out the grid lines under it.
  painter_.fillRect(QRect(left, top, width, height), brush_);
  painter_.setPen(fontColor_);
  painter_.drawText(QPoint(left, top + metrics.ascent()), qtext);
  painter_.setPen(pen_);
}

TextExtent QtCanvas::MeasureText(std::string_view text) {
  const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetrics metrics = painter_.fontMetrics();
  return {metrics.horizontalAdvance(qtext), metrics.height()};
}

const QtCanvas::MarkerStamp& QtCanvas::Stamp(const StampKey& key) {
  const auto found = stamps_.constFind(key);
  if (found != stamps_.constEnd()) return *found;
  const int centre = key.size + key.penWidth + 2;
  MarkerStamp stamp;
  stamp.image = QImage(2 * centre + 1, 2 * centre + 1, QImage::Format_ARGB32_Premultiplied);
  stamp.image.fill(Qt::transparent);
  {
    QPainter painter(&stamp.image);
    QtCanvas stampCanvas(painter);
    stampCanvas.SetMarkerStamping(false);
    stampCanvas.pen_ = pen_;
    stampCanvas.penWidth_ = penWidth_;
    stampCanvas.penStyle_ = penStyle_;
    painter.setPen(pen_);
    stampCanvas.brush_ = brush_;
    stampCanvas.Canvas::Marker(key.shape, {centre, centre}, key.size);
  }
  // Aliased drawing leaves every pixel either untouched or fully painted.
  for (int y = 0; y < stamp.image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(stamp.image.constScanLine(y));
    for (int x = 0; x < stamp.image.width();) {
      if (qAlpha(line[x]) == 0) {
        ++x;
        continue;
      }
      const QRgb color = line[x];
      int end = x + 1;
      while (end < stamp.image.width() && line[end] == color) ++end;
      stamp.runs.push_back({y - centre, x - centre, end - x, color});
      x = end;
    }
  }
  lastStamp_ = nullptr;  // inserting may move the stamps
  found_ = nullptr;
  return *stamps_.insert(key, std::move(stamp));
}

void QtCanvas::Blit(const MarkerStamp& stamp, CanvasPoint at) {
  const int width = directImage_->width();
  const int height = directImage_->height();
  uchar* bits = directImage_->bits();
  const qsizetype stride = directImage_->bytesPerLine();
  for (const StampRun& run : stamp.runs) {
    const int y = at.y + run.dy;
    if (y < 0 || y >= height) continue;
    const int from = std::max(0, at.x + run.dx);
    const int to = std::min(width, at.x + run.dx + run.length);
    auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
    for (int x = from; x < to; ++x) line[x] = run.color;
  }
}

bool QtCanvas::MarkerColumnSpans(int shape, int size, std::vector<MarkerSpan>& spans) {
  spans.clear();
  if (!stamping_ || size > 64 || directImage_ == nullptr) return false;
  const MarkerStamp& stamp =
      Stamp({shape, size, penWidth_, static_cast<int>(penStyle_), penRgb_, brushRgb_});
  const int side = stamp.image.width();
  const int centre = side / 2;
  std::vector<unsigned char> opaque(static_cast<std::size_t>(side) * side, 0);
  for (const StampRun& run : stamp.runs) {
    if (run.color != penRgb_) return false;
    for (int i = 0; i < run.length; ++i) {
      opaque[static_cast<std::size_t>((run.dy + centre) * side + run.dx + centre + i)] = 1;
    }
  }
  for (int x = 0; x < side; ++x) {
    for (int y = 0; y < side;) {
      if (!opaque[static_cast<std::size_t>(y * side + x)]) {
        ++y;
        continue;
      }
      const int top = y;
      while (y < side && opaque[static_cast<std::size_t>(y * side + x)]) ++y;
      spans.push_back({x - centre, top - centre, y - 1 - centre});
    }
  }
  return true;
}

void QtCanvas::PaintColumn(std::int32_t x, std::int32_t top, std::int32_t bottom) {
  lastStamp_ = nullptr;
  if (directImage_ == nullptr || x < 0 || x >= directImage_->width()) return;
  const int first = std::max(0, top), last = std::min(directImage_->height() - 1, bottom);
  uchar* bits = directImage_->bits();
  const qsizetype stride = directImage_->bytesPerLine();
  for (int y = first; y <= last; ++y) reinterpret_cast<QRgb*>(bits + y * stride)[x] = penRgb_;
}

void QtCanvas::Marker(int shape, CanvasPoint at, int size) {
  // A huge marker is rare (a giant printer page) and not worth an image of its own.
  if (!stamping_ || size > 64) {
    Canvas::Marker(shape, at, size);
    return;
  }
  const StampKey key{shape, size, penWidth_, static_cast<int>(penStyle_), penRgb_, brushRgb_};
  if (found_ == nullptr || !(key == foundKey_)) {
    const MarkerStamp* stamp = &Stamp(key);
    foundKey_ = key;
    found_ = stamp;
  }
  const MarkerStamp& stamp = *found_;
  // Dense data puts many markers in a row on one pixel; with nothing drawn in between, the
  // same stamp on the same spot changes no pixel.
  if (lastStamp_ == &stamp && lastStampAt_ == at) return;
  if (directImage_ != nullptr) {
    Blit(stamp, at);
  } else {
    const int centre = stamp.image.width() / 2;
    painter_.drawImage(at.x - centre, at.y - centre, stamp.image);
  }
  lastStamp_ = &stamp;
  lastStampAt_ = at;
}

bool QtCanvas::PaintsWholePixels() const {
  // Stamping stands for an image of one pixel per unit; smoothing blends what it draws twice.
  return stamping_ && !painter_.testRenderHint(QPainter::Antialiasing) &&
         painter_.opacity() == 1.0 &&
         painter_.compositionMode() == QPainter::CompositionMode_SourceOver;
}

void QtCanvas::VerticalLine(std::int32_t x, std::int32_t top, std::int32_t bottom) {
  if (directImage_ == nullptr || penStyle_ != PenStyle::Solid || penWidth_ > 2 ||
      painter_.testRenderHint(QPainter::Antialiasing)) {
    Line({x, top}, {x, bottom});
    return;
  }
  lastStamp_ = nullptr;
  // The pixels the painter's aliased square-capped pen covers: the column alone at one pixel;
  // at two, the column and the one to its left, from one row above the top.
  const int grow = penWidth_ - 1;
  const int from = std::max(0, x - grow), to = std::min(directImage_->width() - 1, x);
  const int first = std::max(0, top - grow), last = std::min(directImage_->height() - 1, bottom);
  uchar* bits = directImage_->bits();
  const qsizetype stride = directImage_->bytesPerLine();
  for (int y = first; y <= last; ++y) {
    auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
    for (int c = from; c <= to; ++c) line[c] = penRgb_;
  }
}

}  // namespace tavel
