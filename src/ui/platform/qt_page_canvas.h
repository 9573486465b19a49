#pragma once

#include <QPainter>

#include "core/print/data_print.h"
#include "ui/platform/qt_canvas.h"

class QPrinter;

namespace tavel {

// The page canvas on a printer: the painter's canvas for the drawing, the printer for the
// step to a fresh page.
class QtPageCanvas : public PageCanvas {
 public:
  // The painter must be active on the printer for the canvas's lifetime.
  QtPageCanvas(QPainter& painter, QPrinter& printer);

  // Throws std::runtime_error when the printer cannot start a new page.
  void NewPage() override;

  void SetPen(Rgb color, int width, PenStyle style) override {
    canvas_.SetPen(color, width, style);
  }
  void SetBrush(Rgb color) override { canvas_.SetBrush(color); }
  void SetFont(std::string_view name, int size, FontStyle style, Rgb color) override {
    canvas_.SetFont(name, size, style, color);
  }
  void SetFontColor(Rgb color) override { canvas_.SetFontColor(color); }
  void Line(CanvasPoint from, CanvasPoint to) override { canvas_.Line(from, to); }
  void Polyline(const CanvasPoint* points, int count) override { canvas_.Polyline(points, count); }
  void Rectangle(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    canvas_.Rectangle(topLeft, bottomRight);
  }
  void FillRect(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    canvas_.FillRect(topLeft, bottomRight);
  }
  void Ellipse(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    canvas_.Ellipse(topLeft, bottomRight);
  }
  void Polygon(const CanvasPoint* points, int count) override { canvas_.Polygon(points, count); }
  void Text(CanvasPoint at, TextPlacement placement, std::string_view text) override {
    canvas_.Text(at, placement, text);
  }
  TextExtent MeasureText(std::string_view text) override { return canvas_.MeasureText(text); }
  void Marker(int shape, CanvasPoint at, int size) override { canvas_.Marker(shape, at, size); }

 private:
  QPrinter& printer_;
  QtCanvas canvas_;
};

}  // namespace tavel
