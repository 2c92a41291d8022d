#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display.h"
#include "platform/headless/failure_injector.h"
#include "platform/headless/headless_pixels.h"

namespace corvex::platform::headless {

class HeadlessWindows;
class HeadlessGraphics;
class HeadlessSurface;
class HeadlessClipper;

// One display mode of the simulated device. An 8-bit mode is palettized and has no masks.
struct DisplayModeInfo {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 0;
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
};

// A mode with the usual masks of its depth: 5-6-5 at 16 bits, 8 bits a channel at 24 and 32.
DisplayModeInfo StandardMode(int32_t width, int32_t height, int32_t bitsPerPixel);
// A 16-bit mode with five bits a channel (red 0x7C00, green 0x03E0, blue 0x001F).
DisplayModeInfo Mode555(int32_t width, int32_t height);

// The overlay hardware: none, RGB overlays in the display's format, or only one YUV format.
enum class OverlaySupport { None, Rgb, Uyvy, Yuy2 };

// The display on the headless backend: a described device (its modes, the desktop's mode,
// video memory, overlay hardware) whose surfaces are real memory in the display's format and
// whose "screen" is readable. Any of its calls can be made to fail with any result code
// (failures.Inject with the call's name: "DirectDrawCreate", "QueryInterface",
// "EnumDisplayModes", "GetDisplayMode", "GetAvailableVidMem", "GetCaps",
// "SetCooperativeLevel", "SetDisplayMode", "RestoreDisplayMode", "CreateSurface",
// "CreateClipper", "SetHWnd", "SetClipper", "SetColorKey", "Lock", "Unlock", "Blt",
// "UpdateOverlay", "IsLost", "Restore", "GetDC", "ReleaseDC").
class HeadlessDisplay final : public DisplaySystem {
 public:
  HeadlessDisplay(HeadlessWindows& windows, HeadlessGraphics& graphics);
  ~HeadlessDisplay() override;
  HeadlessDisplay(const HeadlessDisplay&) = delete;
  HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;

  Result DirectDrawCreate(DirectDrawObject** object) override;

  // The described device; change it before the plug-in starts. It starts as a common one:
  // 640 x 480, 800 x 600 and 1024 x 768 at 16 and 32 bits, a 1024 x 768 x 32 desktop, 16 MiB
  // for surfaces and an RGB overlay.
  std::vector<DisplayModeInfo> modes;  // as the device reports them, in this order
  DisplayModeInfo desktop;             // the mode outside exclusive full screen
  uint32_t videoMemory = 0;            // bytes for surfaces, the primary not counted
  OverlaySupport overlaySupport = OverlaySupport::Rgb;
  uint32_t maxVisibleOverlays = 1;
  uint32_t otherVisibleOverlays = 0;  // overlays other programs show
  bool hasDirectDraw6 = true;
  int32_t extraPitch = 0;  // bytes a driver adds to every surface row
  FailureInjector failures;

  // The last presented picture as 0x00RRGGBB, what the user sees of the plug-in: in full
  // screen the whole screen, in a window the window's rectangle of the screen as last blitted,
  // in background mode the overlay as shown (its source rectangle stretched over its
  // destination). Empty (0 x 0) before anything was presented.
  Picture PresentedPicture() const;
  // The same picture where it lies, when it can be read without a copy: 32-bit 0x??RRGGBB at
  // its own size, as the plug-in nearly always shows it. Valid until the plug-in draws again;
  // empty when the picture must be converted or stretched (PresentedPicture does that).
  std::optional<PictureRows> PresentedRows() const;
  Picture ScreenPicture() const;                       // the whole screen
  Picture SurfacePicture(const Surface* surface) const;  // any surface, at its own size

  const DisplayModeInfo& CurrentMode() const;
  bool ModeChanged() const { return modeChanged_; }
  uint32_t CooperativeFlags() const { return cooperativeFlags_; }
  WindowHandle CooperativeWindow() const { return cooperativeWindow_; }
  // As when another program takes the display: every surface reports itself lost.
  void LoseSurfaces();
  int32_t LiveDirectDrawObjects() const { return liveObjects_; }
  int32_t LiveSurfaces() const { return static_cast<int32_t>(surfaces_.size()); }
  int32_t LiveClippers() const { return liveClippers_; }
  uint32_t UsedVideoMemory() const { return usedVideoMemory_; }
  const std::vector<HeadlessSurface*>& Surfaces() const { return surfaces_; }
  HeadlessSurface* Overlay() const;  // the overlay surface, if one exists

  // For the backend's own objects.
  HeadlessWindows& windows() { return windows_; }
  HeadlessGraphics& graphics() { return graphics_; }
  // The screen's memory follows the current mode; a new mode gives a new, black screen.
  uint8_t* ScreenMemory() const;
  int32_t ScreenPitch() const;
  uint64_t ScreenGeneration() const;
  PixelFormat CurrentPixelFormat() const;
  int32_t PitchFor(int32_t width, int32_t bytesPerPixel) const;
  void Register(HeadlessSurface* surface);
  void Unregister(HeadlessSurface* surface);
  void ClipperCreated() { ++liveClippers_; }
  void ClipperDestroyed() { --liveClippers_; }
  void ObjectCreated() { ++liveObjects_; }
  void ObjectDestroyed() { --liveObjects_; }
  bool ReserveVideoMemory(uint32_t bytes);
  void ReturnVideoMemory(uint32_t bytes) { usedVideoMemory_ -= bytes; }
  void ScreenPresented(const Rect& rect);
  void OverlayPresented(const HeadlessSurface* overlay);
  uint32_t ShownOverlays() const;
  Result SetMode(const DisplayModeInfo* mode);  // null: back to the desktop
  void SetCooperation(WindowHandle window, uint32_t flags, const void* owner);
  const void* ExclusiveOwner() const { return exclusiveOwner_; }

 private:
  // Where the presented picture lies and the size it is shown at; no memory before anything
  // was presented.
  struct ShownArea {
    const uint8_t* memory = nullptr;
    int32_t pitch = 0;
    PixelLayout layout;
    Rect source{};
    int32_t width = 0;
    int32_t height = 0;
  };
  ShownArea Presented() const;
  void FitScreen() const;

  HeadlessWindows& windows_;
  HeadlessGraphics& graphics_;
  bool modeChanged_ = false;
  DisplayModeInfo setMode_;
  uint32_t cooperativeFlags_ = 0;
  WindowHandle cooperativeWindow_ = nullptr;
  const void* exclusiveOwner_ = nullptr;
  mutable std::vector<uint8_t> screen_;
  mutable DisplayModeInfo screenMode_;
  mutable int32_t screenPitch_ = 0;
  mutable uint64_t screenGeneration_ = 0;
  std::vector<HeadlessSurface*> surfaces_;
  int32_t liveObjects_ = 0;
  int32_t liveClippers_ = 0;
  uint32_t usedVideoMemory_ = 0;
  enum class Shown { Nothing, Screen, Overlay };
  mutable Shown shown_ = Shown::Nothing;
  Rect shownRect_;
  const HeadlessSurface* shownOverlay_ = nullptr;
};

}  // namespace corvex::platform::headless
