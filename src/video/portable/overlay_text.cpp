#include "video/portable/overlay_text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace corvex {

int32_t FrameRateTenths(int32_t frameCount, uint32_t startTime, uint32_t now) {
  const auto elapsed = static_cast<int32_t>(now - startTime);
  if (elapsed == 0) return 0;
  const double tenths = frameCount * 10000.0 / elapsed;
  constexpr double kLowest = std::numeric_limits<int32_t>::min();
  constexpr double kHighest = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(tenths, kLowest, kHighest));
}

void FormatInfoLines(const InfoValues& v, char (&lines)[kInfoLineCount][kInfoLineSize]) {
  const int32_t tenths = FrameRateTenths(v.frameCount, v.startTime, v.now);
  std::snprintf(lines[0], kInfoLineSize, "Frame Count: %d", v.frameCount);
  std::snprintf(lines[1], kInfoLineSize, "FPS: %d.%d", tenths / 10, tenths % 10);
  std::snprintf(lines[2], kInfoLineSize, "Screen Size: %d x %d", v.width, v.height);
  std::snprintf(lines[3], kInfoLineSize, "Display Size: %d x %d x %d", v.screenWidth,
                v.screenHeight, v.displayDepth);
  std::snprintf(lines[4], kInfoLineSize, "Song Info: %.255s", v.songTitle ? v.songTitle : "");
  std::snprintf(lines[5], kInfoLineSize, "Song Playing Time: %2d:%02d", v.songPosition / 60000,
                (v.songPosition / 1000) % 60);
}

}  // namespace corvex
