#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex::host {

// The picture as the H.264 encoder takes it: planar 4:2:0 in BT.709 colours, limited range
// (Y 16..235, Cb and Cr 16..240), a quarter of the bytes of 32-bit pixels. Its sides are the
// picture's rounded up to even; the added column or row is black.
struct YuvSize {
  int32_t width;   // even
  int32_t height;  // even
  size_t LumaBytes() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
  size_t ChromaBytes() const { return LumaBytes() / 4; }
  size_t Bytes() const { return LumaBytes() + 2 * ChromaBytes(); }
};

YuvSize YuvSizeOf(int32_t width, int32_t height);

// Converts 0x00RRGGBB pixels (rows `width` apart) into `out`: the Y plane, then Cb, then Cr.
// Each chroma sample is that of the mean colour of its 2x2 pixels.
void ConvertToYuv420(const uint32_t* pixels, int32_t width, int32_t height, uint8_t* out);

}  // namespace corvex::host
