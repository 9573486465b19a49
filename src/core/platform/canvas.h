#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/series/number_text.h"

namespace tavel {

// Integer device coordinates; y grows downward.
struct CanvasPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

enum class PenStyle { Solid, Dotted };

// The box a text takes, in device pixels.
struct TextExtent {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Where a text stands relative to its point; every text is vertically centred on the point.
enum class TextPlacement { TextLeft, TextCentred, TextRight };

struct FontStyle {
  bool bold = false;
  bool underline = false;
  friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

// Marker shapes by number 1..21 (the series number); kPentagonMarker is what shape 2 becomes on
// a monochrome printer, where a circle is hard to tell from a filled dot.
constexpr int kPentagonMarker = 22;

// Everything the drawing pass paints goes through this, so the screen image, a bitmap file and a
// printer page are only different canvases, and tests can record exact coordinates.
//
// Outline shapes (rectangle, ellipse, polygon) are outlined with the pen and filled with the
// brush; polygons use the even-odd rule so self-crossing markers show two filled triangles.
// Texts are drawn in the font colour on an opaque background of the brush colour.
class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetPen(Rgb color, int width, PenStyle style) = 0;
  virtual void SetBrush(Rgb color) = 0;
  // size in points of the target device.
  virtual void SetFont(std::string_view name, int size, FontStyle style, Rgb color) = 0;
  // Changes only the colour of the current font.
  virtual void SetFontColor(Rgb color) = 0;

  virtual void Line(CanvasPoint from, CanvasPoint to) = 0;
  virtual void Polyline(const CanvasPoint* points, int count) = 0;
  // Corners inclusive.
  virtual void Rectangle(CanvasPoint topLeft, CanvasPoint bottomRight) = 0;
  // Filled with the brush, no outline: backgrounds.
  virtual void FillRect(CanvasPoint topLeft, CanvasPoint bottomRight) = 0;
  // In the box given by its corners, inclusive.
  virtual void Ellipse(CanvasPoint topLeft, CanvasPoint bottomRight) = 0;
  virtual void Polygon(const CanvasPoint* points, int count) = 0;
  virtual void Text(CanvasPoint at, TextPlacement placement, std::string_view text) = 0;
  // The box Text would fill with this text in the current font.
  virtual TextExtent MeasureText(std::string_view text) = 0;

  // One point marker of the given shape (1..21, kPentagonMarker; anything else is a circle) and
  // half size s around (x, y) with the current pen and brush. The default draws the shape's
  // geometry with the primitives above; a canvas may draw the same pixels faster (stamping).
  virtual void Marker(int shape, CanvasPoint at, int size);

  // True when every shape sets its pixels outright (aliased drawing onto an image): a shape
  // drawn again over itself then changes nothing, and shapes of one colour that touch show as
  // their union. A dense series is then drawn from what each pixel column needs.
  virtual bool PaintsWholePixels() const { return false; }
  // Line({x, top}, {x, bottom}) with the current pen, top <= bottom; a canvas may write the
  // pixels straight away.
  virtual void VerticalLine(std::int32_t x, std::int32_t top, std::int32_t bottom) {
    Line({x, top}, {x, bottom});
  }
  // Where a marker is all in the pen's colour on a canvas that paints whole pixels: its pixels
  // as the runs of its columns, dx from the centre and dy from top to bottom. Markers of one
  // colour that touch show as their union, so many on one pixel column can be painted as a few
  // runs (PaintColumn). False where the canvas cannot say so; the markers are then drawn.
  struct MarkerSpan {
    std::int32_t dx, top, bottom;
  };
  virtual bool MarkerColumnSpans(int /*shape*/, int /*size*/, std::vector<MarkerSpan>& spans) {
    spans.clear();
    return false;
  }
  // The pixels (x, top..bottom) in the pen's colour as far as the canvas reaches, once
  // MarkerColumnSpans has said true.
  virtual void PaintColumn(std::int32_t /*x*/, std::int32_t /*top*/, std::int32_t /*bottom*/) {}

  // Pen position for the trace-style drawing of lines.
  void MoveTo(CanvasPoint to) { position_ = to; }
  void LineTo(CanvasPoint to) {
    Line(position_, to);
    position_ = to;
  }
  CanvasPoint Position() const { return position_; }

 private:
  CanvasPoint position_;
};

// A text's box judged from its font size alone on a 96 dpi device (an average advance of 0.6 em,
// a line of 1.2 em), for canvases without fonts of their own.
TextExtent EstimateTextExtent(int pointSize, std::string_view text);

// The geometry of a marker, drawn with the canvas's primitives (the default Canvas::Marker).
void DrawMarkerGeometry(Canvas& canvas, int shape, CanvasPoint at, int size);

}  // namespace tavel
