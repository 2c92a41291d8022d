#include "platform/headless/headless_display.h"

#include <algorithm>

#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "platform/headless/headless_surface.h"
#include "platform/headless/headless_windows.h"

namespace corvex::platform::headless {

DisplayModeInfo StandardMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
  DisplayModeInfo mode{width, height, bitsPerPixel, 0, 0, 0};
  if (bitsPerPixel == 16) {
    mode.redMask = 0xF800;
    mode.greenMask = 0x07E0;
    mode.blueMask = 0x001F;
  } else if (bitsPerPixel == 24 || bitsPerPixel == 32) {
    mode.redMask = 0x00FF0000;
    mode.greenMask = 0x0000FF00;
    mode.blueMask = 0x000000FF;
  }
  return mode;
}

DisplayModeInfo Mode555(int32_t width, int32_t height) {
  return DisplayModeInfo{width, height, 16, 0x7C00, 0x03E0, 0x001F};
}

namespace {

PixelFormat FormatOf(const DisplayModeInfo& mode) {
  PixelFormat format;
  format.size = kPixelFormatSize;
  format.flags = mode.bitsPerPixel <= 8 ? ddpf::PaletteIndexed8 : ddpf::Rgb;
  format.rgbBitCount = static_cast<uint32_t>(mode.bitsPerPixel);
  format.redMask = mode.redMask;
  format.greenMask = mode.greenMask;
  format.blueMask = mode.blueMask;
  return format;
}

bool SameMode(const DisplayModeInfo& a, const DisplayModeInfo& b) {
  return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
         a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

// The DirectDraw object and its DirectDraw 6 device are one object with one reference count,
// as a COM object answering QueryInterface.
class HeadlessDirectDraw final : public DirectDrawObject, public DisplayDevice {
 public:
  explicit HeadlessDirectDraw(HeadlessDisplay& display) : display_(display) {
    display_.ObjectCreated();
  }

  Result QueryDisplayDevice(DisplayDevice** device) override {
    if (auto failure = display_.failures.Take("QueryInterface")) return *failure;
    if (device == nullptr) return dderr::InvalidParams;
    if (!display_.hasDirectDraw6) return com::NoInterface;
    ++references_;
    *device = this;
    return dd::Ok;
  }

  uint32_t Release() override {
    const uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }

  Result EnumDisplayModes(uint32_t, const SurfaceDescription*, void* context,
                          EnumModesCallback callback) override {
    if (auto failure = display_.failures.Take("EnumDisplayModes")) return *failure;
    if (callback == nullptr) return dderr::InvalidParams;
    const std::vector<DisplayModeInfo> reported = display_.modes;  // callbacks may not alter it
    for (const DisplayModeInfo& mode : reported) {
      SurfaceDescription description = Describe(mode);
      if (callback(&description, context) == ddenumret::Cancel) break;
    }
    return dd::Ok;
  }

  Result GetDisplayMode(SurfaceDescription* description) override {
    if (auto failure = display_.failures.Take("GetDisplayMode")) return *failure;
    if (description == nullptr || description->size != kSurfaceDescriptionSize) {
      return dderr::InvalidParams;
    }
    *description = Describe(display_.CurrentMode());
    return dd::Ok;
  }

  Result GetAvailableVidMem(const SurfaceCaps*, uint32_t* total, uint32_t* free) override {
    if (auto failure = display_.failures.Take("GetAvailableVidMem")) return *failure;
    if (total == nullptr && free == nullptr) return dderr::InvalidParams;
    if (total != nullptr) *total = display_.videoMemory;
    if (free != nullptr) *free = display_.videoMemory - display_.UsedVideoMemory();
    return dd::Ok;
  }

  Result GetCaps(DisplayCaps* driver, DisplayCaps* emulation) override {
    if (auto failure = display_.failures.Take("GetCaps")) return *failure;
    if (driver == nullptr && emulation == nullptr) return dderr::InvalidParams;
    if (driver != nullptr) {
      const bool overlays = display_.overlaySupport != OverlaySupport::None;
      driver->caps = overlays ? ddcaps::Overlay : 0;
      driver->videoMemoryTotal = display_.videoMemory;
      driver->videoMemoryFree = display_.videoMemory - display_.UsedVideoMemory();
      driver->maxVisibleOverlays = overlays ? display_.maxVisibleOverlays : 0;
      driver->currentVisibleOverlays = display_.otherVisibleOverlays + display_.ShownOverlays();
    }
    if (emulation != nullptr) *emulation = DisplayCaps{};
    return dd::Ok;
  }

  Result SetCooperativeLevel(WindowHandle window, uint32_t flags) override {
    if (auto failure = display_.failures.Take("SetCooperativeLevel")) return *failure;
    const bool exclusive = (flags & (ddscl::Exclusive | ddscl::FullScreen)) != 0;
    const bool normal = (flags & ddscl::Normal) != 0;
    if (exclusive == normal) return dderr::InvalidParams;
    constexpr uint32_t kFullScreen = ddscl::Exclusive | ddscl::FullScreen;
    if (exclusive && (flags & kFullScreen) != kFullScreen) {
      return dderr::InvalidParams;  // exclusive and full screen go together
    }
    if (exclusive && display_.windows().Find(window) == nullptr) return dderr::InvalidParams;
    if (exclusive && display_.ExclusiveOwner() != nullptr && display_.ExclusiveOwner() != this) {
      return dderr::ExclusiveModeAlreadySet;
    }
    display_.SetCooperation(window, flags, this);
    return dd::Ok;
  }

  Result SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint32_t,
                        uint32_t) override {
    if (auto failure = display_.failures.Take("SetDisplayMode")) return *failure;
    if (display_.ExclusiveOwner() != this) return dderr::NoExclusiveMode;
    for (const DisplayModeInfo& mode : display_.modes) {
      if (mode.width == static_cast<int32_t>(width) &&
          mode.height == static_cast<int32_t>(height) &&
          mode.bitsPerPixel == static_cast<int32_t>(bitsPerPixel)) {
        return display_.SetMode(&mode);
      }
    }
    return dderr::InvalidMode;
  }

  Result RestoreDisplayMode() override {
    if (auto failure = display_.failures.Take("RestoreDisplayMode")) return *failure;
    return display_.SetMode(nullptr);
  }

  Result CreateSurface(const SurfaceDescription* description, Surface** surface) override {
    if (auto failure = display_.failures.Take("CreateSurface")) return *failure;
    if (description == nullptr || surface == nullptr ||
        description->size != kSurfaceDescriptionSize || (description->flags & ddsd::Caps) == 0) {
      return dderr::InvalidParams;
    }
    const uint32_t caps = description->caps.caps;
    if ((caps & ddscaps::PrimarySurface) != 0) return CreatePrimary(caps, surface);
    const bool sized = (description->flags & ddsd::Width) && (description->flags & ddsd::Height);
    if (!sized || description->width == 0 || description->height == 0 ||
        description->width > 16384 || description->height > 16384) {
      return dderr::InvalidParams;
    }
    PixelFormat format = display_.CurrentPixelFormat();
    if ((description->flags & ddsd::PixelFormat) != 0) format = description->pixelFormat;
    const bool overlay = (caps & ddscaps::Overlay) != 0;
    if (overlay) {
      if (Result refused = OverlayRefusal(format); refused != dd::Ok) return refused;
    } else if ((format.flags & ddpf::FourCC) != 0) {
      return dderr::InvalidPixelFormat;
    }
    if (format.rgbBitCount <= 8 && (format.flags & ddpf::FourCC) == 0) {
      return dderr::InvalidPixelFormat;  // no palettes here
    }
    const int32_t width = static_cast<int32_t>(description->width);
    const int32_t height = static_cast<int32_t>(description->height);
    uint32_t videoBytes = 0;
    if (overlay || (caps & ddscaps::VideoMemory) != 0) {
      videoBytes = static_cast<uint32_t>(
          display_.PitchFor(width, PixelLayout::Of(format).bytesPerPixel) * height);
      if (!display_.ReserveVideoMemory(videoBytes)) return dderr::OutOfVideoMemory;
    }
    auto* created = new HeadlessSurface(
        display_, overlay ? HeadlessSurface::Kind::Overlay : HeadlessSurface::Kind::Offscreen,
        width, height, format, caps);
    created->videoMemoryBytes = videoBytes;
    *surface = created;
    return dd::Ok;
  }

  Result CreateClipper(uint32_t, Clipper** clipper) override {
    if (auto failure = display_.failures.Take("CreateClipper")) return *failure;
    if (clipper == nullptr) return dderr::InvalidParams;
    *clipper = new HeadlessClipper(display_);
    return dd::Ok;
  }

 private:
  ~HeadlessDirectDraw() override {
    // Leaving exclusive mode gives the desktop its own mode back.
    if (display_.ExclusiveOwner() == this) display_.SetCooperation(nullptr, ddscl::Normal, this);
    display_.ObjectDestroyed();
  }

  SurfaceDescription Describe(const DisplayModeInfo& mode) const {
    SurfaceDescription description;
    description.size = kSurfaceDescriptionSize;
    description.flags = ddsd::Height | ddsd::Width | ddsd::Pitch | ddsd::PixelFormat;
    description.width = static_cast<uint32_t>(mode.width);
    description.height = static_cast<uint32_t>(mode.height);
    description.pitch = display_.PitchFor(mode.width, (mode.bitsPerPixel + 7) / 8);
    description.refreshRate = 60;
    description.pixelFormat = FormatOf(mode);
    return description;
  }

  Result CreatePrimary(uint32_t caps, Surface** surface) {
    for (const HeadlessSurface* existing : display_.Surfaces()) {
      if (existing->kind == HeadlessSurface::Kind::Primary) {
        return dderr::PrimarySurfaceAlreadyExists;
      }
    }
    const DisplayModeInfo& mode = display_.CurrentMode();
    *surface = new HeadlessSurface(display_, HeadlessSurface::Kind::Primary, mode.width,
                                   mode.height, FormatOf(mode), caps);
    return dd::Ok;
  }

  Result OverlayRefusal(const PixelFormat& format) const {
    const OverlaySupport support = display_.overlaySupport;
    if (support == OverlaySupport::None) return dderr::NoOverlayHw;
    if ((format.flags & ddpf::FourCC) == 0) {
      return support == OverlaySupport::Rgb ? dd::Ok : dderr::InvalidPixelFormat;
    }
    if (format.fourCC == fourcc::Uyvy && support == OverlaySupport::Uyvy) return dd::Ok;
    if (format.fourCC == fourcc::Yuy2 && support == OverlaySupport::Yuy2) return dd::Ok;
    return dderr::InvalidPixelFormat;
  }

  HeadlessDisplay& display_;
  uint32_t references_ = 1;
};

}  // namespace

