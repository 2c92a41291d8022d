#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_surface.h"
#include "platform/headless/host_window.h"
#include "video/video.h"

namespace corvex::testing {

using platform::headless::DisplayModeInfo;
using platform::headless::HeadlessSurface;
using platform::headless::Mode555;
using platform::headless::OverlaySupport;
using platform::headless::Picture;
using platform::headless::StandardMode;

// A Video on a headless display of its own, created as Init creates it: the host's window and
// the module record's three fields, a window procedure that follows the window in windowed
// mode as the plug-in's does, and helpers to run frames and catch the process's end.
class VideoTest : public ::testing::Test {
 public:
  VideoTest();
  ~VideoTest() override;

  platform::headless::HeadlessDisplay& display() { return backend.display; }
  platform::headless::HeadlessWindows& windows() { return backend.windows; }
  platform::headless::HeadlessGraphics& graphics() { return backend.graphics; }

  // Constructs the Video, checks for DirectDraw 6 and creates it with the requested display
  // mode and resolution index (-1: not chosen).
  Video& Start(int32_t displayMode = -1, int32_t resolution = -1);
  // Requests a display mode (and index) and applies it.
  void Switch(int32_t displayMode, int32_t resolution);
  // Fills the picture with a pattern of distinct colours, then runs Render's video steps.
  void Frame();
  void FillPicture();
  static uint32_t PatternAt(int32_t x, int32_t y);

  // Runs action, which must show one error box and end the process with status 0; returns the
  // box's text.
  std::string ExitText(const std::function<void()>& action);
  HeadlessSurface* Surface(platform::Surface* surface) {
    return static_cast<HeadlessSurface*>(surface);
  }

  platform::headless::HeadlessBackend backend;
  platform::headless::HostWindow host{backend};
  platform::WindowHandle hostWindow = nullptr;
  platform::InstanceHandle hostInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  int32_t delayMs = -1;
  std::unique_ptr<Video> video;
};

}  // namespace corvex::testing
