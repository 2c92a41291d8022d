#include "platform/headless/headless_surface.h"

#include <cstring>

#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_text.h"
#include "platform/headless/headless_windows.h"
#include "simd/row_copy.h"

namespace corvex::platform::headless {

HeadlessClipper::HeadlessClipper(HeadlessDisplay& display) : display_(display) {
  display_.ClipperCreated();
}

HeadlessClipper::~HeadlessClipper() { display_.ClipperDestroyed(); }

Result HeadlessClipper::SetHWnd(uint32_t, WindowHandle target) {
  if (auto failure = display_.failures.Take("SetHWnd")) return *failure;
  if (display_.windows().Find(target) == nullptr) return dderr::InvalidParams;
  window = target;
  return dd::Ok;
}

uint32_t HeadlessClipper::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HeadlessSurface::HeadlessSurface(HeadlessDisplay& display, Kind surfaceKind, int32_t w,
                                 int32_t h, const PixelFormat& pixelFormat, uint32_t surfaceCaps)
    : kind(surfaceKind),
      width(w),
      height(h),
      format(pixelFormat),
      caps(surfaceCaps),
      display_(display) {
  if (kind == Kind::Primary) {
    generation_ = display_.ScreenGeneration();
  } else {
    pitch_ = display_.PitchFor(width, PixelLayout::Of(format).bytesPerPixel);
    memory_.assign(static_cast<size_t>(pitch_) * static_cast<size_t>(height), 0);
  }
  display_.Register(this);
}

HeadlessSurface::~HeadlessSurface() {
  if (clipper != nullptr) clipper->Release();
  if (videoMemoryBytes != 0) display_.ReturnVideoMemory(videoMemoryBytes);
  display_.Unregister(this);
}

uint32_t HeadlessSurface::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

uint8_t* HeadlessSurface::Memory() {
  return kind == Kind::Primary ? display_.ScreenMemory() : memory_.data();
}

const uint8_t* HeadlessSurface::Memory() const {
  return kind == Kind::Primary ? display_.ScreenMemory() : memory_.data();
}

int32_t HeadlessSurface::Pitch() const {
  return kind == Kind::Primary ? display_.ScreenPitch() : pitch_;
}

bool HeadlessSurface::Busy() const { return locked || context_ != nullptr; }

// The primary belongs to the display mode it was made in; after a mode change it stays lost.
bool HeadlessSurface::WrongMode() {
  return kind == Kind::Primary && generation_ != display_.ScreenGeneration();
}

Result HeadlessSurface::Lock(const Rect* rect, SurfaceDescription* description, uint32_t) {
  if (auto failure = display_.failures.Take("Lock")) return *failure;
  if (description == nullptr || description->size != kSurfaceDescriptionSize) {
    return dderr::InvalidParams;
  }
  if (lost || WrongMode()) return dderr::SurfaceLost;
  if (Busy()) return dderr::SurfaceBusy;
  const Rect area = rect ? *rect : Bounds();
  if (IsEmpty(area) || !Contains(Bounds(), area)) return dderr::InvalidRect;
  const PixelLayout layout = Layout();
  description->flags =
      ddsd::Caps | ddsd::Height | ddsd::Width | ddsd::Pitch | ddsd::LpSurface | ddsd::PixelFormat;
  description->width = static_cast<uint32_t>(width);
  description->height = static_cast<uint32_t>(height);
  description->pitch = Pitch();
  description->surface = Memory() + static_cast<ptrdiff_t>(area.top) * Pitch() +
                         static_cast<ptrdiff_t>(area.left) * layout.bytesPerPixel;
  description->pixelFormat = format;
  description->caps.caps = caps;
  locked = true;
  return dd::Ok;
}

Result HeadlessSurface::Unlock(const Rect*) {
  if (auto failure = display_.failures.Take("Unlock")) return *failure;
  if (!locked) return dderr::NotLocked;
  locked = false;
  return dd::Ok;
}

Result HeadlessSurface::Blt(const Rect* destination, Surface* source, const Rect* sourceRect,
                            uint32_t) {
  if (auto failure = display_.failures.Take("Blt")) return *failure;
  auto* from = static_cast<HeadlessSurface*>(source);
  if (from == nullptr) return dderr::InvalidParams;
  if (lost || WrongMode() || from->lost || from->WrongMode()) return dderr::SurfaceLost;
  if (Busy() || from->Busy()) return dderr::SurfaceBusy;
  const PixelLayout layout = Layout();
  const PixelLayout fromLayout = from->Layout();
  if (layout.bytesPerPixel != fromLayout.bytesPerPixel || layout.fourCC != fromLayout.fourCC) {
    return dderr::InvalidPixelFormat;
  }
  const Rect s = sourceRect ? *sourceRect : from->Bounds();
  const Rect d = destination ? *destination : Bounds();
  if (IsEmpty(s) || !Contains(from->Bounds(), s) || IsEmpty(d)) return dderr::InvalidRect;
  Rect visible = Bounds();
  if (clipper != nullptr) {
    Rect window;
    if (!display_.windows().GetWindowRect(clipper->window, &window)) window = Rect{};
    visible = Intersect(visible, window);
  } else if (!Contains(Bounds(), d)) {
    return dderr::InvalidRect;
  }
  const Rect drawn = Intersect(d, visible);
  const int32_t bytes = layout.bytesPerPixel;
  const int64_t sw = s.right - s.left, sh = s.bottom - s.top;
  const int64_t dw = d.right - d.left, dh = d.bottom - d.top;
  uint8_t* target = Memory();
  const uint8_t* origin = from->Memory();
  const int32_t pitch = Pitch(), fromPitch = from->Pitch();
  // Rows of equal width are copied whole. A copy the size of a large screen would push the
  // picture through the cache and first read every line it fills, so it stores past the cache.
  const auto rowBytes = static_cast<size_t>(drawn.right - drawn.left) * bytes;
  const auto rows = static_cast<size_t>(drawn.bottom - drawn.top);
  const RowCopy copyRow = IsEmpty(drawn) ? &PlainRowCopy : RowCopyFor(2 * rowBytes * rows);
  for (int32_t y = drawn.top; y < drawn.bottom && !IsEmpty(drawn); ++y) {
    const int64_t sy = s.top + (y - d.top) * sh / dh;
    uint8_t* row = target + static_cast<ptrdiff_t>(y) * pitch;
    const uint8_t* fromRow = origin + sy * fromPitch;
    if (sw == dw) {
      const int64_t sx = s.left + (drawn.left - d.left);
      copyRow(row + static_cast<ptrdiff_t>(drawn.left) * bytes, fromRow + sx * bytes, rowBytes);
      continue;
    }
    for (int32_t x = drawn.left; x < drawn.right; ++x) {
      const int64_t sx = s.left + (x - d.left) * sw / dw;
      std::memcpy(row + static_cast<ptrdiff_t>(x) * bytes, fromRow + sx * bytes,
                  static_cast<size_t>(bytes));
    }
  }
  FinishRowCopies();
  if (kind == Kind::Primary) display_.ScreenPresented(drawn);
  return dd::Ok;
}

Result HeadlessSurface::UpdateOverlay(const Rect* sourceRect, Surface* destination,
                                      const Rect* destinationRect, uint32_t flags) {
  if (auto failure = display_.failures.Take("UpdateOverlay")) return *failure;
  if (kind != Kind::Overlay) return dderr::NotAOverlaySurface;
  auto* screen = static_cast<HeadlessSurface*>(destination);
  if (screen == nullptr || screen->kind != Kind::Primary) return dderr::InvalidSurfaceType;
  if (lost || screen->lost || screen->WrongMode()) return dderr::SurfaceLost;
  if ((flags & ddover::Hide) != 0) {
    overlayShown = false;
    return dd::Ok;
  }
  const Rect s = sourceRect ? *sourceRect : Bounds();
  const Rect d = destinationRect ? *destinationRect : screen->Bounds();
  if (IsEmpty(s) || !Contains(Bounds(), s)) return dderr::InvalidRect;
  if (IsEmpty(d) || !Contains(screen->Bounds(), d)) return dderr::InvalidPosition;
  overlaySource = s;
  overlayDestination = d;
  overlayFlags = flags;
  if ((flags & ddover::Show) != 0) {
    overlayShown = true;
    display_.OverlayPresented(this);
  }
  return dd::Ok;
}

Result HeadlessSurface::SetColorKey(uint32_t flags, const ColorKey& key) {
  if (auto failure = display_.failures.Take("SetColorKey")) return *failure;
  if ((flags & ddckey::DestOverlay) == 0) return dderr::Unsupported;
  destOverlayKey = key;
  hasDestOverlayKey = true;
  return dd::Ok;
}

Result HeadlessSurface::SetClipper(Clipper* newClipper) {
  if (auto failure = display_.failures.Take("SetClipper")) return *failure;
  if (newClipper != nullptr) newClipper->AddRef();
  if (clipper != nullptr) clipper->Release();
  clipper = static_cast<HeadlessClipper*>(newClipper);
  return dd::Ok;
}

Result HeadlessSurface::IsLost() {
  if (auto failure = display_.failures.Take("IsLost")) return *failure;
  return lost || WrongMode() ? dderr::SurfaceLost : dd::Ok;
}

Result HeadlessSurface::Restore() {
  if (auto failure = display_.failures.Take("Restore")) return *failure;
  if (WrongMode()) return dderr::WrongMode;
  lost = false;
  return dd::Ok;
}

Result HeadlessSurface::GetDC(DeviceContext** context) {
  if (auto failure = display_.failures.Take("GetDC")) return *failure;
  if (context == nullptr) return dderr::InvalidParams;
  if (lost || WrongMode()) return dderr::SurfaceLost;
  if (Layout().IsYuv()) return dderr::CantCreateDC;
  if (context_ != nullptr) return dderr::DCAlreadyCreated;
  if (locked) return dderr::SurfaceBusy;
  context_ = std::make_unique<HeadlessDeviceContext>(
      display_.graphics(), DrawTarget{Memory(), width, height, Pitch(), Layout()});
  *context = context_.get();
  return dd::Ok;
}

Result HeadlessSurface::ReleaseDC(DeviceContext* context) {
  if (auto failure = display_.failures.Take("ReleaseDC")) return *failure;
  if (context_ == nullptr || context != context_.get()) return dderr::NoDC;
  context_.reset();
  return dd::Ok;
}

}  // namespace corvex::platform::headless
