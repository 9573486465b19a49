#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <vector>

#include "core/platform/canvas.h"

namespace tavel {

// The drawing pass's canvas on a QPainter: the off-screen graph image, a bitmap file or a
// printer page. Antialiasing stays off so every pixel lands where the pass's integer arithmetic
// puts it. Markers are drawn once per shape, size, pen and brush into a small transparent image
// and stamped from then on: a graph of many thousand points spends its time copying pixels
// instead of stroking the same outline again.
class QtCanvas : public Canvas {
 public:
  // The painter must be active on its device for the canvas's lifetime.
  explicit QtCanvas(QPainter& painter);

  void SetPen(Rgb color, int width, PenStyle style) override;
  void SetBrush(Rgb color) override;
  void SetFont(std::string_view name, int size, FontStyle style, Rgb color) override;
  void SetFontColor(Rgb color) override;

  void Line(CanvasPoint from, CanvasPoint to) override;
  void Polyline(const CanvasPoint* points, int count) override;
  void Rectangle(CanvasPoint topLeft, CanvasPoint bottomRight) override;
  void FillRect(CanvasPoint topLeft, CanvasPoint bottomRight) override;
  void Ellipse(CanvasPoint topLeft, CanvasPoint bottomRight) override;
  void Polygon(const CanvasPoint* points, int count) override;
  void Text(CanvasPoint at, TextPlacement placement, std::string_view text) override;
  TextExtent MeasureText(std::string_view text) override;
  void Marker(int shape, CanvasPoint at, int size) override;
  bool PaintsWholePixels() const override;
  void VerticalLine(std::int32_t x, std::int32_t top, std::int32_t bottom) override;
  bool MarkerColumnSpans(int shape, int size, std::vector<MarkerSpan>& spans) override;
  void PaintColumn(std::int32_t x, std::int32_t top, std::int32_t bottom) override;

  // Stamping can be switched off (the printer draws each marker, where vector output matters).
  void SetMarkerStamping(bool on) { stamping_ = on; }

  // The family a named font is drawn with: the name itself when installed, otherwise the
  // installed metric-compatible stand-in, with a trailing weight word turned into the weight.
  static QFont FontFor(std::string_view name, int pointSize, FontStyle style);

 private:
  struct StampKey {
    int shape, size, penWidth, penStyle;
    QRgb pen, brush;
    bool operator==(const StampKey&) const = default;
  };
  friend size_t qHash(const StampKey& key, size_t seed);

  // A marker as drawn once: the image, and its opaque pixels as runs of one colour for writing
  // straight into a 32-bit image.
  struct StampRun {
    int dy, dx, length;
    QRgb color;
  };
  struct MarkerStamp {
    QImage image;
    std::vector<StampRun> runs;
  };

  const MarkerStamp& Stamp(const StampKey& key);
  void Blit(const MarkerStamp& stamp, CanvasPoint at);

  QPainter& painter_;
  QPen pen_;
  QColor brush_;
  QColor fontColor_;
  PenStyle penStyle_ = PenStyle::Solid;
  int penWidth_ = 1;
  bool stamping_ = true;
  QHash<StampKey, MarkerStamp> stamps_;
  // The colours of pen and brush as stamp keys take them, kept at hand: a dense series asks for
  // its stamp once per point.
  QRgb penRgb_ = 0;
  QRgb brushRgb_ = 0;
  // The stamp found for the last key, valid until a new stamp is added.
  StampKey foundKey_{};
  const MarkerStamp* found_ = nullptr;
  // The stamp drawn last when nothing else was drawn after it.
  const MarkerStamp* lastStamp_ = nullptr;
  // The painter's own 32-bit image when stamps may be written into it directly: nothing shares
  // its pixels, and no clip or transform stands between.
  QImage* directImage_ = nullptr;
  CanvasPoint lastStampAt_;
};

}  // namespace tavel
