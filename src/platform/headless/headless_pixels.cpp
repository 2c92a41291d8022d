#include "platform/headless/headless_pixels.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/display_flags.h"

namespace corvex::platform::headless {

PixelLayout PixelLayout::Of(const PixelFormat& format) {
  PixelLayout layout;
  if ((format.flags & ddpf::FourCC) != 0) {
    layout.bytesPerPixel = 2;
    layout.fourCC = format.fourCC;
    layout.redMask = layout.greenMask = layout.blueMask = 0;
    return layout;
  }
  layout.bytesPerPixel = static_cast<int32_t>((format.rgbBitCount + 7) / 8);
  layout.redMask = format.redMask;
  layout.greenMask = format.greenMask;
  layout.blueMask = format.blueMask;
  return layout;
}

namespace {

// One channel's field: where it lies and how it widens to 8 bits, worked out once per layout.
struct Channel {
  explicit Channel(uint32_t fieldMask)
      : mask(fieldMask),
        shift(fieldMask ? std::countr_zero(fieldMask) : 0),
        bits(std::popcount(fieldMask)) {}

  uint32_t Read(uint32_t raw) const {
    if (mask == 0) return 0;
    const uint32_t value = (raw & mask) >> shift;
    if (bits >= 8) return value >> (bits - 8);
    uint32_t widened = 0;
    for (int filled = 0; filled < 8; filled += bits) widened = (widened << bits) | value;
    return widened >> (((8 + bits - 1) / bits) * bits - 8);
  }

  uint32_t mask;
  int shift;
  int bits;
};

struct RgbReader {
  explicit RgbReader(const PixelLayout& layout)
      : red(layout.redMask), green(layout.greenMask), blue(layout.blueMask),
        bytes(static_cast<size_t>(layout.bytesPerPixel)) {}

  uint32_t Read(const uint8_t* pixel) const {
    uint32_t raw = 0;
    std::memcpy(&raw, pixel, bytes);
    return red.Read(raw) << 16 | green.Read(raw) << 8 | blue.Read(raw);
  }

  Channel red, green, blue;
  size_t bytes;
};

uint32_t WriteChannel(uint32_t value8, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const uint32_t field = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return (field << shift) & mask;
}

uint8_t Clamp255(double v) {
  const double rounded = v + 0.5;
  if (rounded <= 0.0) return 0;
  if (rounded >= 255.0) return 255;
  return static_cast<uint8_t>(rounded);
}

// The inverse of the plug-in's YUV conversion (Y = (74 R + 145 G + 36 B) / 256, U and V its
// colour differences around 128).
uint32_t YuvToRgb(int32_t y, int32_t u, int32_t v) {
  const double cu = u - 128.0, cv = v - 128.0, luma = 1.003921568627451 * y;
  const uint8_t r = Clamp255(luma - 0.005723370429252782 * cu + 1.9728669846316904 * cv);
  const uint8_t g = Clamp255(luma - 0.49220985691573926 * cu - 1.0001059883412824 * cv);
  const uint8_t b = Clamp255(luma + 1.9942766295707473 * cu - 0.027133015368309487 * cv);
  return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
}

// 0x??RRGGBB: what the plug-in draws in a 32-bit mode, readable without decoding.
bool IsPlain32(const PixelLayout& layout) {
  return !layout.IsYuv() && layout.bytesPerPixel == 4 && layout.redMask == 0x00FF0000 &&
         layout.greenMask == 0x0000FF00 && layout.blueMask == 0x000000FF;
}

}  // namespace

uint32_t ReadRgb(const uint8_t* row, int32_t x, const PixelLayout& layout) {
  if (layout.IsYuv()) {
    const uint8_t* pair = row + 4 * (x / 2);
    const bool odd = (x & 1) != 0;
    if (layout.fourCC == fourcc::Uyvy) return YuvToRgb(odd ? pair[3] : pair[1], pair[0], pair[2]);
    return YuvToRgb(odd ? pair[2] : pair[0], pair[1], pair[3]);
  }
  return RgbReader(layout).Read(row + static_cast<ptrdiff_t>(x) * layout.bytesPerPixel);
}

void WriteRgb(uint8_t* row, int32_t x, const PixelLayout& layout, uint32_t rgb) {
  if (layout.IsYuv()) return;
  uint8_t* pixel = row + static_cast<ptrdiff_t>(x) * layout.bytesPerPixel;
  uint32_t raw = 0;
  std::memcpy(&raw, pixel, static_cast<size_t>(layout.bytesPerPixel));
  const uint32_t channels = layout.redMask | layout.greenMask | layout.blueMask;
  raw = (raw & ~channels) | WriteChannel((rgb >> 16) & 255, layout.redMask) |
        WriteChannel((rgb >> 8) & 255, layout.greenMask) | WriteChannel(rgb & 255, layout.blueMask);
  std::memcpy(pixel, &raw, static_cast<size_t>(layout.bytesPerPixel));
}

uint32_t PictureRows::At(int32_t x, int32_t y) const {
  uint32_t pixel;
  std::memcpy(&pixel, first + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * 4, 4);
  return pixel & 0x00FFFFFF;
}

std::optional<PictureRows> RowsInPlace(const uint8_t* memory, int32_t pitch,
                                       const PixelLayout& layout, const Rect& source,
                                       int32_t outWidth, int32_t outHeight) {
  if (memory == nullptr || IsEmpty(source) || !IsPlain32(layout) ||
      source.right - source.left != outWidth || source.bottom - source.top != outHeight) {
    return std::nullopt;
  }
  return PictureRows{memory + static_cast<ptrdiff_t>(source.top) * pitch +
                         static_cast<ptrdiff_t>(source.left) * 4,
                     pitch, outWidth, outHeight};
}

Picture ReadPicture(const uint8_t* memory, int32_t pitch, const PixelLayout& layout,
                    const Rect& source, int32_t outWidth, int32_t outHeight) {
  Picture picture;
  if (memory == nullptr || IsEmpty(source) || outWidth <= 0 || outHeight <= 0) return picture;
  picture.width = outWidth;
  picture.height = outHeight;
  picture.pixels.resize(static_cast<size_t>(outWidth) * static_cast<size_t>(outHeight));
  const int64_t sw = source.right - source.left, sh = source.bottom - source.top;
  // 32-bit 0x??RRGGBB rows at their own width are copied with the top byte cleared instead of
  // decoded pixel by pixel.
  const bool plain32 = IsPlain32(layout) && sw == outWidth;
  const RgbReader reader(layout);
  for (int32_t y = 0; y < outHeight; ++y) {
    const int64_t sy = source.top + y * sh / outHeight;
    const uint8_t* row = memory + sy * pitch;
    uint32_t* out = picture.pixels.data() + static_cast<size_t>(y) * outWidth;
    if (plain32) {
      std::memcpy(out, row + static_cast<ptrdiff_t>(source.left) * 4,
                  static_cast<size_t>(outWidth) * 4);
      for (int32_t x = 0; x < outWidth; ++x) out[x] &= 0x00FFFFFF;
      continue;
    }
    for (int32_t x = 0; x < outWidth; ++x) {
      const int64_t sx = source.left + x * sw / outWidth;
      out[x] = layout.IsYuv() ? ReadRgb(row, static_cast<int32_t>(sx), layout)
                              : reader.Read(row + sx * layout.bytesPerPixel);
    }
  }
  return picture;
}

Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

}  // namespace corvex::platform::headless
