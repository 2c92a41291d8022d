#include "presented_picture.h"

#include "platform/headless/headless_display.h"

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

bool ReadPresentedPicture(const platform::headless::HeadlessDisplay& display, PresentedFrame& frame) {
  const platform::headless::Picture picture = display.PresentedPicture();
  if (picture.width <= 0 || picture.height <= 0) return false;
  frame.width = picture.width;
  frame.height = picture.height;
  frame.rgb.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height) * 3);
  PackRgb(picture.pixels.data(), frame.width, frame.height, frame.width, frame.rgb.data());
  return true;
}

}  // namespace corvex::host
