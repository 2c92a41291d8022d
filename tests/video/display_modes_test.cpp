#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "transforms/transform_manager.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

using namespace platform;
using DisplayModes = VideoTest;

// Full screen takes the display and hides the cursor however often it was shown; the other
// modes give the display back and show the cursor once more on each change; a window keeps
// its place across full screen. The host pauses 5 ms after each frame outside full screen
// when the user asks for it.
TEST_F(DisplayModes, EachModeTakesTheDisplayTheWindowAndTheCursorItsWay) {
  windows().cursorCounter = 2;
  Start(kFullScreen, 1);
  video->useDelay = 1;
  video->windowX = 100;
  video->windowY = 50;
  const struct {
    int32_t mode, cursor, left, top;
  } steps[] = {{kFullScreen, -1, 0, 0}, {kWindowed, 0, 100, 50}, {kWindowed, 1, 100, 50},
               {kFullScreen, -1, 0, 0}, {kWindowed, 0, 100, 50}, {kBackground, 1, 100, 50}};
  for (const auto& step : steps) {
    SCOPED_TRACE(&step - steps);
    if (&step != steps) Switch(step.mode, 1);
    const bool full = step.mode == kFullScreen;
    EXPECT_EQ(windows().cursorCounter, step.cursor);
    EXPECT_EQ(display().CooperativeFlags(),
              full ? ddscl::Exclusive | ddscl::FullScreen : ddscl::Normal);
    EXPECT_EQ(display().CurrentMode().width, full ? 320 : 800);
    const Rect rect = windows().Find(video->window)->rect;
    EXPECT_EQ((std::array{rect.left, rect.top, rect.right, rect.bottom}),
              (std::array{step.left, step.top, step.left + 320, step.top + 240}));
    EXPECT_EQ(windows().Find(video->window)->visible, step.mode != kBackground);
    EXPECT_EQ(windows().activeWindow, video->window);
    EXPECT_EQ(windows().focusWindow, video->window);
    Frame();
    EXPECT_EQ(delayMs, full ? 0 : 5);
  }
  video->useDelay = 0;
  Frame();
  EXPECT_EQ(delayMs, 0);
  // The host is minimized only when asked, on entering full screen.
  video->minimizeHost = 1;
  Switch(kWindowed, 1);
  EXPECT_FALSE(windows().Find(hostWindow)->minimized);
  Switch(kFullScreen, 1);
  EXPECT_TRUE(windows().Find(hostWindow)->minimized);
}

// The desktop shows the plug-in's wallpaper, which lies beside the library, from the first
// frame in background mode until the mode is left.
TEST_F(DisplayModes, TheWallpaperComesWithTheFirstFlipInBackgroundAndGoesOnLeaving) {
  Start(kWindowed, 1);
  const std::pair<std::string, std::string> libraries[] = {
      {"C:\\Corvex\\vis_corvex.dll", "C:\\Corvex\\vis_corvex.bmp"},
      {"C:\\" + std::string(250, 'd') + "\\vis_corvex.dll", ""},  // too deep: none, not cut
      {"/opt/corvex/vis_corvex.so", "/opt/corvex/vis_corvex.bmp"},
      {"vis_corvex.dll", "vis_corvex.bmp"}};
  for (const auto& [library, wallpaper] : libraries) {
    windows().moduleFileName = library;
    Switch(kBackground, 1);
    EXPECT_EQ(windows().wallpaper, "");
    Frame();
    EXPECT_EQ(windows().wallpaper, wallpaper);
    windows().wallpaper = "set by the user meanwhile";
    Frame();  // once per entry
    EXPECT_EQ(windows().wallpaper, "set by the user meanwhile");
    Switch(wallpaper.empty() ? kFullScreen : kWindowed, 1);
    EXPECT_EQ(windows().wallpaper, "");  // at once, before any frame
  }
  Switch(kBackground, 1);
  Frame();
  video.reset();
  EXPECT_EQ(windows().wallpaper, "");
}