HeadlessDisplay::HeadlessDisplay(HeadlessWindows& windows, HeadlessGraphics& graphics)
    : modes{StandardMode(640, 480, 16),  StandardMode(640, 480, 32),
            StandardMode(800, 600, 16),  StandardMode(800, 600, 32),
            StandardMode(1024, 768, 16), StandardMode(1024, 768, 32)},
      desktop(StandardMode(1024, 768, 32)),
      videoMemory(16u << 20),
      windows_(windows),
      graphics_(graphics) {}

HeadlessDisplay::~HeadlessDisplay() = default;

Result HeadlessDisplay::DirectDrawCreate(DirectDrawObject** object) {
  if (auto failure = failures.Take("DirectDrawCreate")) return *failure;
  if (object == nullptr) return dderr::InvalidParams;
  *object = new HeadlessDirectDraw(*this);
  return dd::Ok;
}

const DisplayModeInfo& HeadlessDisplay::CurrentMode() const {
  return modeChanged_ ? setMode_ : desktop;
}

PixelFormat HeadlessDisplay::CurrentPixelFormat() const { return FormatOf(CurrentMode()); }

int32_t HeadlessDisplay::PitchFor(int32_t width, int32_t bytesPerPixel) const {
  return (width * bytesPerPixel + 7) / 8 * 8 + extraPitch;
}

