#include <string>

#include "platform/backend.h"
#include "platform/display_flags.h"
#include "platform/library_files.h"
#include "platform/window_system.h"
#include "video/error_reporting.h"
#include "video/portable/compose_kernels.h"
#include "video/video.h"

namespace corvex {

using namespace platform;

namespace {
constexpr int32_t kSlowDownMs = 5;
constexpr const char* kWallpaperFile = "vis_corvex.bmp";
constexpr size_t kPathSize = 260;
}  // namespace

void Video::Compose() {
  RestoreSurfaces();
  if (composeSurface == nullptr || frameBuffer == nullptr) return;
  SurfaceDescription locked;
  locked.size = kSurfaceDescriptionSize;
  if (!Check(composeSurface->Lock(nullptr, &locked, ddlock::Wait | ddlock::WriteOnly),
             "Video::Compose, failed to lock compose surface")) {
    return;  // a busy surface gives no memory to write: this frame keeps the last picture
  }
  const size_t moved = (static_cast<size_t>(width) * 4 + static_cast<size_t>(locked.pitch)) *
                       static_cast<size_t>(height);
  BestComposeKernelsFor(moved)[composeFormat](frameBuffer, width, height,
                                              static_cast<uint8_t*>(locked.surface), locked.pitch);
  Check(composeSurface->Unlock(nullptr), "Video::Compose, failed to unlock compose surface");
}

void Video::Flip() {
  ExchangeBuffers();
  Rect source{0, 0, width, height};
  RestoreSurfaces();
  const int32_t delay = displayMode != kFullScreen && useDelay != 0 ? kSlowDownMs : 0;
  if (hostDelay != nullptr) *hostDelay = delay;
  auto blit = [&](Surface* target, Rect* destination) {
    if (target == nullptr || composeSurface == nullptr) return Result{0};
    return target->Blt(destination, composeSurface, &source, 0);
  };
  if (displayMode == kFullScreen) {
    lastResult = blit(primarySurface, nullptr);
  } else if (displayMode == kWindowed) {
    // A window that is gone (destroyed by the system; the quit it posted has not reached
    // the host yet) has no place on the screen to show a frame in.
    lastResult = Windows().GetWindowRect(window, &windowRect) ? blit(primarySurface, &windowRect)
                                                              : Result{0};
  } else if (displayMode == kBackground && overlaySurface != nullptr &&
             primarySurface != nullptr) {
    // The picture stretches over the whole screen and shows wherever the desktop shows the
    // colour key; only the overlay update is judged.
    if (!IsYuvFormat(composeFormat)) lastResult = blit(overlaySurface, nullptr);
    Rect screen{0, 0, screenWidth, screenHeight};
    lastResult = overlaySurface->UpdateOverlay(&source, primarySurface, &screen,
                                               ddover::Show | ddover::KeyDest);
  }
  Check(lastResult, "Video::Flip(), Error blitting backbuffer");
  if (wallpaperPending != 0) {
    SetWallpaper(true);
    wallpaperPending = 0;
  }
}

void Video::SetWallpaper(bool on) {
  WindowSystem& windows = Windows();
  if (!on) {
    windows.SetWallpaper(nullptr);
    return;
  }
  const std::string path =
      PathBesideLibrary(windows, hostInstance ? *hostInstance : nullptr, kWallpaperFile);
  // A folder too deep for a Windows path with the file name gets no wallpaper rather than a
  // cut name.
  if (path.size() >= kPathSize) return;
  windows.SetWallpaper(path.c_str());
}

}  // namespace corvex
