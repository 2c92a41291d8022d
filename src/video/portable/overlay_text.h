#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex {

// The information overlay: six lines at x = 20 from y = 30, one every 10 pixels. The message
// line: x = 30, 20 pixels above the bottom of the picture.
inline constexpr int32_t kInfoLineCount = 6;
inline constexpr size_t kInfoLineSize = 320;  // the longest: a 255-character song title
inline constexpr int32_t kInfoX = 20;
inline constexpr int32_t kInfoFirstY = 30;
inline constexpr int32_t kInfoLineStep = 10;
inline constexpr int32_t kMessageX = 30;
inline constexpr int32_t kMessageRise = 20;

struct InfoValues {
  int32_t frameCount;
  uint32_t startTime;  // the millisecond clock at the first counted frame
  uint32_t now;        // and at this frame
  int32_t width;
  int32_t height;
  int32_t screenWidth;
  int32_t screenHeight;
  int32_t displayDepth;
  const char* songTitle;
  int32_t songPosition;  // milliseconds
};

// The average frame rate in tenths of a frame per second, truncated toward zero. The clock
// difference is a signed 32-bit number of milliseconds: a clock that went back gives a
// negative rate (100 frames in -3000 ms print as "-33.-3"). When the clock has not moved yet
// the rate is 0, shown as 0.0; a rate beyond 32 bits stops at the nearest end of the range.
int32_t FrameRateTenths(int32_t frameCount, uint32_t startTime, uint32_t now);

void FormatInfoLines(const InfoValues& values, char (&lines)[kInfoLineCount][kInfoLineSize]);

}  // namespace corvex
