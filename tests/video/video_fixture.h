#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_surface.h"
#include "platform/headless/host_window.h"
#include "video/video.h"

namespace corvex::testing {

using platform::headless::HeadlessSurface;
using platform::headless::Mode555;
using platform::headless::OverlaySupport;
using platform::headless::Picture;
using platform::headless::PictureRows;
using platform::headless::StandardMode;

// A Video on a headless display of its own (320 x 240 and 640 x 480 at 16 and 32 bits on an
// 800 x 600 x 32 desktop), created as Init creates it.
class VideoTest : public ::testing::Test {
 public:
  VideoTest() {
    display().modes = {StandardMode(320, 240, 16), StandardMode(320, 240, 32),
                       StandardMode(640, 480, 16), StandardMode(640, 480, 32)};
    display().desktop = StandardMode(800, 600, 32);
    display().videoMemory = 8u << 20;
  }
  ~VideoTest() override {
    display().failures.Clear();  // what a test left unused must not strike the destructor
    windows().failures.Clear();
    video.reset();
  }

  platform::headless::HeadlessDisplay& display() { return backend.display; }
  platform::headless::HeadlessWindows& windows() { return backend.windows; }
  HeadlessSurface* Surface(platform::Surface* surface) {
    return static_cast<HeadlessSurface*>(surface);
  }

  // Probes for DirectDraw 6, then creates the Video in a display mode at a resolution index
  // (-1: none chosen).
  void Start(int32_t displayMode = -1, int32_t resolution = -1) {
    video = std::make_unique<Video>(backend);
    EXPECT_TRUE(video->HasDirectDraw6());
    video->requestedDisplayMode = displayMode;
    video->requestedResolutionMode = resolution;
    auto procedure = [](platform::WindowHandle, uint32_t, uintptr_t, intptr_t) -> intptr_t {
      return 0;
    };
    video->Create("Corvex v1.07", procedure, hostWindow, hostInstance, delayMs);
  }

  void Switch(int32_t displayMode, int32_t resolution) {
    video->requestedDisplayMode = displayMode;
    video->requestedResolutionMode = resolution;
    video->ChangeRes();
  }

  static uint32_t PatternAt(int32_t x, int32_t y) {
    return static_cast<uint32_t>((x * 7) & 255) << 16 | static_cast<uint32_t>((y * 5) & 255) << 8 |
           static_cast<uint32_t>((x + y) & 255);
  }

  // Paints the picture, then runs Render's video steps.
  void Frame(uint32_t (*colour)(int32_t x, int32_t y) = PatternAt) {
    for (int32_t i = 0; i < video->width * video->height; ++i) {
      video->frameBuffer[i] = colour(i % video->width, i / video->width);
    }
    video->Compose();
    video->ShowInfo();
    video->ShowMessage();
    video->Flip();
  }

  // Runs action, which must show one box captioned "Error" and end the process with status 0;
  // returns the box's text.
  std::string ExitText(const std::function<void()>& action) {
    const size_t boxes = windows().messageBoxes.size();
    try {
      action();
      ADD_FAILURE() << "the process did not end";
    } catch (const platform::headless::ProcessExit& exit) {
      EXPECT_EQ(exit.status, 0);
    }
    const size_t shown = windows().messageBoxes.size() - boxes;
    if (shown != 1) return "boxes shown: " + std::to_string(shown);
    const platform::headless::MessageBoxRecord& box = windows().messageBoxes.back();
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.type, 0u);
    return box.text;
  }

  platform::headless::HeadlessBackend backend;
  platform::headless::HostWindow host{backend};
  platform::WindowHandle hostWindow = host.handle();
  platform::InstanceHandle hostInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  int32_t delayMs = -1;
  std::unique_ptr<Video> video;
};

}  // namespace corvex::testing
