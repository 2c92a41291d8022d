#pragma once
#include <cstdint>

namespace corvex {

class ColorCycler;

// The picture being drawn and its geometry, as the frame step copies them from the Video each
// frame, with the clipped drawing primitives every renderer shares. The SceneManager is a
// Canvas; particles and tests can use one on its own.
class Canvas {
 public:
  // Frame step, step 2: takes the buffer and size and derives the other geometry fields.
  void SetGeometry(uint32_t* buffer, int32_t frameWidth, int32_t frameHeight);

  // Positions are doubles and become pixels by truncation toward zero; a pixel is written only
  // when 0 <= x <= maxX and 0 <= y <= maxY after truncation (so x = -0.5 draws in column 0).
  // They sit here, inline, because every line, circle and particle calls them per point.
  void PutPixel(double x, double y, uint32_t colour) { Clip().Put(x, y, colour); }
  // The pixel a position falls on, or null when it is clipped.
  uint32_t* PixelAt(double x, double y) const { return Clip().At(x, y); }
  void OrPixel(double x, double y, uint32_t colour) { Clip().Or(x, y, colour); }
  void DrawLine(double x1, double y1, double x2, double y2, uint32_t colour, bool useOr);
  void DrawCircle(double cx, double cy, double r, uint32_t colour, bool useOr);
  void DrawBurst(double x, double y, double length, int32_t count, int32_t depth,
                 ColorCycler& cycler);

  // The picture and its clipping limits as one drawing call reads them once: a pixel it writes
  // could be one of the Canvas's own fields as far as the compiler knows, so the Canvas's
  // would be read again after every point.
  struct ClippedPicture {
    uint32_t* buffer;
    int32_t width;
    double xEnd, yEnd;  // maxX + 1 and maxY + 1

    uint32_t* At(double x, double y) const {
      // trunc(x) lies in 0..maxX exactly when -1 < x < maxX + 1; NaN fails every comparison.
      if (!(x > -1.0 && x < xEnd && y > -1.0 && y < yEnd) || buffer == nullptr) return nullptr;
      return buffer + static_cast<int32_t>(y) * width + static_cast<int32_t>(x);
    }
    void Put(double x, double y, uint32_t colour) const {
      if (uint32_t* pixel = At(x, y)) *pixel = colour;
    }
    void Or(double x, double y, uint32_t colour) const {
      if (uint32_t* pixel = At(x, y)) *pixel |= colour;
    }
  };
  ClippedPicture Clip() const { return {frameBuffer, width, maxX + 1.0, maxY + 1.0}; }

  uint32_t* frameBuffer = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t centerX = 0;
  int32_t centerY = 0;
  double widthF = 0.0;
  double heightF = 0.0;
  double centerXF = 0.0;
  double centerYF = 0.0;
  int32_t maxX = -1;
  int32_t maxY = -1;
  int32_t innerMaxX = -2;
  int32_t innerMaxY = -2;
};

// Each channel of a packed 0x00RRGGBB colour times factor, capped at 255 and truncated.
uint32_t ScaleColor(double factor, uint32_t colour);

// Index 0..575 for a walk position 0..1151: forwards, then backwards, so closed shapes meet.
int32_t MirroredSample(int32_t p);

}  // namespace corvex
