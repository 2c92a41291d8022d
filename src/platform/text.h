#pragma once
#include <cstdint>

namespace corvex::platform {

// Fonts and text output onto a surface, shaped after the Windows graphics calls of the same
// names. Colours are 0x00BBGGRR, as Windows writes them.
using FontHandle = void*;

// Background modes of SetBkMode, a character set and a pitch of FontRequest.
namespace bk {
inline constexpr int32_t Transparent = 1;
inline constexpr int32_t Opaque = 2;
}  // namespace bk

namespace charset {
inline constexpr uint32_t ShiftJis = 128;
}  // namespace charset

namespace pitch {
inline constexpr uint32_t Variable = 2;
}  // namespace pitch

// The arguments of CreateFontObject. A negative height asks for that character height in pixels.
struct FontRequest {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint32_t italic = 0;
  uint32_t underline = 0;
  uint32_t strikeOut = 0;
  uint32_t charSet = 0;
  uint32_t outputPrecision = 0;
  uint32_t clipPrecision = 0;
  uint32_t quality = 0;
  uint32_t pitchAndFamily = 0;
  const char* faceName = nullptr;
};

// A drawing context on a surface (from Surface::GetDC). It starts with the system font, black
// text and an opaque white background.
class DeviceContext {
 public:
  virtual int32_t SetBkMode(int32_t mode) = 0;            // returns the previous mode
  virtual uint32_t SetTextColor(uint32_t color) = 0;      // returns the previous colour
  virtual FontHandle SelectObject(FontHandle font) = 0;   // returns the previous font
  // Writes length characters of text with the cell's top-left corner at (x, y).
  virtual bool TextOutAt(int32_t x, int32_t y, const char* text, int32_t length) = 0;

 protected:
  virtual ~DeviceContext() = default;
};

class GraphicsSystem {
 public:
  virtual ~GraphicsSystem() = default;
  virtual FontHandle CreateFontObject(const FontRequest& request) = 0;  // null on failure
  virtual bool DeleteObject(FontHandle object) = 0;
};

}  // namespace corvex::platform
