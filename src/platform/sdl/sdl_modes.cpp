#include "platform/sdl/sdl_modes.h"

#include <SDL.h>

#include <algorithm>

namespace corvex::platform::sdl {

namespace {

constexpr Size kCommonSizes[] = {{640, 480},   {800, 600},   {1024, 768},  {1280, 720},
                                 {1280, 1024}, {1600, 900},  {1920, 1080}, {2560, 1440},
                                 {3840, 2160}};

}  // namespace

std::vector<headless::DisplayModeInfo> OfferedModes(Size desktop,
                                                    const std::vector<Size>& monitorModes) {
  std::vector<Size> sizes = monitorModes;
  for (const Size& size : kCommonSizes) {
    if (size.width <= desktop.width && size.height <= desktop.height) sizes.push_back(size);
  }
  if (sizes.empty()) sizes.push_back(desktop);
  const auto area = [](const Size& s) { return int64_t{s.width} * s.height; };
  std::sort(sizes.begin(), sizes.end(), [&](const Size& a, const Size& b) {
    return area(a) != area(b) ? area(a) < area(b) : a.width < b.width;
  });
  std::vector<headless::DisplayModeInfo> modes;
  for (const Size& size : sizes) {
    if (size.width <= 0 || size.height <= 0) continue;
    const bool seen = std::any_of(modes.begin(), modes.end(), [&](const auto& mode) {
      return mode.width == size.width && mode.height == size.height;
    });
    if (!seen) modes.push_back(headless::StandardMode(size.width, size.height, 32));
  }
  return modes;
}

Size DesktopSize() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return Size{640, 480};
  return Size{mode.w, mode.h};
}

std::vector<Size> MonitorModes() {
  std::vector<Size> sizes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) == 0) sizes.push_back(Size{mode.w, mode.h});
  }
  return sizes;
}

}  // namespace corvex::platform::sdl
