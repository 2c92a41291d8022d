#include "rgb_packing.h"

#include <cstring>

namespace corvex::host {

void PackRgb(const uint8_t* pixels, ptrdiff_t pitch, int32_t width, int32_t height, uint8_t* rgb) {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t pixel;
      std::memcpy(&pixel, row + static_cast<ptrdiff_t>(x) * 4, 4);
      *rgb++ = static_cast<uint8_t>(pixel >> 16);
      *rgb++ = static_cast<uint8_t>(pixel >> 8);
      *rgb++ = static_cast<uint8_t>(pixel);
    }
  }
}

}  // namespace corvex::host
