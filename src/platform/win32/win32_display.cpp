// The display device on DirectDraw 6: IDirectDraw4, its surfaces and clippers. The plug-in's
// records are translated field by field into the system's and back, never cast: DDCAPS is 380
// bytes and holds far more than the summary the plug-in reads, and DDSURFACEDESC2 carries a
// union and pointer-sized fields whose places differ between the 32- and 64-bit builds.
#include "platform/direct_draw_results.h"
#include "platform/display.h"
#include "platform/display_flags.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_device_context.h"
// DirectDraw's interface ids are defined in this file: MinGW's libraries do not carry them.
#define INITGUID
#include "platform/win32/windows_api.h"

namespace corvex::platform::win32 {

static_assert(sizeof(DDCAPS) == 380, "DirectDraw 6's driver capabilities record");
static_assert(sizeof(DDPIXELFORMAT) == kPixelFormatSize);
#if !defined(_WIN64)
static_assert(sizeof(DDSURFACEDESC2) == kSurfaceDescriptionSize);
#endif

namespace {

RECT ToSystem(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A rectangle argument: null stays null (the whole surface).
class SystemRect {
 public:
  explicit SystemRect(const Rect* rect) : present_(rect != nullptr) {
    if (present_) rect_ = ToSystem(*rect);
  }
  RECT* get() { return present_ ? &rect_ : nullptr; }

 private:
  RECT rect_ = {};
  bool present_;
};

DDPIXELFORMAT ToSystem(const PixelFormat& f) {
  DDPIXELFORMAT s = {};
  s.dwSize = sizeof s;
  s.dwFlags = f.flags;
  s.dwFourCC = f.fourCC;
  s.dwRGBBitCount = f.rgbBitCount;
  s.dwRBitMask = f.redMask;
  s.dwGBitMask = f.greenMask;
  s.dwBBitMask = f.blueMask;
  s.dwRGBAlphaBitMask = f.alphaMask;
  return s;
}

PixelFormat FromSystem(const DDPIXELFORMAT& s) {
  PixelFormat f;
  f.size = kPixelFormatSize;
  f.flags = s.dwFlags;
  f.fourCC = s.dwFourCC;
  f.rgbBitCount = s.dwRGBBitCount;
  f.redMask = s.dwRBitMask;
  f.greenMask = s.dwGBitMask;
  f.blueMask = s.dwBBitMask;
  f.alphaMask = s.dwRGBAlphaBitMask;
  return f;
}

DDCOLORKEY ToSystem(const ColorKey& k) { return DDCOLORKEY{k.low, k.high}; }
ColorKey FromSystem(const DDCOLORKEY& k) { return ColorKey{k.dwColorSpaceLowValue, k.dwColorSpaceHighValue}; }

DDSCAPS2 ToSystem(const SurfaceCaps& c) {
  DDSCAPS2 s = {};
  s.dwCaps = c.caps;
  s.dwCaps2 = c.caps2;
  s.dwCaps3 = c.caps3;
  s.dwCaps4 = c.caps4;
  return s;
}

DDSURFACEDESC2 ToSystem(const SurfaceDescription& d) {
  DDSURFACEDESC2 s = {};
  s.dwSize = sizeof s;
  s.dwFlags = d.flags;
  s.dwHeight = d.height;
  s.dwWidth = d.width;
  s.lPitch = d.pitch;
  s.dwBackBufferCount = d.backBufferCount;
  s.dwRefreshRate = d.refreshRate;
  s.dwAlphaBitDepth = d.alphaBitDepth;
  s.lpSurface = d.surface;
  s.ddckCKDestOverlay = ToSystem(d.destOverlayKey);
  s.ddckCKDestBlt = ToSystem(d.destBltKey);
  s.ddckCKSrcOverlay = ToSystem(d.sourceOverlayKey);
  s.ddckCKSrcBlt = ToSystem(d.sourceBltKey);
  s.ddpfPixelFormat = ToSystem(d.pixelFormat);
  s.ddsCaps = ToSystem(d.caps);
  s.dwTextureStage = d.textureStage;
  return s;
}

SurfaceDescription FromSystem(const DDSURFACEDESC2& s) {
  SurfaceDescription d;
  d.size = kSurfaceDescriptionSize;
  d.flags = s.dwFlags;
  d.height = s.dwHeight;
  d.width = s.dwWidth;
  d.pitch = s.lPitch;
  d.backBufferCount = s.dwBackBufferCount;
  d.refreshRate = s.dwRefreshRate;
  d.alphaBitDepth = s.dwAlphaBitDepth;
  d.surface = s.lpSurface;
  d.destOverlayKey = FromSystem(s.ddckCKDestOverlay);
  d.destBltKey = FromSystem(s.ddckCKDestBlt);
  d.sourceOverlayKey = FromSystem(s.ddckCKSrcOverlay);
  d.sourceBltKey = FromSystem(s.ddckCKSrcBlt);
  d.pixelFormat = FromSystem(s.ddpfPixelFormat);
  d.caps = SurfaceCaps{s.ddsCaps.dwCaps, s.ddsCaps.dwCaps2, s.ddsCaps.dwCaps3, s.ddsCaps.dwCaps4};
  d.textureStage = s.dwTextureStage;
  return d;
}

DisplayCaps FromSystem(const DDCAPS& s) {
  DisplayCaps c;
  c.caps = s.dwCaps;
  c.caps2 = s.dwCaps2;
  c.videoMemoryTotal = s.dwVidMemTotal;
  c.videoMemoryFree = s.dwVidMemFree;
  c.maxVisibleOverlays = s.dwMaxVisibleOverlays;
  c.currentVisibleOverlays = s.dwCurrVisibleOverlays;
  return c;
}

// The wrappers count their own references and hold one of the system object's, given back
// with their last Release; the system object may live on where DirectDraw holds it (a clipper
// set on a surface).
template <typename Interface, typename System>
class Wrapper : public Interface {
 public:
  explicit Wrapper(System* system) : system_(system) {}
  uint32_t AddRef() {
    return ++references_;
  }
  uint32_t Release() override {
    const uint32_t left = --references_;
    if (left == 0) {
      system_->Release();
      delete this;
    }
    return left;
  }
  System* system() const { return system_; }

 protected:
  ~Wrapper() override = default;

 private:
  System* system_;
  uint32_t references_ = 1;
};

class SystemClipper final : public Wrapper<Clipper, IDirectDrawClipper> {
 public:
  using Wrapper::Wrapper;
  Result SetHWnd(uint32_t flags, WindowHandle window) override {
    return system()->SetHWnd(flags, static_cast<HWND>(window));
  }
  uint32_t AddRef() override { return Wrapper::AddRef(); }
};

class SystemSurface final : public Wrapper<Surface, IDirectDrawSurface4> {
 public:
  using Wrapper::Wrapper;

  Result Lock(const Rect* rect, SurfaceDescription* description, uint32_t flags) override {
    DDSURFACEDESC2 locked = {};
    locked.dwSize = sizeof locked;
    SystemRect area(rect);
    const HRESULT result = system()->Lock(area.get(), &locked, flags, nullptr);
    if (SUCCEEDED(result)) *description = FromSystem(locked);
    return result;
  }
  Result Unlock(const Rect* rect) override {
    SystemRect area(rect);
    return system()->Unlock(area.get());
  }
  Result Blt(const Rect* destination, Surface* source, const Rect* sourceRect,
             uint32_t flags) override {
    SystemRect to(destination), from(sourceRect);
    return system()->Blt(to.get(), SystemOf(source), from.get(), flags, nullptr);
  }
  Result UpdateOverlay(const Rect* sourceRect, Surface* destination, const Rect* destinationRect,
                       uint32_t flags) override {
    SystemRect from(sourceRect), to(destinationRect);
    return system()->UpdateOverlay(from.get(), SystemOf(destination), to.get(), flags, nullptr);
  }
  Result SetColorKey(uint32_t flags, const ColorKey& key) override {
    DDCOLORKEY system_key = ToSystem(key);
    return system()->SetColorKey(flags, &system_key);
  }
  Result SetClipper(Clipper* clipper) override {
    auto* own = static_cast<SystemClipper*>(clipper);
    return system()->SetClipper(own != nullptr ? own->system() : nullptr);
  }
  Result IsLost() override { return system()->IsLost(); }
  Result Restore() override { return system()->Restore(); }

  Result GetDC(DeviceContext** context) override {
    HDC dc = nullptr;
    const HRESULT result = system()->GetDC(&dc);
    if (FAILED(result)) return result;
    context_.dc = dc;
    *context = &context_;
    return result;
  }
  Result ReleaseDC(DeviceContext* context) override {
    if (context != &context_ || context_.dc == nullptr) return dderr::InvalidParams;
    const HRESULT result = system()->ReleaseDC(static_cast<HDC>(context_.dc));
    context_.dc = nullptr;
    return result;
  }

 private:
  static IDirectDrawSurface4* SystemOf(Surface* surface) {
    return surface != nullptr ? static_cast<SystemSurface*>(surface)->system() : nullptr;
  }

  SystemDeviceContext context_;
};

// Hands each display mode DirectDraw reports to the plug-in's callback as its own record.
struct ModeRelay {
  EnumModesCallback callback;
  void* context;
};

HRESULT WINAPI RelayMode(DDSURFACEDESC2* mode, void* relay) {
  auto* own = static_cast<ModeRelay*>(relay);
  const SurfaceDescription description = FromSystem(*mode);
  return own->callback(&description, own->context);
}

class SystemDevice final : public Wrapper<DisplayDevice, IDirectDraw4> {
 public:
  using Wrapper::Wrapper;

  Result EnumDisplayModes(uint32_t flags, const SurfaceDescription* filter, void* context,
                          EnumModesCallback callback) override {
    ModeRelay relay{callback, context};
    DDSURFACEDESC2 systemFilter;
    if (filter != nullptr) systemFilter = ToSystem(*filter);
    return system()->EnumDisplayModes(flags, filter != nullptr ? &systemFilter : nullptr, &relay,
                                      &RelayMode);
  }
  Result GetDisplayMode(SurfaceDescription* description) override {
    DDSURFACEDESC2 mode = {};
    mode.dwSize = sizeof mode;
    const HRESULT result = system()->GetDisplayMode(&mode);
    if (SUCCEEDED(result)) *description = FromSystem(mode);
    return result;
  }
  Result GetAvailableVidMem(const SurfaceCaps* caps, uint32_t* total, uint32_t* free) override {
    DDSCAPS2 systemCaps = caps != nullptr ? ToSystem(*caps) : DDSCAPS2{};
    DWORD systemTotal = 0, systemFree = 0;
    const HRESULT result = system()->GetAvailableVidMem(
        &systemCaps, total != nullptr ? &systemTotal : nullptr, free != nullptr ? &systemFree : nullptr);
    if (total != nullptr) *total = systemTotal;
    if (free != nullptr) *free = systemFree;
    return result;
  }
  Result GetCaps(DisplayCaps* driver, DisplayCaps* emulation) override {
    DDCAPS systemDriver = {}, systemEmulation = {};
    systemDriver.dwSize = sizeof systemDriver;
    systemEmulation.dwSize = sizeof systemEmulation;
    const HRESULT result = system()->GetCaps(driver != nullptr ? &systemDriver : nullptr,
                                             emulation != nullptr ? &systemEmulation : nullptr);
    if (SUCCEEDED(result)) {
      if (driver != nullptr) *driver = FromSystem(systemDriver);
      if (emulation != nullptr) *emulation = FromSystem(systemEmulation);
    }
    return result;
  }
  Result SetCooperativeLevel(WindowHandle window, uint32_t flags) override {
    return system()->SetCooperativeLevel(static_cast<HWND>(window), flags);
  }
  Result SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                        uint32_t refreshRate, uint32_t flags) override {
    return system()->SetDisplayMode(width, height, bitsPerPixel, refreshRate, flags);
  }
  Result RestoreDisplayMode() override { return system()->RestoreDisplayMode(); }

  Result CreateSurface(const SurfaceDescription* description, Surface** surface) override {
    DDSURFACEDESC2 wanted = ToSystem(*description);
    IDirectDrawSurface4* made = nullptr;
    const HRESULT result = system()->CreateSurface(&wanted, &made, nullptr);
    *surface = SUCCEEDED(result) ? new SystemSurface(made) : nullptr;
    return result;
  }
  Result CreateClipper(uint32_t flags, Clipper** clipper) override {
    IDirectDrawClipper* made = nullptr;
    const HRESULT result = system()->CreateClipper(flags, &made, nullptr);
    *clipper = SUCCEEDED(result) ? new SystemClipper(made) : nullptr;
    return result;
  }
};

class SystemDirectDraw final : public Wrapper<DirectDrawObject, IDirectDraw> {
 public:
  using Wrapper::Wrapper;
  Result QueryDisplayDevice(DisplayDevice** device) override {
    void* made = nullptr;
    const HRESULT result = system()->QueryInterface(IID_IDirectDraw4, &made);
    *device = SUCCEEDED(result) ? new SystemDevice(static_cast<IDirectDraw4*>(made)) : nullptr;
    return result;
  }
};

class SystemDisplay final : public DisplaySystem {
 public:
  Result DirectDrawCreate(DirectDrawObject** object) override {
    IDirectDraw* made = nullptr;
    const HRESULT result = ::DirectDrawCreate(nullptr, &made, nullptr);
    *object = SUCCEEDED(result) ? new SystemDirectDraw(made) : nullptr;
    return result;
  }
};

}  // namespace

std::unique_ptr<DisplaySystem> MakeDisplaySystem() { return std::make_unique<SystemDisplay>(); }

}  // namespace corvex::platform::win32
