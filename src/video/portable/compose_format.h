#pragma once
#include <cstdint>

namespace corvex {

// The target of Compose: which conversion runs and what the compose surface is.
enum class ComposeFormat : int32_t {
  Rgb32 = 0,   // display depth 32: blue, green, red, top byte
  Rgb24 = 1,   // display depth 24: blue, green, red
  Rgb565 = 2,  // display depth 16, six green bits
  Rgb555 = 3,  // display depth 16, five green bits
  Uyvy = 4,    // background mode through a UYVY overlay: U, Y0, V, Y1 per pixel pair
  Yuy2 = 5,    // background mode through a YUY2 overlay: Y0, U, Y1, V per pixel pair
};
inline constexpr int32_t kComposeFormatCount = 6;

inline bool IsYuvFormat(ComposeFormat format) {
  return format == ComposeFormat::Uyvy || format == ComposeFormat::Yuy2;
}

const char* ComposeFormatName(ComposeFormat format);

}  // namespace corvex
