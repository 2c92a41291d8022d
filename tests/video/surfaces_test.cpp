#include <gtest/gtest.h>

#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

// What the user sees is the picture in the display's format: in full screen through a compose
// surface one column wider than the picture, in a window at its place on the desktop (cut by
// the screen's edge), through an RGB overlay in the desktop's format stretched over the whole
// screen wherever the desktop shows the colour key, its brightest pure green. A 16-bit
// desktop is told apart by its green mask. A 32-bit picture shown at its own size can also be
// read in place. The Video leaves nothing behind.
TEST_F(VideoTest, EachModeShowsThePictureAndLeavesNothingBehind) {
  const struct {
    int32_t mode, resolution, x, y, desktopBits, shownWidth, shownHeight;
    uint32_t mask, key;  // the bits the display keeps; the colour key
  } cases[] = {{kFullScreen, 3, 0, 0, 32, 640, 480, 0xFFFFFF, 0},
               {kFullScreen, 0, 0, 0, 32, 320, 240, 0xF8FCF8, 0},  // 5-6-5
               {kWindowed, 1, 100, 50, 32, 320, 240, 0xFFFFFF, 0},
               {kWindowed, 1, 700, 500, 32, 100, 100, 0xFFFFFF, 0},
               {kBackground, 1, 0, 0, 32, 800, 600, 0xFFFFFF, 0xFF00},
               {kBackground, 1, 0, 0, 24, 800, 600, 0xFFFFFF, 0xFF00},
               {kBackground, 1, 0, 0, 16, 800, 600, 0xF8FCF8, 0x07E0},
               {kBackground, 1, 0, 0, 15, 800, 600, 0xF8F8F8, 0x03E0}};  // 5-5-5
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.mode << " " << c.resolution << " " << c.desktopBits);
    display().desktop =
        c.desktopBits == 15 ? Mode555(800, 600) : StandardMode(800, 600, c.desktopBits);
    Start(c.mode, c.resolution);
    video->windowX = c.x;
    video->windowY = c.y;
    Switch(c.mode, c.resolution);
    const HeadlessSurface* compose = Surface(video->composeSurface);
    EXPECT_EQ(compose->width, video->width + 1);
    EXPECT_EQ(compose->caps, platform::ddscaps::SystemMemory);
    uint32_t* drawn = video->frameBuffer;
    Frame();
    EXPECT_EQ(video->previousFrame, drawn);
    const Picture shown = display().PresentedPicture();
    ASSERT_EQ(shown.width, c.shownWidth);
    ASSERT_EQ(shown.height, c.shownHeight);
    const int32_t spanX = c.mode == kBackground ? shown.width : video->width;
    const int32_t spanY = c.mode == kBackground ? shown.height : video->height;
    for (int32_t y = 0; y < shown.height; ++y) {
      for (int32_t x = 0; x < shown.width; ++x) {
        const uint32_t expected = PatternAt(x * video->width / spanX, y * video->height / spanY);
        ASSERT_EQ(shown.At(x, y) & c.mask, expected & c.mask) << x << "," << y;
      }
    }
    // Where nothing needs converting or stretching, the same pixels are read where they lie.
    const std::optional<PictureRows> rows = display().PresentedRows();
    ASSERT_EQ(rows.has_value(), c.mode != kBackground && c.mask == 0xFFFFFF);
    if (rows) {
      ASSERT_EQ(rows->width, shown.width);
      ASSERT_EQ(rows->height, shown.height);
      for (int32_t y = 0; y < shown.height; ++y) {
        for (int32_t x = 0; x < shown.width; ++x) ASSERT_EQ(rows->At(x, y), shown.At(x, y)) << x << "," << y;
      }
    }
    if (c.mode == kWindowed) {
      const Picture screen = display().ScreenPicture();
      EXPECT_EQ(screen.At(c.x + 7, c.y + 9), PatternAt(7, 9));
      EXPECT_EQ(screen.At(c.x - 1, c.y), 0u);  // the desktop around it is untouched
    }
    if (c.mode == kBackground) {
      EXPECT_EQ(Surface(video->overlaySurface)->overlayFlags,
                platform::ddover::Show | platform::ddover::KeyDest);
      const HeadlessSurface* primary = Surface(video->primarySurface);
      EXPECT_TRUE(primary->hasDestOverlayKey);
      EXPECT_EQ(primary->destOverlayKey.low, c.key);
      EXPECT_EQ(primary->destOverlayKey.high, c.key);
    }
    video.reset();  // and the next Video registers its window class anew
    EXPECT_EQ(display().LiveDirectDrawObjects() + display().LiveSurfaces(), 0);
    EXPECT_EQ(display().LiveClippers() + backend.graphics.LiveFonts(), 0u);
    EXPECT_EQ(display().UsedVideoMemory(), 0u);
    EXPECT_FALSE(display().ModeChanged());
    EXPECT_EQ(windows().LiveWindows().size(), 1u);  // the host's only
  }
}

// Hardware with only one YUV overlay format: the conversion writes the overlay itself, with no
// compose surface of its own, no blit, and no text on the picture.
TEST_F(VideoTest, AYuvOverlayIsWrittenDirectlyAndCarriesNoText) {
  for (auto [support, format] : {std::pair{OverlaySupport::Uyvy, ComposeFormat::Uyvy},
                                 std::pair{OverlaySupport::Yuy2, ComposeFormat::Yuy2}}) {
    SCOPED_TRACE(ComposeFormatName(format));
    display().overlaySupport = support;
    Start(kBackground, 1);
    EXPECT_EQ(video->composeFormat, format);
    EXPECT_EQ(video->composeSurface, video->overlaySurface);
    video->showInfo = 1;
    video->SetMessage("Transform Locked");
    backend.graphics.textLog.clear();
    display().failures.Inject("Blt", dderr::Generic);  // a blit would end the process
    Frame();                                          // the information overlay's clock starts
    Frame([](int32_t, int32_t) { return 0x3080C0u; });
    EXPECT_TRUE(backend.graphics.textLog.empty());
    EXPECT_EQ(video->messageFrames, 80);
    const Picture shown = display().PresentedPicture();
    ASSERT_EQ(shown.width, 800);
    for (uint32_t pixel : shown.pixels) {
      for (int32_t shift : {0, 8, 16}) {
        ASSERT_NEAR((pixel >> shift) & 255, (0x3080C0u >> shift) & 255, 4) << std::hex << pixel;
      }
    }
    video.reset();
    EXPECT_EQ(display().LiveSurfaces(), 0);
  }
}

}  // namespace
}  // namespace corvex::testing
