#pragma once
// What every version of the 4:2:0 conversion shares: the fixed-point BT.709 weights, the plain
// conversion of a pair of rows from any even column on, and the walk over the row pairs.
#include <cstddef>
#include <cstdint>

#include "yuv_picture.h"

namespace corvex::host::yuv {

// BT.709 weights scaled to the limited range, in 16-bit fixed point.
constexpr double kRed = 0.2126, kBlue = 0.0722, kGreen = 1.0 - kRed - kBlue;
constexpr double kLumaScale = 219.0 / 255.0 * 65536.0;
constexpr double kChromaScale = 224.0 / 255.0 * 65536.0;

constexpr int32_t Fixed(double value) {
  return static_cast<int32_t>(value < 0 ? value - 0.5 : value + 0.5);
}

constexpr int32_t kYr = Fixed(kRed * kLumaScale), kYg = Fixed(kGreen * kLumaScale),
                  kYb = Fixed(kBlue * kLumaScale);
constexpr int32_t kCbR = Fixed(-kRed / (2.0 * (1.0 - kBlue)) * kChromaScale);
constexpr int32_t kCbG = Fixed(-kGreen / (2.0 * (1.0 - kBlue)) * kChromaScale);
constexpr int32_t kCbB = Fixed(0.5 * kChromaScale);
constexpr int32_t kCrR = Fixed(0.5 * kChromaScale);
constexpr int32_t kCrG = Fixed(-kGreen / (2.0 * (1.0 - kRed)) * kChromaScale);
constexpr int32_t kCrB = Fixed(-kBlue / (2.0 * (1.0 - kRed)) * kChromaScale);
constexpr int32_t kHalf = 1 << 15;

inline int32_t Red(uint32_t pixel) { return static_cast<int32_t>(pixel >> 16 & 0xFF); }
inline int32_t Green(uint32_t pixel) { return static_cast<int32_t>(pixel >> 8 & 0xFF); }
inline int32_t Blue(uint32_t pixel) { return static_cast<int32_t>(pixel & 0xFF); }

// A black pixel gives 16, so the black edge of an odd picture needs no rule of its own.
inline uint8_t Luma(uint32_t pixel) {
  return static_cast<uint8_t>(
      16 + ((kYr * Red(pixel) + kYg * Green(pixel) + kYb * Blue(pixel) + kHalf) >> 16));
}

// From the sums of a 2x2 block: the mean's weights carry two more bits of fraction.
inline uint8_t Cb(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint8_t>(128 + ((kCbR * r + kCbG * g + kCbB * b + (kHalf << 2)) >> 18));
}
inline uint8_t Cr(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint8_t>(128 + ((kCrR * r + kCrG * g + kCrB * b + (kHalf << 2)) >> 18));
}

// Two rows of the picture and where their samples go. `bottom` is null below the last row of
// an odd picture: that row is black.
struct RowPair {
  const uint32_t* top;
  const uint32_t* bottom;
  uint8_t* lumaTop;
  uint8_t* lumaBottom;
  uint8_t* cb;
  uint8_t* cr;
};

// Columns `from` (even) to the picture's even width; a pixel past the last column is black.
inline void ConvertColumns(const RowPair& rows, int32_t width, int32_t from) {
  for (int32_t x = from; x < width; x += 2) {
    const bool inside = x + 1 < width;
    const uint32_t p00 = rows.top[x], p01 = inside ? rows.top[x + 1] : 0;
    const uint32_t p10 = rows.bottom != nullptr ? rows.bottom[x] : 0;
    const uint32_t p11 = inside && rows.bottom != nullptr ? rows.bottom[x + 1] : 0;
    rows.lumaTop[x] = Luma(p00);
    rows.lumaTop[x + 1] = Luma(p01);
    rows.lumaBottom[x] = Luma(p10);
    rows.lumaBottom[x + 1] = Luma(p11);
    const int32_t r = Red(p00) + Red(p01) + Red(p10) + Red(p11);
    const int32_t g = Green(p00) + Green(p01) + Green(p10) + Green(p11);
    const int32_t b = Blue(p00) + Blue(p01) + Blue(p10) + Blue(p11);
    rows.cb[x / 2] = Cb(r, g, b);
    rows.cr[x / 2] = Cr(r, g, b);
  }
}

// The whole picture a pair of rows at a time: `Vector` converts the leading columns of two
// full rows and says how many (an even number), the plain code does the rest.
template <int32_t (*Vector)(const RowPair& rows, int32_t width)>
void ConvertRowPairs(const uint8_t* pixels, ptrdiff_t pitch, int32_t width, int32_t height,
                     uint8_t* out) {
  const YuvSize size = YuvSizeOf(width, height);
  const size_t lumaPitch = static_cast<size_t>(size.width), chromaPitch = lumaPitch / 2;
  uint8_t* cb = out + size.LumaBytes();
  uint8_t* cr = cb + size.ChromaBytes();
  for (int32_t y = 0; y < height; y += 2) {
    const uint8_t* top = pixels + static_cast<ptrdiff_t>(y) * pitch;
    const RowPair rows{reinterpret_cast<const uint32_t*>(top),
                       y + 1 < height ? reinterpret_cast<const uint32_t*>(top + pitch) : nullptr,
                       out + static_cast<size_t>(y) * lumaPitch,
                       out + static_cast<size_t>(y + 1) * lumaPitch,
                       cb + static_cast<size_t>(y / 2) * chromaPitch,
                       cr + static_cast<size_t>(y / 2) * chromaPitch};
    ConvertColumns(rows, width, rows.bottom != nullptr ? Vector(rows, width) : 0);
  }
}

}  // namespace corvex::host::yuv
