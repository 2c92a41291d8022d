// Fonts and text on a surface's device context, on GDI.
#include "platform/text.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_device_context.h"
#include "platform/win32/windows_api.h"

namespace corvex::platform::win32 {

namespace {

class SystemGraphics final : public GraphicsSystem {
 public:
  FontHandle CreateFontObject(const FontRequest& r) override {
    return CreateFontA(r.height, r.width, r.escapement, r.orientation, r.weight, r.italic,
                       r.underline, r.strikeOut, r.charSet, r.outputPrecision, r.clipPrecision,
                       r.quality, r.pitchAndFamily, r.faceName);
  }
  bool DeleteObject(FontHandle object) override {
    return ::DeleteObject(static_cast<HGDIOBJ>(object)) != 0;
  }
};

}  // namespace

int32_t SystemDeviceContext::SetBkMode(int32_t mode) {
  return ::SetBkMode(static_cast<HDC>(dc), mode);
}
uint32_t SystemDeviceContext::SetTextColor(uint32_t color) {
  return ::SetTextColor(static_cast<HDC>(dc), color);
}
FontHandle SystemDeviceContext::SelectObject(FontHandle font) {
  return ::SelectObject(static_cast<HDC>(dc), static_cast<HGDIOBJ>(font));
}
bool SystemDeviceContext::TextOutAt(int32_t x, int32_t y, const char* text, int32_t length) {
  return TextOutA(static_cast<HDC>(dc), x, y, text, length) != 0;
}

std::unique_ptr<GraphicsSystem> MakeGraphicsSystem() { return std::make_unique<SystemGraphics>(); }

}  // namespace corvex::platform::win32
