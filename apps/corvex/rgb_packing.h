#pragma once
#include <cstdint>

namespace corvex::host {

// Packs 0x00RRGGBB pixels (rows `stride` pixels apart) into RGB bytes, 3 a pixel.
void PackRgb(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride,
             uint8_t* rgb);

}  // namespace corvex::host
