#pragma once
#include "platform/text.h"

namespace corvex::platform::win32 {

// A surface's GDI device context as the interface's DeviceContext; the surface that hands it
// out owns it and gives the system's context back in ReleaseDC.
class SystemDeviceContext final : public DeviceContext {
 public:
  int32_t SetBkMode(int32_t mode) override;
  uint32_t SetTextColor(uint32_t color) override;
  FontHandle SelectObject(FontHandle font) override;
  bool TextOutAt(int32_t x, int32_t y, const char* text, int32_t length) override;

  void* dc = nullptr;  // the HDC
};

}  // namespace corvex::platform::win32
