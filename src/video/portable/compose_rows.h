#pragma once
// The scalar conversion of one row, shared by the reference kernels and by the tails of the
// vector kernels, so a vector kernel's leftover pairs give exactly the reference's bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace corvex::compose {

inline void Store32(uint8_t* target, uint32_t value) { std::memcpy(target, &value, 4); }

// Truncated channel fields. Rgb555 puts its fields where a 16-bit display with five green bits
// has them (red 0x7C00, green 0x03E0, blue 0x001F, top bit clear): the compose surface is
// blitted to such a display unchanged, so any other placement would show wrong colours.
inline uint32_t ToRgb565(uint32_t p) {
  return ((p >> 8) & 0xF800u) | ((p >> 5) & 0x07E0u) | ((p >> 3) & 0x001Fu);
}
inline uint32_t ToRgb555(uint32_t p) {
  return ((p >> 9) & 0x7C00u) | ((p >> 6) & 0x03E0u) | ((p >> 3) & 0x001Fu);
}

// Luma and the two colour differences; each product is truncated on its own.
inline uint32_t LumaOf(uint32_t p) {
  const uint32_t b = p & 255, g = (p >> 8) & 255, r = (p >> 16) & 255;
  return ((36 * b) >> 8) + ((145 * g) >> 8) + ((74 * r) >> 8);
}
inline uint32_t BlueDifferenceOf(uint32_t p) {  // U
  const uint32_t b = p & 255, g = (p >> 8) & 255, r = (p >> 16) & 255;
  return 128 + ((110 * b) >> 8) - ((74 * g) >> 8) - ((36 * r) >> 8);
}
inline uint32_t RedDifferenceOf(uint32_t p) {  // V
  const uint32_t b = p & 255, g = (p >> 8) & 255, r = (p >> 16) & 255;
  return 128 + ((92 * r) >> 8) - ((74 * g) >> 8) - ((18 * b) >> 8);
}

// Each row function converts `pairs` pixel pairs from s into d.
inline void RowRgb32(const uint32_t* s, uint8_t* d, int32_t pairs) {
  for (int32_t k = 0; k < pairs; ++k) {
    Store32(d + 8 * k, s[2 * k]);
    Store32(d + 8 * k + 4, s[2 * k + 1]);
  }
}

// Two overlapping 32-bit stores per pair, the top byte cleared: the byte after the last pair
// of a row is written as 0.
inline void RowRgb24(const uint32_t* s, uint8_t* d, int32_t pairs) {
  for (int32_t k = 0; k < pairs; ++k) {
    Store32(d + 6 * k, s[2 * k] & 0x00FFFFFFu);
    Store32(d + 6 * k + 3, s[2 * k + 1] & 0x00FFFFFFu);
  }
}

// The two pixels of a pair as one little-endian word, the even pixel in the low half.
inline void RowRgb565(const uint32_t* s, uint8_t* d, int32_t pairs) {
  for (int32_t k = 0; k < pairs; ++k) {
    Store32(d + 4 * k, ToRgb565(s[2 * k]) | (ToRgb565(s[2 * k + 1]) << 16));
  }
}
inline void RowRgb555(const uint32_t* s, uint8_t* d, int32_t pairs) {
  for (int32_t k = 0; k < pairs; ++k) {
    Store32(d + 4 * k, ToRgb555(s[2 * k]) | (ToRgb555(s[2 * k + 1]) << 16));
  }
}

// U comes from the even pixel, V from the odd one; each pixel keeps its own Y.
inline void RowUyvy(const uint32_t* s, uint8_t* d, int32_t pairs) {
  for (int32_t k = 0; k < pairs; ++k) {
    const uint32_t even = s[2 * k], odd = s[2 * k + 1];
    Store32(d + 4 * k, BlueDifferenceOf(even) | (LumaOf(even) << 8) |
                           (RedDifferenceOf(odd) << 16) | (LumaOf(odd) << 24));
  }
}
inline void RowYuy2(const uint32_t* s, uint8_t* d, int32_t pairs) {
  for (int32_t k = 0; k < pairs; ++k) {
    const uint32_t even = s[2 * k], odd = s[2 * k + 1];
    Store32(d + 4 * k, LumaOf(even) | (BlueDifferenceOf(even) << 8) | (LumaOf(odd) << 16) |
                           (RedDifferenceOf(odd) << 24));
  }
}

// The walk over the rows, the same for every format and instruction set. The YUV formats
// start each row at y x pitch too: overlay surfaces are often wider in memory than the
// picture (the driver aligns their rows), and writing the pairs back to back would shear
// the picture on such a surface; where the pitch is 2 x width the bytes are the same.
template <void (*Row)(const uint32_t*, uint8_t*, int32_t)>
void ConvertRows(const uint32_t* source, int32_t width, int32_t height, uint8_t* target,
                 int32_t pitch) {
  const int32_t pairs = width / 2;
  if (pairs <= 0) return;
  for (int32_t y = 0; y < height; ++y) {
    Row(source + static_cast<ptrdiff_t>(y) * width, target + static_cast<ptrdiff_t>(y) * pitch,
        pairs);
  }
}

}  // namespace corvex::compose
