#include "yuv_picture.h"

#include <cstring>
#include <vector>

namespace corvex::host {

namespace {

// BT.709 weights scaled to the limited range, in 16-bit fixed point.
constexpr double kRed = 0.2126, kBlue = 0.0722, kGreen = 1.0 - kRed - kBlue;
constexpr double kLumaScale = 219.0 / 255.0 * 65536.0;
constexpr double kChromaScale = 224.0 / 255.0 * 65536.0;

constexpr int32_t Fixed(double value) { return static_cast<int32_t>(value < 0 ? value - 0.5 : value + 0.5); }

constexpr int32_t kYr = Fixed(kRed * kLumaScale), kYg = Fixed(kGreen * kLumaScale), kYb = Fixed(kBlue * kLumaScale);
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

inline uint8_t Luma(uint32_t pixel) {
  return static_cast<uint8_t>(16 + ((kYr * Red(pixel) + kYg * Green(pixel) + kYb * Blue(pixel) + kHalf) >> 16));
}

}  // namespace

YuvSize YuvSizeOf(int32_t width, int32_t height) { return YuvSize{(width + 1) & ~1, (height + 1) & ~1}; }

void ConvertToYuv420(const uint32_t* pixels, int32_t width, int32_t height, uint8_t* out) {
  const YuvSize size = YuvSizeOf(width, height);
  // Luma a row at a time, a loop the compiler can widen; the even edge is black.
  for (int32_t y = 0; y < size.height; ++y) {
    uint8_t* luma = out + static_cast<size_t>(y) * static_cast<size_t>(size.width);
    if (y >= height) {
      std::memset(luma, 16, static_cast<size_t>(size.width));
      continue;
    }
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int32_t x = 0; x < width; ++x) luma[x] = Luma(row[x]);
    if (width < size.width) luma[width] = 16;
  }
  // Chroma from the sums of each 2x2 block: a pixel outside the picture is black, so an odd
  // last row reads a row of zeros and an odd last column adds nothing.
  uint8_t* cb = out + size.LumaBytes();
  uint8_t* cr = cb + size.ChromaBytes();
  std::vector<uint32_t> blackRow(static_cast<size_t>(size.width), 0);
  for (int32_t y = 0; y < size.height; y += 2) {
    const uint32_t* row0 = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    const uint32_t* row1 = y + 1 < height ? row0 + width : blackRow.data();
    uint8_t* cbRow = cb + static_cast<size_t>(y / 2) * static_cast<size_t>(size.width / 2);
    uint8_t* crRow = cr + static_cast<size_t>(y / 2) * static_cast<size_t>(size.width / 2);
    for (int32_t x = 0; x < size.width; x += 2) {
      const bool inside = x + 1 < width;
      const uint32_t p00 = row0[x], p01 = inside ? row0[x + 1] : 0;
      const uint32_t p10 = row1[x], p11 = inside ? row1[x + 1] : 0;
      // Sums of four: the mean's weights carry two more bits of fraction.
      const int32_t r = Red(p00) + Red(p01) + Red(p10) + Red(p11);
      const int32_t g = Green(p00) + Green(p01) + Green(p10) + Green(p11);
      const int32_t b = Blue(p00) + Blue(p01) + Blue(p10) + Blue(p11);
      cbRow[x / 2] = static_cast<uint8_t>(128 + ((kCbR * r + kCbG * g + kCbB * b + (kHalf << 2)) >> 18));
      crRow[x / 2] = static_cast<uint8_t>(128 + ((kCrR * r + kCrG * g + kCrB * b + (kHalf << 2)) >> 18));
    }
  }
}

}  // namespace corvex::host
