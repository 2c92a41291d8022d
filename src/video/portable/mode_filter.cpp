#include "video/portable/mode_filter.h"

#include <cstdio>

namespace corvex {

bool ModeIsOffered(int32_t displayMode, int32_t width, int32_t height, int32_t bitsPerPixel,
                   int64_t totalVideoMemory, int64_t availableVideoMemory) {
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return false;
  const int64_t units = MemoryFactor(bitsPerPixel) * width * height;
  if (displayMode == kFullScreen) return units <= totalVideoMemory;
  if (displayMode == kBackground) return 2 * units <= availableVideoMemory;
  return true;
}

void FormatModeName(int32_t width, int32_t height, int32_t bitsPerPixel, char* name) {
  std::snprintf(name, kModeNameSize, "%dx%dx%d", width, height, bitsPerPixel);
}

int32_t CountBits(uint32_t value) {
  int32_t count = 0;
  while (value != 0) {
    value &= value - 1;
    ++count;
  }
  return count;
}

}  // namespace corvex
