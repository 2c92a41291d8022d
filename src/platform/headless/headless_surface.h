#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display.h"
#include "platform/headless/headless_pixels.h"

namespace corvex::platform::headless {

class HeadlessDisplay;
class HeadlessDeviceContext;

class HeadlessClipper final : public Clipper {
 public:
  explicit HeadlessClipper(HeadlessDisplay& display);
  Result SetHWnd(uint32_t flags, WindowHandle window) override;
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override;

  WindowHandle window = nullptr;

 private:
  ~HeadlessClipper() override;
  HeadlessDisplay& display_;
  uint32_t references_ = 1;
};

// A surface in memory: the primary is the display's screen, every other surface owns its
// bytes, in the display's format or the overlay's FourCC format.
class HeadlessSurface final : public Surface {
 public:
  enum class Kind { Primary, Overlay, Offscreen };
  HeadlessSurface(HeadlessDisplay& display, Kind kind, int32_t width, int32_t height,
                  const PixelFormat& format, uint32_t caps);

  Result Lock(const Rect* rect, SurfaceDescription* description, uint32_t flags) override;
  Result Unlock(const Rect* rect) override;
  Result Blt(const Rect* destination, Surface* source, const Rect* sourceRect,
             uint32_t flags) override;
  Result UpdateOverlay(const Rect* sourceRect, Surface* destination,
                       const Rect* destinationRect, uint32_t flags) override;
  Result SetColorKey(uint32_t flags, const ColorKey& key) override;
  Result SetClipper(Clipper* clipper) override;
  Result IsLost() override;
  Result Restore() override;
  Result GetDC(DeviceContext** context) override;
  Result ReleaseDC(DeviceContext* context) override;
  uint32_t Release() override;

  uint8_t* Memory();
  const uint8_t* Memory() const;
  int32_t Pitch() const;
  Rect Bounds() const { return Rect{0, 0, width, height}; }
  PixelLayout Layout() const { return PixelLayout::Of(format); }

  const Kind kind;
  const int32_t width;
  const int32_t height;
  const PixelFormat format;
  const uint32_t caps;
  bool lost = false;
  bool locked = false;
  HeadlessClipper* clipper = nullptr;
  bool hasDestOverlayKey = false;
  ColorKey destOverlayKey;
  // An overlay's state, from UpdateOverlay.
  bool overlayShown = false;
  Rect overlaySource;
  Rect overlayDestination;
  uint32_t overlayFlags = 0;
  uint32_t videoMemoryBytes = 0;

 private:
  ~HeadlessSurface() override;
  bool Busy() const;
  bool WrongMode();

  HeadlessDisplay& display_;
  uint32_t references_ = 1;
  std::vector<uint8_t> memory_;
  int32_t pitch_ = 0;
  uint64_t generation_ = 0;
  std::unique_ptr<HeadlessDeviceContext> context_;
};

}  // namespace corvex::platform::headless
