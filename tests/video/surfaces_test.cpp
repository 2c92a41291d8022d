#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/display_flags.h"
#include "video/portable/direct_draw_results.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

class Surfaces : public VideoTest {
 public:
  // Every pixel of a presented picture of the picture's own size equals the pattern, read
  // through mask (the bits the display format keeps).
  void ExpectPattern(const Picture& shown, uint32_t mask) {
    ASSERT_EQ(shown.width, video->width);
    ASSERT_EQ(shown.height, video->height);
    for (int32_t y = 0; y < shown.height; ++y) {
      for (int32_t x = 0; x < shown.width; ++x) {
        ASSERT_EQ(shown.At(x, y) & mask, PatternAt(x, y) & mask) << x << "," << y;
      }
    }
  }

  void StartWindowAt(int32_t x, int32_t y) {
    Start(kWindowed, 1);
    video->windowX = x;
    video->windowY = y;
    Switch(kWindowed, 1);
    Frame();
  }

  void FillSolid(uint32_t colour) {
    std::fill(video->frameBuffer, video->frameBuffer + video->width * video->height, colour);
  }
};

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)) >
        tolerance) {
      return false;
    }
  }
  return true;
}

TEST_F(Surfaces, TheComposeSurfaceHasASpareColumnThatIsNeverShown) {
  Start(kFullScreen, 3);
  HeadlessSurface* compose = Surface(video->composeSurface);
  EXPECT_EQ(compose->width, 641);
  EXPECT_EQ(compose->height, 480);
  EXPECT_EQ(compose->caps, platform::DDSCAPS_SYSTEMMEMORY);
  EXPECT_EQ(video->composeDesc.width, 641u);
  Frame();
  ExpectPattern(display().PresentedPicture(), 0xFFFFFF);
  EXPECT_EQ(display().ScreenPicture().width, 640);
}

TEST_F(Surfaces, FullScreenShowsThePictureInTheDisplaysFormat) {
  Start(kFullScreen, 0);  // 320 x 240 x 16
  EXPECT_EQ(video->composeFormat, ComposeFormat::Rgb565);
  Frame();
  ExpectPattern(display().PresentedPicture(), 0xF8FCF8);
}

TEST_F(Surfaces, AWindowShowsThePictureAtItsPlaceOnTheDesktop) {
  StartWindowAt(100, 50);
  EXPECT_EQ(video->windowRect.left, 100);
  EXPECT_EQ(video->windowRect.bottom, 290);
  ExpectPattern(display().PresentedPicture(), 0xFFFFFF);
  const Picture screen = display().ScreenPicture();
  EXPECT_EQ(screen.At(100 + 7, 50 + 9), PatternAt(7, 9));
  EXPECT_EQ(screen.At(99, 50), 0u);  // the desktop around it is untouched
}

TEST_F(Surfaces, AWindowPartlyOffTheScreenShowsWhatIsOnIt) {
  StartWindowAt(700, 500);
  const Picture shown = display().PresentedPicture();
  EXPECT_EQ(shown.width, 100);
  EXPECT_EQ(shown.height, 100);
  EXPECT_EQ(shown.At(0, 0), PatternAt(0, 0));
  EXPECT_EQ(shown.At(99, 99), PatternAt(99, 99));
}

// In background mode the 320 x 240 picture covers the whole 800 x 600 desktop.
TEST_F(Surfaces, AnRgbOverlayIsStretchedOverTheScreen) {
  Start(kBackground, 1);
  EXPECT_EQ(video->composeFormat, ComposeFormat::Rgb32);
  EXPECT_EQ(video->composeAllocated, 1);
  Frame();
  HeadlessSurface* overlay = Surface(video->overlaySurface);
  EXPECT_TRUE(overlay->overlayShown);
  EXPECT_EQ(overlay->overlayFlags, platform::DDOVER_SHOW | platform::DDOVER_KEYDEST);
  EXPECT_EQ(overlay->overlayDestination.right, 800);
  EXPECT_EQ(overlay->overlayDestination.bottom, 600);
  const Picture shown = display().PresentedPicture();
  ASSERT_EQ(shown.width, 800);
  ASSERT_EQ(shown.height, 600);
  for (int32_t y = 0; y < 600; y += 37) {
    for (int32_t x = 0; x < 800; x += 41) {
      ASSERT_EQ(shown.At(x, y), PatternAt(x * 320 / 800, y * 240 / 600)) << x << "," << y;
    }
  }
}

