#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "video/portable/direct_draw_results.h"
#include "video/portable/mode_filter.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

std::vector<std::string> Names(const Video& video, int32_t mode) {
  return std::vector<std::string>(video.modeNames[mode],
                                  video.modeNames[mode] + video.modeCount[mode]);
}

TEST(ModeFilter, OnlySixteenTwentyFourAndThirtyTwoBitModes) {
  for (int32_t bits : {1, 4, 8, 15}) {
    EXPECT_FALSE(ModeIsOffered(kWindowed, 640, 480, bits, 1 << 30, 1 << 30));
  }
  for (int32_t bits : {16, 24, 32}) EXPECT_TRUE(ModeIsOffered(kWindowed, 640, 480, bits, 0, 0));
}

// 1024 x 768 x 32 counts two units a pixel: full screen needs 2 x 1024 x 768 within the total,
// background twice that within what surfaces may use, windowed nothing.
TEST(ModeFilter, MemoryLimitsPerDisplayMode) {
  constexpr int64_t kUnits = 2 * 1024 * 768;
  EXPECT_TRUE(ModeIsOffered(kFullScreen, 1024, 768, 32, kUnits, 0));
  EXPECT_FALSE(ModeIsOffered(kFullScreen, 1024, 768, 32, kUnits - 1, 1 << 30));
  EXPECT_TRUE(ModeIsOffered(kBackground, 1024, 768, 32, 0, 2 * kUnits));
  EXPECT_FALSE(ModeIsOffered(kBackground, 1024, 768, 32, 1 << 30, 2 * kUnits - 1));
  EXPECT_TRUE(ModeIsOffered(kWindowed, 1024, 768, 32, 0, 0));
  // At 16 bits a pixel is one unit.
  EXPECT_TRUE(ModeIsOffered(kFullScreen, 1024, 768, 16, kUnits / 2, 0));
  EXPECT_FALSE(ModeIsOffered(kFullScreen, 1024, 768, 24, kUnits - 1, 0));
}

TEST(ModeFilter, CountBitsClearsTheLowestOneBitUntilNoneIsLeft) {
  EXPECT_EQ(CountBits(0), 0);
  EXPECT_EQ(CountBits(0x07E0), 6);
  EXPECT_EQ(CountBits(0x03E0), 5);
  EXPECT_EQ(CountBits(0x80000001u), 2);
  EXPECT_EQ(CountBits(0xFFFFFFFFu), 32);
}

class ModeLists : public VideoTest {};

TEST_F(ModeLists, EntriesKeepTheDevicesOrderAndTheirNames) {
  display().modes = {StandardMode(640, 480, 16), StandardMode(800, 600, 24),
                     StandardMode(640, 480, 8), StandardMode(640, 480, 32),
                     StandardMode(1280, 1024, 32)};
  Start(kWindowed, 0);
  EXPECT_EQ(Names(*video, kWindowed),
            (std::vector<std::string>{"640x480x16", "800x600x24", "640x480x32", "1280x1024x32"}));
  // Entries are the descriptions as reported, channel masks included.
  EXPECT_EQ(video->modeList[kWindowed][0].pixelFormat.greenMask, 0x07E0u);
  EXPECT_EQ(video->modeList[kWindowed][1].pixelFormat.redMask, 0x00FF0000u);
}

// A 16-bit desktop of 800 x 600 counts 480000 units of its own. With 3000000 bytes for
// surfaces, 1600 x 1024 x 32 (3276800 units) fits full screen only thanks to the desktop's
// share, and 1024 x 768 x 32 fits full screen but not twice over for the background.
TEST_F(ModeLists, EachDisplayModeFiltersByItsOwnMemoryRule) {
  display().desktop = StandardMode(800, 600, 16);
  display().videoMemory = 3000000;
  display().modes = {StandardMode(640, 480, 32), StandardMode(1024, 768, 32),
                     StandardMode(1600, 1024, 32), StandardMode(2048, 1536, 32)};
  Start(kWindowed, 0);
  EXPECT_EQ(video->availableVideoMemory, 3000000);
  EXPECT_EQ(video->totalVideoMemory, 3000000 + 800 * 600);
  EXPECT_EQ(Names(*video, kFullScreen),
            (std::vector<std::string>{"640x480x32", "1024x768x32", "1600x1024x32"}));
  EXPECT_EQ(Names(*video, kBackground), (std::vector<std::string>{"640x480x32"}));
  EXPECT_EQ(video->modeCount[kWindowed], 4);
}

TEST_F(ModeLists, WithNothingChosenTheLastFullScreenEntryOf480LinesIsTaken) {
  display().modes = {StandardMode(640, 480, 16), StandardMode(640, 480, 24),
                     StandardMode(640, 480, 32), StandardMode(800, 600, 32)};
  Start();
  EXPECT_EQ(video->displayMode, kFullScreen);
  EXPECT_EQ(video->resolutionMode, 2);
  EXPECT_EQ(video->modeDepth, 32);
  EXPECT_EQ(display().CurrentMode().bitsPerPixel, 32);
  EXPECT_EQ(display().CurrentMode().height, 480);
}

// An index past the list (a setting from another adapter, or a key that keeps the index of
// a longer list) falls back to the 480-line default, or to the last entry without one.
TEST_F(ModeLists, AnIndexPastTheListFallsBack) {
  display().modes = {StandardMode(640, 480, 32), StandardMode(320, 240, 32),
                     StandardMode(800, 600, 32)};
  Start(kWindowed, 7);
  EXPECT_EQ(video->resolutionMode, 0);
  EXPECT_EQ(video->requestedResolutionMode, 0);
  EXPECT_EQ(video->width, 640);
  Switch(kWindowed, -3);
  EXPECT_EQ(video->resolutionMode, 0);

  video.reset();
  display().modes = {StandardMode(320, 240, 32), StandardMode(800, 600, 32)};
  Start(kWindowed, 2);
  EXPECT_EQ(video->resolutionMode, 1);
  EXPECT_EQ(video->width, 800);
}

TEST_F(ModeLists, TheSameIndexNamesAnotherResolutionInAnotherList) {
  display().desktop = StandardMode(800, 600, 16);
  display().videoMemory = 1u << 20;
  display().modes = {StandardMode(1024, 768, 32), StandardMode(320, 240, 32)};
  Start(kWindowed, 0);
  EXPECT_EQ(video->width, 1024);
  Switch(kBackground, video->resolutionMode);  // as F-keys keep the index
  EXPECT_STREQ(video->modeNames[kBackground][0], "320x240x32");
  EXPECT_EQ(video->width, 320);
}

// An enumeration that ended the process half-way (after the full-screen list was stored)
// leaves no storing position behind for the next Video.
TEST_F(ModeLists, ANewVideoBuildsItsListsAfresh) {
  display().failures.Inject("EnumDisplayModes", DDERR_GENERIC, 2);
  EXPECT_EQ(ExitText([this] { Start(kWindowed, 0); }),
            "Error counting display modes - DDERR_GENERIC");
  video.reset();
  Start(kWindowed, 0);
  EXPECT_EQ(Names(*video, kFullScreen),
            (std::vector<std::string>{"320x240x16", "320x240x32", "640x480x16", "640x480x32"}));
}

}  // namespace
}  // namespace corvex::testing
