#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/print/data_print.h"
#include "support/recording_canvas.h"

namespace tavel::testing {

// A recording canvas that is also a printer: NewPage is recorded as the index of the first
// call of each new page, so tests can look at one page at a time.
class RecordingPageCanvas : public PageCanvas {
 public:
  RecordingCanvas recorder;
  std::vector<std::size_t> pageStarts{0};

  void NewPage() override { pageStarts.push_back(recorder.ops.size()); }
  int PageCount() const { return static_cast<int>(pageStarts.size()); }

  // The texts of page p (1-based), in drawing order.
  std::vector<CanvasOp> TextsOnPage(int p) const {
    const std::size_t from = pageStarts.at(static_cast<std::size_t>(p - 1));
    const std::size_t to = static_cast<std::size_t>(p) < pageStarts.size()
                               ? pageStarts[static_cast<std::size_t>(p)]
                               : recorder.ops.size();
    std::vector<CanvasOp> result;
    for (std::size_t i = from; i < to; ++i) {
      if (recorder.ops[i].kind == CanvasOp::Text) result.push_back(recorder.ops[i]);
    }
    return result;
  }
  std::vector<std::string> TextStringsOnPage(int p) const {
    std::vector<std::string> result;
    for (const CanvasOp& op : TextsOnPage(p)) result.push_back(op.text);
    return result;
  }

  void SetPen(Rgb color, int width, PenStyle style) override {
    recorder.SetPen(color, width, style);
  }
  void SetBrush(Rgb color) override { recorder.SetBrush(color); }
  void SetFont(std::string_view name, int size, FontStyle style, Rgb color) override {
    recorder.SetFont(name, size, style, color);
  }
  void SetFontColor(Rgb color) override { recorder.SetFontColor(color); }
  void Line(CanvasPoint from, CanvasPoint to) override { recorder.Line(from, to); }
  void Polyline(const CanvasPoint* points, int count) override { recorder.Polyline(points, count); }
  void Rectangle(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    recorder.Rectangle(topLeft, bottomRight);
  }
  void FillRect(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    recorder.FillRect(topLeft, bottomRight);
  }
  void Ellipse(CanvasPoint topLeft, CanvasPoint bottomRight) override {
    recorder.Ellipse(topLeft, bottomRight);
  }
  void Polygon(const CanvasPoint* points, int count) override { recorder.Polygon(points, count); }
  void Text(CanvasPoint at, TextPlacement placement, std::string_view text) override {
    recorder.Text(at, placement, text);
  }
  TextExtent MeasureText(std::string_view text) override { return recorder.MeasureText(text); }
  void Marker(int shape, CanvasPoint at, int size) override { recorder.Marker(shape, at, size); }
};

}  // namespace tavel::testing
