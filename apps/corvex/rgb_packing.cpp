#include "rgb_packing.h"

#include <cstddef>

namespace corvex::host {

void PackRgb(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
             uint8_t* rgb) {
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t pixel = row[x];
      *rgb++ = static_cast<uint8_t>(pixel >> 16);
      *rgb++ = static_cast<uint8_t>(pixel >> 8);
      *rgb++ = static_cast<uint8_t>(pixel);
    }
  }
}

}  // namespace corvex::host
