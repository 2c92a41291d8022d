#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex {

inline constexpr size_t kModeNameSize = 128;

// Display modes of the Video.
inline constexpr int32_t kFullScreen = 0;
inline constexpr int32_t kWindowed = 1;
inline constexpr int32_t kBackground = 2;
inline constexpr int32_t kDisplayModeCount = 3;

// Memory units of one pixel in the mode filter: 1 at 16 bits per pixel, 2 at 24 or 32.
inline int64_t MemoryFactor(int32_t bitsPerPixel) { return bitsPerPixel == 16 ? 1 : 2; }

// Whether a display mode of the device is offered for displayMode: 16, 24 or 32 bits per
// pixel, and memory for it (full screen: the desktop's surface plus what surfaces may use;
// background: twice the mode within what surfaces may use; windowed: no limit).
bool ModeIsOffered(int32_t displayMode, int32_t width, int32_t height, int32_t bitsPerPixel,
                   int64_t totalVideoMemory, int64_t availableVideoMemory);

// "%dx%dx%d" of width, height and bits per pixel into a name of kModeNameSize bytes.
void FormatModeName(int32_t width, int32_t height, int32_t bitsPerPixel, char* name);

// The number of one bits, counted by clearing the lowest one until none is left.
int32_t CountBits(uint32_t value);

}  // namespace corvex