// Hardware with only one YUV overlay format: the conversion writes the overlay itself, there
// is no compose surface of its own, no blit, and no text on the picture.
TEST_F(Surfaces, AYuvOverlayIsWrittenDirectlyAndCarriesNoText) {
  for (auto [support, format] : {std::pair{OverlaySupport::Uyvy, ComposeFormat::Uyvy},
                                 std::pair{OverlaySupport::Yuy2, ComposeFormat::Yuy2}}) {
    SCOPED_TRACE(ComposeFormatName(format));
    display().overlaySupport = support;
    Start(kBackground, 1);
    EXPECT_EQ(video->composeFormat, format);
    EXPECT_EQ(video->composeAllocated, 0);
    EXPECT_EQ(video->composeSurface, video->overlaySurface);
    EXPECT_EQ(display().LiveSurfaces(), 2);  // the primary and the overlay
    EXPECT_EQ(Surface(video->overlaySurface)->format.fourCC,
              support == OverlaySupport::Uyvy ? platform::FOURCC_UYVY : platform::FOURCC_YUY2);
    video->showInfo = 1;
    video->SetMessage("Transform Locked");
    graphics().textLog.clear();
    display().failures.Inject("Blt", DDERR_GENERIC);  // a blit would end the process
    FillSolid(0x3080C0);
    video->Compose();
    video->ShowInfo();
    video->ShowMessage();
    video->Flip();
    display().failures.Clear();
    EXPECT_TRUE(windows().messageBoxes.empty());
    EXPECT_TRUE(graphics().textLog.empty());
    EXPECT_EQ(video->messageFrames, 80);
    EXPECT_EQ(video->infoFrameCount, 0);
    const Picture shown = display().PresentedPicture();
    ASSERT_EQ(shown.width, 800);
    for (uint32_t pixel : shown.pixels) ASSERT_TRUE(Near(pixel, 0x3080C0, 4)) << std::hex << pixel;
    video.reset();
  }
}

TEST_F(Surfaces, TheHostPausesOnlyOutsideFullScreenWhenAskedTo) {
  Start(kFullScreen, 1);
  video->useDelay = 1;
  Frame();
  EXPECT_EQ(delayMs, 0);
  Switch(kWindowed, 1);
  Frame();
  EXPECT_EQ(delayMs, 5);
  Switch(kBackground, 1);
  Frame();
  EXPECT_EQ(delayMs, 5);
  video->useDelay = 0;
  Frame();
  EXPECT_EQ(delayMs, 0);
  video->useDelay = 1;
  Switch(kWindowed, 1);
  Frame();
  EXPECT_EQ(delayMs, 5);
  Switch(kFullScreen, 1);
  Frame();
  EXPECT_EQ(delayMs, 0);
}

TEST_F(Surfaces, FlipExchangesThePictures) {
  Start(kWindowed, 1);
  uint32_t* drawn = video->frameBuffer;
  uint32_t* shown = video->previousFrame;
  Frame();
  EXPECT_EQ(video->previousFrame, drawn);
  EXPECT_EQ(video->frameBuffer, shown);
}

TEST_F(Surfaces, FreeingTwiceDoesNothingTheSecondTime) {
  Start(kBackground, 1);
  video->FreeSurfaces();
  EXPECT_EQ(display().LiveSurfaces(), 0);
  EXPECT_EQ(video->frameBuffer, nullptr);
  EXPECT_EQ(video->composeSurface, nullptr);
  EXPECT_EQ(display().UsedVideoMemory(), 0u);
  video->FreeSurfaces();
  EXPECT_EQ(display().LiveSurfaces(), 0);
  video->ChangeRes();  // and a display change builds them all again
  EXPECT_EQ(display().LiveSurfaces(), 3);
}

TEST_F(Surfaces, SurfacesLostToAnotherProgramAreRestoredBeforeUse) {
  for (int32_t mode : {kFullScreen, kWindowed, kBackground}) {
    SCOPED_TRACE(mode);
    Start(mode, 1);
    display().LoseSurfaces();
    Frame();
    for (const HeadlessSurface* surface : display().Surfaces()) EXPECT_FALSE(surface->lost);
    EXPECT_TRUE(windows().messageBoxes.empty());
    const Picture shown = display().PresentedPicture();
    ASSERT_GT(shown.width, 0);
    EXPECT_EQ(shown.At(0, 0), PatternAt(0, 0));
    video.reset();
  }
}

}  // namespace
}  // namespace corvex::testing
