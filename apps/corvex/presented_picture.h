#pragma once
#include <cstdint>
#include <vector>

namespace corvex::platform::headless {
class HeadlessDisplay;
}

namespace corvex::host {

// What the display shows after the last Render: the picture as the screen has it, overlays
// included, as packed RGB (3 bytes a pixel, top row first).
struct PresentedFrame {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
};

// Reads the picture the display last presented into frame (reusing its buffer). Returns false
// when nothing has been presented yet.
bool ReadPresentedPicture(const platform::headless::HeadlessDisplay& display, PresentedFrame& frame);

// Packs 0x00RRGGBB pixels (rows `stride` pixels apart) into RGB bytes.
void PackRgb(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
             uint8_t* rgb);

}  // namespace corvex::host