void HeadlessDisplay::FitScreen() const {
  const DisplayModeInfo& mode = CurrentMode();
  if (!screen_.empty() && SameMode(mode, screenMode_)) return;
  screenMode_ = mode;
  screenPitch_ = PitchFor(mode.width, (mode.bitsPerPixel + 7) / 8);
  screen_.assign(static_cast<size_t>(screenPitch_) * static_cast<size_t>(mode.height), 0);
  ++screenGeneration_;
  if (shown_ == Shown::Screen) shown_ = Shown::Nothing;
}

uint8_t* HeadlessDisplay::ScreenMemory() const {
  FitScreen();
  return screen_.data();
}

int32_t HeadlessDisplay::ScreenPitch() const {
  FitScreen();
  return screenPitch_;
}

uint64_t HeadlessDisplay::ScreenGeneration() const {
  FitScreen();
  return screenGeneration_;
}

Result HeadlessDisplay::SetMode(const DisplayModeInfo* mode) {
  if (mode == nullptr) {
    modeChanged_ = false;
  } else {
    modeChanged_ = true;
    setMode_ = *mode;
  }
  FitScreen();
  return dd::Ok;
}

void HeadlessDisplay::SetCooperation(WindowHandle window, uint32_t flags, const void* owner) {
  cooperativeFlags_ = flags;
  cooperativeWindow_ = window;
  if ((flags & ddscl::Exclusive) != 0) {
    exclusiveOwner_ = owner;
  } else if (exclusiveOwner_ == owner) {
    exclusiveOwner_ = nullptr;
    SetMode(nullptr);
  }
}

