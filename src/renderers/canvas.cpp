#include "renderers/canvas.h"

#include <cmath>
#include <cstdint>

#include "base/random.h"
#include "renderers/color_cycler.h"
#include "renderers/walks.h"

namespace corvex {

void Canvas::SetGeometry(uint32_t* buffer, int32_t frameWidth, int32_t frameHeight) {
  frameBuffer = buffer;
  width = frameWidth;
  height = frameHeight;
  centerX = width / 2;
  centerY = height / 2;
  maxY = height - 1;
  innerMaxY = height - 2;
  maxX = width - 1;
  innerMaxX = width - 2;
  widthF = width;
  heightF = height;
  centerXF = width * 0.5;
  centerYF = height * 0.5;
}

void Canvas::DrawLine(double x1, double y1, double x2, double y2, uint32_t colour, bool useOr) {
  const ClippedPicture picture = Clip();
  if (useOr) {
    WalkLine(x1, y1, x2, y2, maxX, maxY, [&](double x, double y) { picture.Or(x, y, colour); });
  } else {
    WalkLine(x1, y1, x2, y2, maxX, maxY, [&](double x, double y) { picture.Put(x, y, colour); });
  }
}

void Canvas::DrawCircle(double cx, double cy, double r, uint32_t colour, bool useOr) {
  const ClippedPicture picture = Clip();
  if (useOr) {
    WalkCircle(cx, cy, r, [&](double x, double y) { picture.Or(x, y, colour); });
  } else {
    WalkCircle(cx, cy, r, [&](double x, double y) { picture.Put(x, y, colour); });
  }
}

void Canvas::DrawBurst(double x, double y, double length, int32_t count, int32_t depth,
                       ColorCycler& cycler) {
  const uint32_t colour = cycler.Color();
  for (int32_t ray = 0; ray < count; ++ray) {
    const double angle = RandomInt(100) * 0.06283;
    const double endX = x + length * std::cos(angle);
    const double endY = y + length * std::sin(angle);
    DrawLine(x, y, endX, endY, colour, false);
    // A negative depth is treated as 0, so a burst always ends.
    if (depth > 0) DrawBurst(endX, endY, length * 0.5, count, depth - 1, cycler);
  }
}

uint32_t ScaleColor(double factor, uint32_t colour) {
  auto scale = [factor](uint32_t channel) -> uint32_t {
    double v = channel * factor;
    if (v > 255.0) v = 255.0;
    if (!(v > 0.0)) return 0;  // factors are never negative; NaN gives black
    return static_cast<uint32_t>(v);
  };
  return scale((colour >> 16) & 255) << 16 | scale((colour >> 8) & 255) << 8 |
         scale(colour & 255);
}

int32_t MirroredSample(int32_t p) {
  p = ((p % 1152) + 1152) % 1152;
  return p < 576 ? p : 1151 - p;
}

}  // namespace corvex