TEST_F(DisplayModes, EachChangeBuildsABlackPictureAndAWarpMapOfItsSizeWithTheSameChoice) {
  display().modes.push_back(StandardMode(32, 24, 32));  // small: freed pictures come back
  Start(kWindowed, 4);
  const int32_t chosen = video->transformManager->AllTransformsMask() & ~1;
  video->transformManager->SetTransformMask(chosen);
  Frame();
  Switch(kWindowed, 4);
  for (int32_t i = 0; i < 32 * 25 + 1; ++i) {  // the guard pixels too
    ASSERT_EQ(video->frameBuffer[i] | video->previousFrame[i], 0u) << i;
  }
  Switch(kWindowed, 3);
  EXPECT_EQ(video->transformManager->mapWidth, 640);
  EXPECT_EQ(video->transformManager->mapHeight, 480);
  EXPECT_EQ(video->transformManager->TransformMask(), chosen);
}

TEST_F(DisplayModes, TheProbeLeavesNoObjectAndOverlaysAreOfferedWhenTheDriverHasOneFree) {
  for (bool present : {false, true}) {
    display().hasDirectDraw6 = present;
    video = std::make_unique<Video>(backend);
    EXPECT_EQ(video->HasDirectDraw6(), present);
    EXPECT_EQ(display().LiveDirectDrawObjects(), 0);
  }
  for (uint32_t othersShown : {0u, 1u}) {
    display().otherVisibleOverlays = othersShown;
    Start(kWindowed, 1);
    EXPECT_EQ(video->overlaySupported, othersShown == 0 ? 1 : 0);
  }
}

using Names = std::vector<std::string>;

Names NamesOf(const Video& video, int32_t mode) {
  return Names(video.modeNames[mode], video.modeNames[mode] + video.modeCount[mode]);
}

// A 16-bit desktop of 800 x 600 counts 480000 units (a pixel is one unit at 16 bits, two at 24
// and 32) beside 1228800 bytes for surfaces. Full screen takes a mode within both together,
// background one that fits twice within the bytes, a window any mode of 16, 24 or 32 bits.
TEST_F(DisplayModes, EachDisplayModeListsTheDevicesModesInItsOrderWithinItsMemory) {
  // An enumeration ended half-way by an error leaves nothing behind for the next Video.
  display().failures.Inject("EnumDisplayModes", dderr::Generic, 2);
  ExitText([this] { Start(kWindowed, 0); });

  display().desktop = StandardMode(800, 600, 16);
  display().videoMemory = 1228800;
  display().modes = {StandardMode(1068, 800, 32), StandardMode(640, 480, 8),
                     StandardMode(800, 600, 16),  StandardMode(1069, 800, 32),
                     StandardMode(640, 480, 32),  StandardMode(641, 480, 32),
                     StandardMode(800, 600, 24)};
  Start(kWindowed, 1);
  EXPECT_EQ(NamesOf(*video, kFullScreen),
            (Names{"1068x800x32", "800x600x16", "640x480x32", "641x480x32", "800x600x24"}));
  EXPECT_EQ(NamesOf(*video, kWindowed), (Names{"1068x800x32", "800x600x16", "1069x800x32",
                                               "640x480x32", "641x480x32", "800x600x24"}));
  EXPECT_EQ(NamesOf(*video, kBackground), (Names{"800x600x16", "640x480x32"}));
  // Entries are the descriptions as reported, channel masks included.
  EXPECT_EQ(video->modeList[kWindowed][1].pixelFormat.greenMask, 0x07E0u);
}

// With nothing chosen a run starts full screen at the last entry of 480 lines; an index past
// the list (from another adapter, or kept from a longer list) falls back to that entry, or to
// the last one of a list without it.
TEST_F(DisplayModes, TheDefaultIsTheLastEntryOf480Lines) {
  display().modes = {StandardMode(640, 480, 16), StandardMode(320, 240, 32),
                     StandardMode(640, 480, 32), StandardMode(800, 600, 32)};
  Start();
  EXPECT_EQ(video->displayMode, kFullScreen);
  EXPECT_EQ(video->resolutionMode, 2);
  EXPECT_EQ(display().CurrentMode().height, 480);
  EXPECT_EQ(display().CurrentMode().bitsPerPixel, 32);
  for (int32_t index : {7, 4, -3}) {
    Switch(kWindowed, index);
    EXPECT_EQ(video->resolutionMode, 2);
    EXPECT_EQ(video->requestedResolutionMode, 2);
  }
  display().modes = {StandardMode(320, 240, 32), StandardMode(800, 600, 32)};
  Start(kWindowed, 2);
  EXPECT_EQ(video->resolutionMode, 1);
  EXPECT_EQ(video->width, 800);
}

}  // namespace
}  // namespace corvex::testing
