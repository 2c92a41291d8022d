#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex::host {

// Packs 0x??RRGGBB pixels (rows `pitch` bytes apart; the top byte is ignored) into RGB bytes,
// 3 a pixel, rows back to back.
void PackRgb(const uint8_t* pixels, ptrdiff_t pitch, int32_t width, int32_t height, uint8_t* rgb);

}  // namespace corvex::host
