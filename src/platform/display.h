#pragma once
#include <cstdint>

#include "platform/handles.h"

namespace corvex::platform {

class DeviceContext;

// The display device, shaped after DirectDraw 6: the operations the plug-in needs, their
// arguments and records, and DirectDraw's result codes (0 success, negative failure; the named
// codes are in platform/direct_draw_results.h) on every backend, so every failure path
// reads the same everywhere. Objects are reference counted as in DirectDraw: Release drops one
// reference and the object goes with the last.
using Result = int32_t;

struct ColorKey {  // DDCOLORKEY
  uint32_t low = 0;
  uint32_t high = 0;
};

struct PixelFormat {  // DDPIXELFORMAT, 32 bytes
  uint32_t size = 0;
  uint32_t flags = 0;   // ddpf::Rgb or ddpf::FourCC
  uint32_t fourCC = 0;  // with ddpf::FourCC
  uint32_t rgbBitCount = 0;
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
  uint32_t alphaMask = 0;
};

struct SurfaceCaps {  // DDSCAPS2
  uint32_t caps = 0;
  uint32_t caps2 = 0;
  uint32_t caps3 = 0;
  uint32_t caps4 = 0;
};

// DDSURFACEDESC2: describes a surface to create, a display mode, or a locked surface.
struct SurfaceDescription {
  uint32_t size = 0;   // 124
  uint32_t flags = 0;  // DDSD_*: which fields are valid
  uint32_t height = 0;
  uint32_t width = 0;
  int32_t pitch = 0;  // bytes from one row to the next
  uint32_t backBufferCount = 0;
  uint32_t refreshRate = 0;
  uint32_t alphaBitDepth = 0;
  uint32_t reserved = 0;
  void* surface = nullptr;  // the memory of a locked surface
  ColorKey destOverlayKey;
  ColorKey destBltKey;
  ColorKey sourceOverlayKey;
  ColorKey sourceBltKey;
  PixelFormat pixelFormat;
  SurfaceCaps caps;
  uint32_t textureStage = 0;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(SurfaceDescription) == 124, "the 32-bit surface description is 124 bytes");
#endif
static_assert(sizeof(PixelFormat) == 32);

// The plug-in's own summary of the driver's capabilities: only the fields it reads, filled by
// the backend. It has no size field because it is never handed to the system as it is: the
// Win32 backend asks for the system's (far larger) DDCAPS record and translates it.
struct DisplayCaps {
  uint32_t caps = 0;  // DDCAPS_*
  uint32_t caps2 = 0;
  uint32_t videoMemoryTotal = 0;
  uint32_t videoMemoryFree = 0;
  uint32_t maxVisibleOverlays = 0;
  uint32_t currentVisibleOverlays = 0;
};

class Clipper {  // IDirectDrawClipper
 public:
  virtual Result SetHWnd(uint32_t flags, WindowHandle window) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~Clipper() = default;
};

class Surface {  // IDirectDrawSurface4
 public:
  // With no rectangle, the whole surface; fills description's pitch and surface pointer.
  virtual Result Lock(const Rect* rect, SurfaceDescription* description, uint32_t flags) = 0;
  virtual Result Unlock(const Rect* rect) = 0;
  // Copies sourceRect of source onto destination of this surface (null: whole surfaces),
  // stretching when the sizes differ and clipping to an attached clipper's window.
  virtual Result Blt(const Rect* destination, Surface* source, const Rect* sourceRect,
                     uint32_t flags) = 0;
  // Shows (or hides) this overlay surface's sourceRect over destinationRect of destination.
  virtual Result UpdateOverlay(const Rect* sourceRect, Surface* destination,
                               const Rect* destinationRect, uint32_t flags) = 0;
  virtual Result SetColorKey(uint32_t flags, const ColorKey& key) = 0;
  virtual Result SetClipper(Clipper* clipper) = 0;
  // dd::Ok, or dderr::SurfaceLost when another program took the memory; Restore gets it back
  // (its content is then undefined).
  virtual Result IsLost() = 0;
  virtual Result Restore() = 0;
  // A drawing context on the surface's current content; ReleaseDC puts the drawing back.
  virtual Result GetDC(DeviceContext** context) = 0;
  virtual Result ReleaseDC(DeviceContext* context) = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~Surface() = default;
};

// Called once per display mode; returns ddenumret::Ok to go on, ddenumret::Cancel to stop.
using EnumModesCallback = Result(CORVEX_CALLBACK*)(const SurfaceDescription* mode,
                                                   void* context);

class DisplayDevice {  // IDirectDraw4
 public:
  virtual Result EnumDisplayModes(uint32_t flags, const SurfaceDescription* filter,
                                  void* context, EnumModesCallback callback) = 0;
  virtual Result GetDisplayMode(SurfaceDescription* description) = 0;
  virtual Result GetAvailableVidMem(const SurfaceCaps* caps, uint32_t* total,
                                    uint32_t* free) = 0;
  virtual Result GetCaps(DisplayCaps* driver, DisplayCaps* emulation) = 0;
  virtual Result SetCooperativeLevel(WindowHandle window, uint32_t flags) = 0;
  virtual Result SetDisplayMode(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                                uint32_t refreshRate, uint32_t flags) = 0;
  virtual Result RestoreDisplayMode() = 0;
  virtual Result CreateSurface(const SurfaceDescription* description, Surface** surface) = 0;
  virtual Result CreateClipper(uint32_t flags, Clipper** clipper) = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~DisplayDevice() = default;
};

// The object DirectDrawCreate gives (IDirectDraw); the device of DirectDraw 6 is asked of it.
class DirectDrawObject {
 public:
  // QueryInterface for IDirectDraw4: com::NoInterface before DirectDraw 6.
  virtual Result QueryDisplayDevice(DisplayDevice** device) = 0;
  virtual uint32_t Release() = 0;

 protected:
  virtual ~DirectDrawObject() = default;
};

class DisplaySystem {
 public:
  virtual ~DisplaySystem() = default;
  // DirectDrawCreate for the default device.
  virtual Result DirectDrawCreate(DirectDrawObject** object) = 0;
};

}  // namespace corvex::platform
