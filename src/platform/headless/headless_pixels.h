#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display.h"
#include "platform/handles.h"

namespace corvex::platform::headless {

// How the pixels of a surface lie in memory: an RGB format described by its channel masks, or
// UYVY / YUY2, where each pair of pixels shares 4 bytes.
struct PixelLayout {
  int32_t bytesPerPixel = 4;
  uint32_t redMask = 0x00FF0000;
  uint32_t greenMask = 0x0000FF00;
  uint32_t blueMask = 0x000000FF;
  uint32_t fourCC = 0;

  static PixelLayout Of(const PixelFormat& format);
  bool IsYuv() const { return fourCC != 0; }
};

// Pixel x of a row as 0x00RRGGBB. Channels narrower than 8 bits are widened by repeating their
// top bits, so full intensity reads as 255; YUV is turned back into RGB, rounded and clamped.
uint32_t ReadRgb(const uint8_t* row, int32_t x, const PixelLayout& layout);
// Writes 0x00RRGGBB into pixel x of an RGB row, each channel truncated to its field.
void WriteRgb(uint8_t* row, int32_t x, const PixelLayout& layout, uint32_t rgb);

// A picture as the user sees it: 0x00RRGGBB pixels, rows back to back.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int32_t x, int32_t y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
  }
};

// A picture read where it lies: 32-bit pixels with red, green and blue in the low three bytes
// (0x??RRGGBB: the top byte is whatever the memory holds), rows `pitch` bytes apart, top row
// first. It stays valid only while nothing draws into that memory.
struct PictureRows {
  const uint8_t* first = nullptr;  // the top-left pixel
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;

  uint32_t At(int32_t x, int32_t y) const;  // as 0x00RRGGBB
};

// The rows of width x height pixels that lie one after another without padding.
inline PictureRows ContiguousRows(const uint32_t* pixels, int32_t width, int32_t height) {
  return PictureRows{reinterpret_cast<const uint8_t*>(pixels), width * 4, width, height};
}

// Reads the source rectangle of a surface's memory into a picture of outWidth x outHeight,
// stretching by nearest neighbour.
Picture ReadPicture(const uint8_t* memory, int32_t pitch, const PixelLayout& layout,
                    const Rect& source, int32_t outWidth, int32_t outHeight);

// The same rectangle in place, when it needs no conversion: 32-bit pixels with red, green and
// blue at 0x00FF0000, 0x0000FF00 and 0x000000FF, shown at their own size. Empty otherwise.
std::optional<PictureRows> RowsInPlace(const uint8_t* memory, int32_t pitch,
                                       const PixelLayout& layout, const Rect& source,
                                       int32_t outWidth, int32_t outHeight);

Rect Intersect(const Rect& a, const Rect& b);
inline bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool Contains(const Rect& outer, const Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

}  // namespace corvex::platform::headless
