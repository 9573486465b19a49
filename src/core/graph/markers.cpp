#include <algorithm>
#include <array>
#include <cstdint>

#include "core/platform/canvas.h"

namespace tavel {
namespace {

using P = CanvasPoint;

template <std::size_t N>
void Outline(Canvas& canvas, const std::array<P, N>& points) {
  canvas.Polygon(points.data(), static_cast<int>(N));
}

template <std::size_t N>
void Strokes(Canvas& canvas, const std::array<P, N>& ends) {
  for (std::size_t i = 0; i + 1 < N; i += 2) canvas.Line(ends[i], ends[i + 1]);
}

template <std::size_t N>
void Path(Canvas& canvas, const std::array<P, N>& points) {
  canvas.Polyline(points.data(), static_cast<int>(N));
}

}  // namespace

void Canvas::Marker(int shape, CanvasPoint at, int size) {
  DrawMarkerGeometry(*this, shape, at, size);
}

TextExtent EstimateTextExtent(int pointSize, std::string_view text) {
  std::int64_t characters = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  const std::int64_t em = std::int64_t{std::max(pointSize, 1)} * 96 / 72;
  return {static_cast<std::int32_t>((characters * em * 6 + 9) / 10),
          static_cast<std::int32_t>((em * 12 + 9) / 10)};
}

void DrawMarkerGeometry(Canvas& canvas, int shape, CanvasPoint at, int s) {
  const std::int32_t x = at.x;
  const std::int32_t y = at.y;
  const std::int32_t l = x - s, r = x + s, t = y - s, b = y + s;
  switch (shape) {
    case 1:
      Strokes(canvas, std::array{P{l, t}, P{r, b}, P{r, t}, P{l, b}});
      break;
    case kPentagonMarker:
      Outline(canvas, std::array{P{l, t}, P{r, t}, P{r, y}, P{x, b}, P{l, y}});
      break;
    case 3:
      Outline(canvas, std::array{P{l, b}, P{r, b}, P{x, t}});
      break;
    case 4:
      canvas.Rectangle({l, t}, {r, b});
      break;
    case 5:
      Outline(canvas, std::array{P{l, y}, P{x, t}, P{r, y}, P{x, b}});
      break;
    case 6:
      Strokes(canvas, std::array{P{l, y}, P{r, y}, P{x, t}, P{x, b}});
      break;
    case 7:
      canvas.Rectangle({l, t}, {x, y});
      canvas.Rectangle({x, y}, {r, b});
      break;
    case 8:
      Outline(canvas, std::array{P{l, t}, P{r, t}, P{x, b}});
      break;
    case 9:
      Outline(canvas, std::array{P{l, y}, P{x, t}, P{r, y}, P{r, b}, P{l, b}});
      break;
    case 10:
      Strokes(canvas, std::array{P{l, t}, P{r, t}, P{l, b}, P{r, b}, P{x, t}, P{x, b}});
      break;
    case 11:
      Outline(canvas, std::array{P{l, b}, P{l, t}, P{r, b}, P{r, t}});
      break;
    case 12:
      Outline(canvas, std::array{P{l, b}, P{r, b}, P{l, t}, P{r, t}});
      break;
    case 13:
      Outline(canvas, std::array{P{l, y}, P{r, y}, P{x, b}, P{x, t}});
      break;
    case 14:
      Outline(canvas, std::array{P{l, y}, P{r, y}, P{x, t}, P{x, b}});
      break;
    case 15:
      Strokes(canvas, std::array{P{l, t}, P{l, b}, P{r, t}, P{r, b}, P{l, y}, P{r, y}});
      break;
    case 16:
      canvas.Rectangle({x, t}, {r, y});
      canvas.Rectangle({l, y}, {x, b});
      break;
    case 17:
      Path(canvas, std::array{P{l, t}, P{l, b}, P{r, b}, P{r, t}});
      break;
    case 18:
      Strokes(canvas, std::array{P{l, t}, P{r, t}, P{l, b}, P{r, t}, P{l, b}, P{r, b}});
      break;
    case 19:
      Strokes(canvas, std::array{P{l, t}, P{r, t}, P{l, t}, P{r, b}, P{l, b}, P{r, b}});
      break;
    case 20:
      Path(canvas, std::array{P{l, b}, P{l, t}, P{r, t}, P{r, b}});
      break;
    case 21:
      Path(canvas, std::array{P{l, t}, P{r, t}, P{r, b}, P{l, b}});
      break;
    default:  // 2 and every unknown number
      canvas.Ellipse({l, t}, {r, b});
      break;
  }
}

}  // namespace tavel
