#include <gtest/gtest.h>

#include "platform/display_flags.h"
#include "platform/messages.h"
#include "transforms/transform_manager.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

using platform::DDSCL_EXCLUSIVE;
using platform::DDSCL_FULLSCREEN;
using platform::DDSCL_NORMAL;

class DisplayModes : public VideoTest {
 public:
  platform::headless::HeadlessWindows::Window& PluginWindow() {
    return *windows().Find(video->window);
  }
};

TEST_F(DisplayModes, FullScreenTakesTheDisplayAndHidesTheCursor) {
  windows().cursorCounter = 2;
  Start(kFullScreen, 1);
  EXPECT_EQ(display().CurrentMode().width, 320);
  EXPECT_EQ(display().CurrentMode().bitsPerPixel, 32);
  EXPECT_EQ(display().CooperativeFlags(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  EXPECT_EQ(windows().cursorCounter, -1);
  const platform::Rect rect = PluginWindow().rect;
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 320);
  EXPECT_EQ(rect.bottom, 240);
  EXPECT_TRUE(PluginWindow().visible);
  EXPECT_EQ(windows().focusWindow, video->window);
  EXPECT_EQ(video->screenWidth, 320);
  EXPECT_EQ(video->displayDepth, 32);
  EXPECT_FALSE(windows().Find(hostWindow)->minimized);
}

TEST_F(DisplayModes, TheHostIsMinimizedOnlyWhenAskedOnEnteringFullScreen) {
  Start(kWindowed, 1);
  video->minimizeHost = 1;
  EXPECT_FALSE(windows().Find(hostWindow)->minimized);
  Switch(kFullScreen, 1);
  EXPECT_TRUE(windows().Find(hostWindow)->minimized);
}

TEST_F(DisplayModes, TheCursorCounterFollowsEachChange) {
  Start(kFullScreen, 1);
  EXPECT_EQ(windows().cursorCounter, -1);
  Switch(kWindowed, 1);
  EXPECT_EQ(windows().cursorCounter, 0);
  Switch(kWindowed, 1);
  EXPECT_EQ(windows().cursorCounter, 1);  // shown once more on each change
  Switch(kFullScreen, 1);
  EXPECT_EQ(windows().cursorCounter, -1);
  Switch(kBackground, 1);
  EXPECT_EQ(windows().cursorCounter, 0);
}

TEST_F(DisplayModes, AWindowKeepsItsPlaceAcrossFullScreen) {
  video = nullptr;
  Start(kWindowed, 1);
  EXPECT_EQ(display().CooperativeFlags(), DDSCL_NORMAL);
  EXPECT_FALSE(display().ModeChanged());
  video->windowX = 100;
  video->windowY = 50;
  Switch(kWindowed, 1);
  EXPECT_EQ(PluginWindow().rect.left, 100);
  Switch(kFullScreen, 1);
  EXPECT_EQ(PluginWindow().rect.left, 0);
  EXPECT_EQ(video->windowX, 100);
  EXPECT_EQ(video->windowY, 50);
  Switch(kWindowed, 1);
  EXPECT_FALSE(display().ModeChanged());
  EXPECT_EQ(PluginWindow().rect.left, 100);
  EXPECT_EQ(PluginWindow().rect.top, 50);
  EXPECT_EQ(PluginWindow().rect.right, 420);
  EXPECT_EQ(windows().activeWindow, video->window);
}

// The desktop shows the plug-in's wallpaper (where the overlay shows through) from the first
// frame in background mode until the mode is left.
TEST_F(DisplayModes, BackgroundHidesTheWindowAndSwitchesTheWallpaperAtTheNextFlip) {
  Start(kBackground, 1);
  EXPECT_FALSE(PluginWindow().visible);
  EXPECT_EQ(windows().cursorCounter, 1);
  EXPECT_EQ(windows().wallpaper, "");
  EXPECT_EQ(video->wallpaperPending, 1);
  Frame();
  EXPECT_EQ(windows().wallpaper, "C:\\Corvex\\vis_corvex.bmp");
  EXPECT_EQ(video->wallpaperPending, 0);
  const size_t changes = windows().wallpaperHistory.size();
  Frame();
  EXPECT_EQ(windows().wallpaperHistory.size(), changes);  // once per entry
  Switch(kWindowed, 1);
  EXPECT_EQ(windows().wallpaper, "");  // at once, before any frame
}

TEST_F(DisplayModes, TheWallpaperLiesBesideTheLibrary) {
  windows().moduleFileName = "/opt/corvex/vis_corvex.so";
  Start(kBackground, 1);
  Frame();
  EXPECT_EQ(windows().wallpaper, "/opt/corvex/vis_corvex.bmp");
  Switch(kBackground, 1);
  windows().moduleFileName = "vis_corvex.dll";
  Frame();
  EXPECT_EQ(windows().wallpaper, "vis_corvex.bmp");
  // A folder too deep for the 260-byte name gets no wallpaper rather than a cut one.
  Switch(kBackground, 1);
  windows().moduleFileName = "C:\\" + std::string(250, 'd') + "\\vis_corvex.dll";
  windows().wallpaper = "unchanged";
  Frame();
  EXPECT_EQ(windows().wallpaper, "unchanged");
}

TEST_F(DisplayModes, DestroyingTheVideoInBackgroundBringsTheUsersWallpaperBack) {
  Start(kBackground, 1);
  Frame();
  video.reset();
  EXPECT_EQ(windows().wallpaper, "");
}

TEST_F(DisplayModes, TheFormatFollowsTheDesktopsDepthAndGreenMask) {
  struct Case {
    DisplayModeInfo desktop;
    ComposeFormat format;
    uint32_t key;
  };
  const Case cases[] = {
      {StandardMode(800, 600, 32), ComposeFormat::Rgb32, 0xFF00},
      {StandardMode(800, 600, 24), ComposeFormat::Rgb24, 0xFF00},
      {StandardMode(800, 600, 16), ComposeFormat::Rgb565, 0x07E0},
      {Mode555(800, 600), ComposeFormat::Rgb555, 0x03E0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desktop.bitsPerPixel);
    display().desktop = c.desktop;
    Start(kBackground, 1);
    EXPECT_EQ(video->composeFormat, c.format);
    EXPECT_EQ(video->colorKey.low, c.key);
    EXPECT_EQ(video->colorKey.high, c.key);
    EXPECT_EQ(video->greenMask, c.key);
    HeadlessSurface* primary = Surface(video->primarySurface);
    EXPECT_TRUE(primary->hasDestOverlayKey);
    EXPECT_EQ(primary->destOverlayKey.low, c.key);
    EXPECT_EQ(Surface(video->overlaySurface)->format.rgbBitCount,
              static_cast<uint32_t>(c.desktop.bitsPerPixel));
    video.reset();
  }
}

TEST_F(DisplayModes, OverlaySupportIsReadFromTheDriversCapabilities) {
  Start(kWindowed, 1);
  EXPECT_EQ(video->overlaySupported, 1);
  video.reset();
  display().otherVisibleOverlays = 1;  // all in use
  Start(kWindowed, 1);
  EXPECT_EQ(video->overlaySupported, 0);
  video.reset();
  display().otherVisibleOverlays = 0;
  display().overlaySupport = OverlaySupport::None;
  Start(kWindowed, 1);
  EXPECT_EQ(video->overlaySupported, 0);
}

TEST_F(DisplayModes, EachChangeBuildsANewWarpMapOfThePictureSize) {
  Start(kWindowed, 1);
  EXPECT_EQ(video->transformsBuilt, 1);
  EXPECT_EQ(video->transformManager->mapWidth, 320);
  video->transformManager->SetTransformMask(video->transformManager->AllTransformsMask() & ~1);
  const int32_t chosen = video->transformManager->TransformMask();
  Switch(kWindowed, 3);
  EXPECT_EQ(video->transformManager->mapWidth, 640);
  EXPECT_EQ(video->transformManager->mapHeight, 480);
  EXPECT_EQ(video->transformChoice, chosen);
  EXPECT_EQ(video->transformManager->TransformMask(), chosen);
  // Both pictures start black, their guard pixels at 0.
  for (int32_t i = 0; i < 640 * 481 + 1; ++i) {
    ASSERT_EQ(video->frameBuffer[i], 0u);
    ASSERT_EQ(video->previousFrame[i], 0u);
  }
}

TEST_F(DisplayModes, TheProbeAndTheDestructorLeaveNothingBehind) {
  video = std::make_unique<Video>(backend);
  EXPECT_EQ(graphics().LiveFonts(), 1u);
  const auto* font = graphics().FontOf(video->font);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->request.height, -10);
  EXPECT_EQ(font->request.charSet, 128u);
  EXPECT_EQ(font->request.pitchAndFamily, 2u);
  EXPECT_EQ(font->face, "Arial");
  EXPECT_EQ(font->pixelHeight, 10);
  EXPECT_TRUE(video->HasDirectDraw6());
  EXPECT_EQ(video->directDraw, nullptr);
  EXPECT_EQ(display().LiveDirectDrawObjects(), 0);
  video.reset();

  display().hasDirectDraw6 = false;
  video = std::make_unique<Video>(backend);
  EXPECT_FALSE(video->HasDirectDraw6());
  EXPECT_EQ(display().LiveDirectDrawObjects(), 0);
  video.reset();
  display().hasDirectDraw6 = true;

  for (int32_t mode : {kFullScreen, kWindowed, kBackground}) {
    Start(mode, 1);
    Frame();
    video.reset();
    EXPECT_EQ(display().LiveDirectDrawObjects(), 0);
    EXPECT_EQ(display().LiveSurfaces(), 0);
    EXPECT_EQ(display().LiveClippers(), 0);
    EXPECT_EQ(display().UsedVideoMemory(), 0u);
    EXPECT_FALSE(display().ModeChanged());
    EXPECT_EQ(graphics().LiveFonts(), 0u);
    EXPECT_EQ(windows().LiveWindows().size(), 1u);  // the host's only
  }
  Start(kWindowed, 1);  // the class was unregistered, so it registers again
  EXPECT_NE(video->window, nullptr);
}

}  // namespace
}  // namespace corvex::testing
