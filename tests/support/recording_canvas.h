#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/canvas.h"

namespace tavel::testing {

// One drawing call with the pen, brush and font it was made with.
struct CanvasOp {
  enum Kind { Line, Polyline, Rectangle, FillRect, Ellipse, Polygon, Text, Marker };
  Kind kind = Line;
  std::vector<CanvasPoint> points;
  std::string text;
  TextPlacement placement = TextPlacement::TextLeft;
  int shape = 0;
  int size = 0;
  Rgb pen{0, 0, 0};
  int penWidth = 1;
  PenStyle penStyle = PenStyle::Solid;
  Rgb brush{0, 0, 0};
  std::string fontName;
  int fontSize = 0;
  FontStyle fontStyle;
  Rgb fontColor{0, 0, 0};
};

// Records every call so tests can assert exact coordinates. Markers are recorded as one call;
// set expandMarkers to record their geometry instead.
class RecordingCanvas : public Canvas {
 public:
  std::vector<CanvasOp> ops;
  bool expandMarkers = false;
  bool wholePixels = false;  // take the column drawing of dense series
  bool PaintsWholePixels() const override { return wholePixels; }

  void SetPen(Rgb color, int width, PenStyle style) override {
    pen_ = color;
    penWidth_ = width;
    penStyle_ = style;
  }
  void SetBrush(Rgb color) override { brush_ = color; }
  void SetFont(std::string_view name, int size, FontStyle style, Rgb color) override {
    fontName_ = name;
    fontSize_ = size;
    fontStyle_ = style;
    fontColor_ = color;
  }
  void SetFontColor(Rgb color) override { fontColor_ = color; }

  void Line(CanvasPoint from, CanvasPoint to) override { Add(CanvasOp::Line, {from, to}); }
  void Polyline(const CanvasPoint* points, int count) override {
    Add(CanvasOp::Polyline, {points, points + count});
  }
  void Rectangle(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    Add(CanvasOp::Rectangle, {topLeft, bottomRight});
  }
  void FillRect(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    Add(CanvasOp::FillRect, {topLeft, bottomRight});
  }
  void Ellipse(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    Add(CanvasOp::Ellipse, {topLeft, bottomRight});
  }
  void Polygon(const CanvasPoint* points, int count) override {
    Add(CanvasOp::Polygon, {points, points + count});
  }
  void Text(CanvasPoint at, TextPlacement placement, std::string_view text) override {
    CanvasOp& op = Add(CanvasOp::Text, {at});
    op.placement = placement;
    op.text = text;
  }
  TextExtent MeasureText(std::string_view text) override {
    return EstimateTextExtent(fontSize_, text);
  }
  void Marker(int shape, CanvasPoint at, int size) override {
    if (expandMarkers) {
      Canvas::Marker(shape, at, size);
      return;
    }
    CanvasOp& op = Add(CanvasOp::Marker, {at});
    op.shape = shape;
    op.size = size;
  }

  std::vector<CanvasOp> OfKind(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> result;
    for (const CanvasOp& op : ops) {
      if (op.kind == kind) result.push_back(op);
    }
    return result;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> result;
    for (const CanvasOp& op : ops) {
      if (op.kind == CanvasOp::Text) result.push_back(op.text);
    }
    return result;
  }
  const CanvasOp* FindText(std::string_view text) const {
    for (const CanvasOp& op : ops) {
      if (op.kind == CanvasOp::Text && op.text == text) return &op;
    }
    return nullptr;
  }
  std::vector<CanvasOp> LinesWithPen(Rgb color) const {
    std::vector<CanvasOp> result;
    for (const CanvasOp& op : ops) {
      if (op.kind == CanvasOp::Line && op.pen == color) result.push_back(op);
    }
    return result;
  }

 private:
  CanvasOp& Add(CanvasOp::Kind kind, std::vector<CanvasPoint> points) {
    CanvasOp op;
    op.kind = kind;
    op.points = std::move(points);
    op.pen = pen_;
    op.penWidth = penWidth_;
    op.penStyle = penStyle_;
    op.brush = brush_;
    op.fontName = fontName_;
    op.fontSize = fontSize_;
    op.fontStyle = fontStyle_;
    op.fontColor = fontColor_;
    ops.push_back(std::move(op));
    return ops.back();
  }

  Rgb pen_{0, 0, 0};
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  Rgb brush_{0, 0, 0};
  std::string fontName_;
  int fontSize_ = 0;
  FontStyle fontStyle_;
  Rgb fontColor_{0, 0, 0};
};

}  // namespace tavel::testing
