#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "png_file.h"
#include "scene/process_objects.h"
#include "scene/scene_manager.h"
#include "video/portable/overlay_text.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

using TextRecord = platform::headless::HeadlessGraphics::TextRecord;

class Overlays : public VideoTest {
 public:
  ~Overlays() override { theSceneManager = nullptr; }

  // Starts a 640 x 480 picture in a window on a 1024 x 768 x 16 desktop, with a scene that
  // knows the song.
  void StartWithSong(const char* title, int32_t position) {
    display().desktop = StandardMode(1024, 768, 16);
    Start(kWindowed, 2);
    scene = std::make_unique<SceneManager>(*video);
    theSceneManager = scene.get();
    std::strcpy(scene->songTitle, title);
    scene->songPosition = position;
  }

  // The texts drawn in the last frame, in order.
  std::vector<TextRecord> FrameText() {
    graphics().textLog.clear();
    Frame();
    return {graphics().textLog.begin(), graphics().textLog.end()};
  }

  std::string InfoLine(int32_t index, const InfoValues& values) {
    char lines[kInfoLineCount][kInfoLineSize];
    FormatInfoLines(values, lines);
    return lines[index];
  }

  std::unique_ptr<SceneManager> scene;
};

void ExpectShadowed(const std::vector<TextRecord>& drawn, size_t at, int32_t x, int32_t y,
                    const std::string& text) {
  ASSERT_LT(at + 1, drawn.size());
  const TextRecord& shadow = drawn[at];
  const TextRecord& front = drawn[at + 1];
  EXPECT_EQ(shadow.text, text);
  EXPECT_EQ(front.text, text);
  EXPECT_EQ(shadow.color, 0x000000u);
  EXPECT_EQ(front.color, 0xFFFFFFu);
  EXPECT_EQ(shadow.x, x + 1);
  EXPECT_EQ(shadow.y, y + 1);
  EXPECT_EQ(front.x, x);
  EXPECT_EQ(front.y, y);
  EXPECT_EQ(front.backgroundMode, platform::TRANSPARENT);
  EXPECT_EQ(front.pixelHeight, 10);
}

TEST_F(Overlays, TheInformationLinesAfterAFirstFrameThatOnlyStartsTheClock) {
  StartWithSong("Test Song", 754000);
  video->showInfo = 1;
  windows().clock = 1000;
  EXPECT_TRUE(FrameText().empty());
  EXPECT_EQ(video->infoFrameCount, 1);
  EXPECT_EQ(video->infoStartTime, 1000u);
  windows().clock = 1040;
  const std::vector<TextRecord> drawn = FrameText();
  ASSERT_EQ(drawn.size(), 12u);
  const char* lines[] = {"Frame Count: 1",        "FPS: 25.0",
                         "Screen Size: 640 x 480", "Display Size: 1024 x 768 x 16",
                         "Song Info: Test Song",  "Song Playing Time: 12:34"};
  for (int32_t i = 0; i < 6; ++i) ExpectShadowed(drawn, 2 * i, 20, 30 + 10 * i, lines[i]);
  EXPECT_EQ(video->infoFrameCount, 2);
  EXPECT_EQ(video->infoNow, 1040u);
  video->showInfo = 0;
  EXPECT_TRUE(FrameText().empty());
  EXPECT_EQ(video->infoFrameCount, 2);  // switched off, the count rests
}

TEST_F(Overlays, TheFrameRateIsTheAverageSinceTheOverlayWasSwitchedOn) {
  EXPECT_EQ(FrameRateTenths(150, 1000, 6000), 300);
  EXPECT_EQ(FrameRateTenths(100, 0, 3000), 333);
  EXPECT_EQ(FrameRateTenths(1, 0xFFFFFFF0u, 0x10u), 312);  // across the clock's wrap
  EXPECT_EQ(FrameRateTenths(7, 500, 500), 0);              // the clock has not moved
  EXPECT_EQ(FrameRateTenths(7, 500, 400), 0);
  EXPECT_EQ(FrameRateTenths(2000000, 0, 1), 2147483647);

  StartWithSong("", 0);
  video->showInfo = 1;
  video->infoFrameCount = 150;
  video->infoStartTime = 1000;
  windows().clock = 6000;
  EXPECT_EQ(FrameText()[3].text, "FPS: 30.0");
  video->infoStartTime = 6000;
  EXPECT_EQ(FrameText()[3].text, "FPS: 0.0");
}

