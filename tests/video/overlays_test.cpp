#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/process_objects.h"
#include "png_writer.h"
#include "scene/scene_manager.h"
#include "video/portable/overlay_text.h"
#include "video_fixture.h"

namespace corvex::testing {
namespace {

using Texts = std::vector<std::string>;

std::string Text(int32_t x, int32_t y, uint32_t colour, const std::string& text) {
  return std::to_string(x) + "," + std::to_string(y) + (colour ? " white " : " black ") + text;
}

// Shadow style: black one pixel right and down, then white in place.
void AddShadowed(Texts& texts, int32_t x, int32_t y, const std::string& text) {
  texts.push_back(Text(x + 1, y + 1, 0x000000, text));
  texts.push_back(Text(x, y, 0xFFFFFF, text));
}

class Overlays : public VideoTest {
 public:
  ~Overlays() override { theSceneManager = nullptr; }

  // A 640 x 480 picture on a 1024 x 768 x 16 desktop, with a scene that knows the song.
  void StartWithSong(int32_t mode, const char* title, int32_t position) {
    display().desktop = StandardMode(1024, 768, 16);
    Start(mode, 3);
    scene = std::make_unique<SceneManager>(*video);
    theSceneManager = scene.get();
    std::strcpy(scene->songTitle, title);
    scene->songPosition = position;
  }

  // The texts drawn in one frame, in order, each 10 pixels high on a clear background.
  Texts FrameText() {
    backend.graphics.textLog.clear();
    Frame();
    Texts drawn;
    for (const auto& record : backend.graphics.textLog) {
      EXPECT_EQ(record.backgroundMode, platform::bk::Transparent);
      EXPECT_EQ(record.pixelHeight, 10);
      drawn.push_back(Text(record.x, record.y, record.color, record.text));
    }
    return drawn;
  }

  std::unique_ptr<SceneManager> scene;
};

TEST_F(Overlays, SixInformationLinesAfterAFirstFrameThatOnlyStartsTheClock) {
  StartWithSong(kWindowed, "Test Song", 754000);
  video->showInfo = 1;
  windows().clock = 1000;
  EXPECT_EQ(FrameText(), Texts{});
  windows().clock = 1040;
  Texts expected;
  const char* lines[] = {"Frame Count: 1",         "FPS: 25.0",
                         "Screen Size: 640 x 480", "Display Size: 1024 x 768 x 16",
                         "Song Info: Test Song",   "Song Playing Time: 12:34"};
  for (int32_t i = 0; i < 6; ++i) AddShadowed(expected, 20, 30 + 10 * i, lines[i]);
  EXPECT_EQ(FrameText(), expected);
  video->showInfo = 0;
  EXPECT_EQ(FrameText(), Texts{});
  video->showInfo = 1;
  EXPECT_EQ(FrameText()[1], Text(20, 30, 1, "Frame Count: 2"));  // switched off, it rests
}

TEST_F(Overlays, TheRateIsTheAverageSinceSwitchingOnAndTheTimeHasTwoPlacesOfMinutes) {
  EXPECT_EQ(FrameRateTenths(100, 0, 3000), 333);
  EXPECT_EQ(FrameRateTenths(1, 0xFFFFFFF0u, 0x10u), 312);  // across the clock's wrap
  EXPECT_EQ(FrameRateTenths(7, 500, 400), 0);
  EXPECT_EQ(FrameRateTenths(2000000, 0, 1), 2147483647);
  const std::string longTitle(300, 't');
  InfoValues values{150, 1000, 6000, 0, 0, 0, 0, 0, longTitle.c_str(), 0};
  char lines[kInfoLineCount][kInfoLineSize];
  for (auto [position, text] : {std::pair{754000, "12:34"}, std::pair{65000, " 1:05"},
                                std::pair{3600000, "60:00"}, std::pair{59999, " 0:59"}}) {
    values.songPosition = position;
    FormatInfoLines(values, lines);
    EXPECT_EQ(lines[5], "Song Playing Time: " + std::string(text));
  }
  EXPECT_EQ(lines[1], std::string("FPS: 30.0"));  // 150 frames in 5000 ms
  EXPECT_EQ(lines[4], "Song Info: " + longTitle.substr(0, 255));
  values.startTime = 6000;  // the clock has not moved
  FormatInfoLines(values, lines);
  EXPECT_EQ(lines[1], std::string("FPS: 0.0"));
}

TEST_F(Overlays, AMessageShowsOnEightyFramesTwentyPixelsAboveTheBottom) {
  StartWithSong(kWindowed, "", 0);
  video->SetMessage("Renderer Locked");
  Texts expected;
  AddShadowed(expected, 30, 460, "Renderer Locked");
  for (int frame = 1; frame <= 80; ++frame) ASSERT_EQ(FrameText(), expected) << frame;
  EXPECT_EQ(FrameText(), Texts{});
  video->SetMessage(std::string(300, 'm').c_str());  // cut to 255 characters
  EXPECT_EQ(FrameText()[1], Text(30, 460, 1, std::string(255, 'm')));
  video->SetMessage("Song Title Display On");  // a new message starts the count again
  EXPECT_EQ(video->messageFrames, 80);
}

// A frame as the user sees it, written to the build folder to be looked at: white glyphs and
// black shadows drawn into the converted picture, which stays as it was around them.
TEST_F(Overlays, AFrameWithBothOverlays) {
  StartWithSong(kFullScreen, "Corvex Demo - Night Drive", 65000);
  video->showInfo = 1;
  Frame();
  video->SetMessage("Song Title Display On");
  windows().clock += 40;
  const auto gradient = [](int32_t x, int32_t y) {
    const auto r = static_cast<uint32_t>(x * 255 / 639), b = static_cast<uint32_t>(y * 255 / 479);
    return r << 16 | ((r + b) / 4) << 8 | b;
  };
  Frame(gradient);
  const Picture shown = display().PresentedPicture();
  ASSERT_EQ(shown.width, 640);
  host::WritePicturePng(std::string(CORVEX_BINARY_DIR) + "/video_overlays.png",
                        shown.pixels.data(), shown.width, shown.height);
  int32_t white = 0, black = 0;
  for (int32_t i = 0; i < 640 * 480; ++i) {
    const int32_t x = i % 640, y = i / 640;
    if ((x < 20 || x >= 240 || y < 30 || y >= 95) && (x < 30 || x >= 170 || y < 460)) {
      ASSERT_EQ(shown.pixels[i], gradient(x, y)) << x << "," << y;  // no text there
    }
    white += shown.pixels[i] == 0xFFFFFF ? 1 : 0;
    black += shown.pixels[i] == 0 ? 1 : 0;
  }
  EXPECT_GT(white, 300);
  EXPECT_GT(black, 300);
}

}  // namespace
}  // namespace corvex::testing