void HeadlessDisplay::Register(HeadlessSurface* surface) { surfaces_.push_back(surface); }

void HeadlessDisplay::Unregister(HeadlessSurface* surface) {
  std::erase(surfaces_, surface);
  if (shownOverlay_ == surface) {
    shownOverlay_ = nullptr;
    shown_ = Shown::Nothing;
  }
}

HeadlessSurface* HeadlessDisplay::Overlay() const {
  for (HeadlessSurface* surface : surfaces_) {
    if (surface->kind == HeadlessSurface::Kind::Overlay) return surface;
  }
  return nullptr;
}

bool HeadlessDisplay::ReserveVideoMemory(uint32_t bytes) {
  if (bytes > videoMemory - std::min(videoMemory, usedVideoMemory_)) return false;
  usedVideoMemory_ += bytes;
  return true;
}

uint32_t HeadlessDisplay::ShownOverlays() const {
  uint32_t shown = 0;
  for (const HeadlessSurface* surface : surfaces_) shown += surface->overlayShown ? 1 : 0;
  return shown;
}

void HeadlessDisplay::LoseSurfaces() {
  for (HeadlessSurface* surface : surfaces_) surface->lost = true;
}

void HeadlessDisplay::ScreenPresented(const Rect& rect) {
  shown_ = Shown::Screen;
  shownRect_ = rect;
}

void HeadlessDisplay::OverlayPresented(const HeadlessSurface* overlay) {
  shown_ = Shown::Overlay;
  shownOverlay_ = overlay;
}

Picture HeadlessDisplay::ScreenPicture() const {
  const DisplayModeInfo& mode = CurrentMode();
  return ReadPicture(ScreenMemory(), ScreenPitch(), PixelLayout::Of(FormatOf(mode)),
                     Rect{0, 0, mode.width, mode.height}, mode.width, mode.height);
}

Picture HeadlessDisplay::SurfacePicture(const Surface* surface) const {
  const auto* found = static_cast<const HeadlessSurface*>(surface);
  if (std::find(surfaces_.begin(), surfaces_.end(), found) == surfaces_.end()) return Picture{};
  return ReadPicture(found->Memory(), found->Pitch(), found->Layout(), found->Bounds(),
                     found->width, found->height);
}

HeadlessDisplay::ShownArea HeadlessDisplay::Presented() const {
  if (shown_ == Shown::Overlay && shownOverlay_ != nullptr && shownOverlay_->overlayShown) {
    const HeadlessSurface& overlay = *shownOverlay_;
    const Rect& d = overlay.overlayDestination;
    return ShownArea{overlay.Memory(), overlay.Pitch(), overlay.Layout(), overlay.overlaySource,
                     d.right - d.left, d.bottom - d.top};
  }
  if (shown_ == Shown::Screen && !IsEmpty(shownRect_)) {
    const Rect& r = shownRect_;
    return ShownArea{ScreenMemory(), ScreenPitch(), PixelLayout::Of(FormatOf(CurrentMode())), r,
                     r.right - r.left, r.bottom - r.top};
  }
  return ShownArea{};
}

Picture HeadlessDisplay::PresentedPicture() const {
  const ShownArea shown = Presented();
  return ReadPicture(shown.memory, shown.pitch, shown.layout, shown.source, shown.width,
                     shown.height);
}

std::optional<PictureRows> HeadlessDisplay::PresentedRows() const {
  const ShownArea shown = Presented();
  return RowsInPlace(shown.memory, shown.pitch, shown.layout, shown.source, shown.width,
                     shown.height);
}

}  // namespace corvex::platform::headless