TEST_F(Overlays, PlayingTimeHasMinutesOfAtLeastTwoPlacesAndTwoDigitSeconds) {
  InfoValues values{};
  values.songTitle = "";
  values.songPosition = 754000;
  EXPECT_EQ(InfoLine(5, values), "Song Playing Time: 12:34");
  values.songPosition = 65000;
  EXPECT_EQ(InfoLine(5, values), "Song Playing Time:  1:05");
  values.songPosition = 3600000;
  EXPECT_EQ(InfoLine(5, values), "Song Playing Time: 60:00");
  values.songPosition = 59999;
  EXPECT_EQ(InfoLine(5, values), "Song Playing Time:  0:59");
  const std::string longTitle(255, 't');
  values.songTitle = longTitle.c_str();
  EXPECT_EQ(InfoLine(4, values), "Song Info: " + longTitle);
}

TEST_F(Overlays, AMessageShowsOnEightyFramesTwentyPixelsAboveTheBottom) {
  StartWithSong("", 0);
  video->SetMessage("Renderer Locked");
  for (int frame = 1; frame <= 80; ++frame) {
    const std::vector<TextRecord> drawn = FrameText();
    ASSERT_EQ(drawn.size(), 2u) << "frame " << frame;
    ExpectShadowed(drawn, 0, 30, 460, "Renderer Locked");
  }
  EXPECT_EQ(video->messageFrames, 0);
  EXPECT_TRUE(FrameText().empty());
  // A new message restarts the count.
  video->SetMessage("Transform Unlocked");
  FrameText();
  video->SetMessage("Song Title Display On");
  EXPECT_EQ(video->messageFrames, 80);
}

TEST_F(Overlays, AMessageLongerThanTheBufferIsCut) {
  StartWithSong("", 0);
  video->SetMessage(std::string(300, 'm').c_str());
  EXPECT_EQ(std::strlen(video->messageText), 255u);
  EXPECT_EQ(FrameText()[1].text, std::string(255, 'm'));
}

// The text is drawn into the converted picture, in its own format: white glyphs and black
// shadows on the picture, which stays as it was wherever no glyph lies.
TEST_F(Overlays, TextLandsOnTheComposeSurfaceInItsFormat) {
  StartWithSong("", 0);  // a 16-bit display
  video->SetMessage("Renderer Locked");
  std::fill(video->frameBuffer, video->frameBuffer + 640 * 480, 0x808080u);
  video->Compose();
  video->ShowMessage();
  const Picture shown = display().SurfacePicture(video->composeSurface);
  const uint32_t grey = shown.At(0, 0);
  int32_t white = 0, black = 0, untouched = 0;
  for (int32_t y = 0; y < 480; ++y) {
    for (int32_t x = 0; x < 640; ++x) {
      const uint32_t pixel = shown.At(x, y);
      const bool inBand = x >= 30 && x < 30 + 120 && y >= 460 && y < 460 + 14;
      if (!inBand) {
        ASSERT_EQ(pixel, grey) << x << "," << y;
        continue;
      }
      white += pixel == 0xFFFFFF ? 1 : 0;
      black += pixel == 0 ? 1 : 0;
      untouched += pixel == grey ? 1 : 0;
    }
  }
  EXPECT_GT(white, 40);
  EXPECT_GT(black, 40);
  EXPECT_GT(untouched, 120 * 14 / 2);  // a transparent background
}

// A frame as the user sees it, written to the build folder to be looked at.
TEST_F(Overlays, AFrameWithBothOverlaysIsWrittenAsAPicture) {
  display().modes = {StandardMode(640, 480, 32)};
  Start(kFullScreen, 0);
  scene = std::make_unique<SceneManager>(*video);
  theSceneManager = scene.get();
  std::strcpy(scene->songTitle, "Corvex Demo - Night Drive");
  scene->songPosition = 65000;
  video->showInfo = 1;
  windows().clock = 0;
  Frame();
  video->SetMessage("Song Title Display On");
  for (int32_t y = 0; y < 480; ++y) {
    for (int32_t x = 0; x < 640; ++x) {
      const auto r = static_cast<uint32_t>(x * 255 / 639);
      const auto b = static_cast<uint32_t>(y * 255 / 479);
      video->frameBuffer[y * 640 + x] = r << 16 | ((r + b) / 4) << 8 | b;
    }
  }
  windows().clock = 40;
  video->Compose();
  video->ShowInfo();
  video->ShowMessage();
  video->Flip();
  const Picture shown = display().PresentedPicture();
  ASSERT_EQ(shown.width, 640);
  EXPECT_TRUE(WritePng(std::string(CORVEX_BINARY_DIR) + "/video_overlays.png", shown));
}

}  // namespace
}  // namespace corvex::testing
