#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core_video.h"
#include "renderers/random.h"

namespace corvex::testing {
namespace {

class FrameStepTest : public ::testing::Test {
 protected:
  FrameStepTest() {
    SeedRandom(7);
    lastSongPosition = 99999999;
  }

  void Step() { scene.FrameStep(spectrum, waveform); }
  // Runs frames until frameInScene has been through a whole scene; returns the 1-based frame
  // numbers whose step started a new scene (frameInScene back at 0).
  std::vector<int> SceneStarts(int frames) {
    std::vector<int> starts;
    for (int frame = 1; frame <= frames; ++frame) {
      Step();
      if (scene.frameInScene == 0) starts.push_back(frame);
    }
    return starts;
  }
  int PositionRequests() const {
    return static_cast<int>(std::count_if(video.requests.begin(), video.requests.end(),
                                          [](const auto& r) { return r.lParam == 105; }));
  }
  void NoRenderers() { std::fill_n(scene.activeRenderers, kRendererCount, 0); }

  CoreVideo video{32, 24};
  ScopedScene holder{video};
  SceneManager& scene = holder.scene;
  uint8_t spectrum[2][576] = {};
  uint8_t waveform[2][576] = {};
};

TEST_F(FrameStepTest, FirstSceneLastsNFramesAndSceneChosenByTheStepLastsNPlusOne) {
  scene.framesPerScene = 5;
  scene.StartFirstScene();
  EXPECT_EQ(SceneStarts(18), (std::vector<int>{6, 12, 18}));
}

TEST_F(FrameStepTest, SceneChosenBetweenFramesLastsNFrames) {
  scene.framesPerScene = 5;
  scene.StartFirstScene();
  SceneStarts(3);
  scene.ChooseScene(2, 2);  // as a key would, between frames
  EXPECT_EQ(SceneStarts(6), (std::vector<int>{6}));
}

TEST_F(FrameStepTest, NeverChangingScenesKeepCountingAndPollEveryThirtyFrames) {
  scene.framesPerScene = -1;
  scene.StartFirstScene();
  std::vector<int> polls;
  for (int frame = 1; frame <= 95; ++frame) {
    const int before = PositionRequests();
    Step();
    if (PositionRequests() > before) polls.push_back(frame);
  }
  EXPECT_EQ(polls, (std::vector<int>{1, 31, 61, 91}));
  EXPECT_EQ(scene.frameInScene, 95);
}

TEST_F(FrameStepTest, SceneLengthZeroStartsASceneEveryFrameAndNeverPolls) {
  scene.framesPerScene = 0;
  scene.StartFirstScene();
  EXPECT_EQ(SceneStarts(4), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(PositionRequests(), 0);
}

TEST_F(FrameStepTest, SceneJustStartedLastsUntilTheEndOfTheNextStep) {
  scene.StartFirstScene();
  EXPECT_EQ(scene.sceneJustStarted, 1);
  Step();
  EXPECT_EQ(scene.sceneJustStarted, 0);
  scene.ChooseScene(0, 2);
  EXPECT_EQ(scene.sceneJustStarted, 1);
  EXPECT_EQ(scene.frameInScene, 0);
}

TEST_F(FrameStepTest, AudioBytesBecomeSignedSamplesAndMeanLevels) {
  std::memset(waveform[0], 128, 576);
  std::memset(waveform[1], 127, 576);
  std::memset(spectrum, 255, sizeof spectrum);
  Step();
  EXPECT_EQ(scene.waveLeft[0], -128.0);
  EXPECT_EQ(scene.waveRight[575], 127.0);
  EXPECT_EQ(scene.waveMix[300], -0.5);
  EXPECT_DOUBLE_EQ(scene.levelLeft, 128.0);
  EXPECT_DOUBLE_EQ(scene.levelRight, 127.0);
  EXPECT_DOUBLE_EQ(scene.levelMix, 0.5);
  EXPECT_EQ(scene.spectrumSum[17], 510.0);
  EXPECT_EQ(scene.spectrumLeft[575], 255.0);

  std::memset(waveform, 0, sizeof waveform);
  Step();
  EXPECT_EQ(scene.levelLeft, 0.0);
  EXPECT_EQ(scene.levelRight, 0.0);
  EXPECT_EQ(scene.levelMix, 0.0);
  EXPECT_EQ(*std::max_element(scene.waveMix, scene.waveMix + 576), 0.0);
}

TEST_F(FrameStepTest, FirstFrameOfTheFirstRunIsANewSong) {
  video.position = 1234;
  video.playlistIndex = 3;
  video.title = "First Song";
  scene.StartFirstScene();
  std::memset(waveform, 100, sizeof waveform);  // louder than 8: the peak is not compared yet
  Step();
  EXPECT_EQ(scene.songPosition, 1234);
  EXPECT_EQ(scene.peakLevel, 8.0);
  EXPECT_EQ(video.titleIndexAsked, 3);
  EXPECT_STREQ(scene.songTitle, "First Song");
  EXPECT_STREQ(video.messageText, "First Song");
  EXPECT_EQ(video.messageFrames, 80);
  EXPECT_EQ(lastSongPosition, 1234);
  Step();
  EXPECT_DOUBLE_EQ(scene.peakLevel, 100.0);  // from now on the peak follows the level
}

TEST_F(FrameStepTest, OnlyAFallOfThePositionIsANewSong) {
  scene.framesPerScene = -1;
  scene.StartFirstScene();
  video.position = 10;
  Step();  // new song (first run)
  video.messageFrames = 0;
  auto titleRequests = [&] {
    return std::count_if(video.requests.begin(), video.requests.end(),
                         [](const auto& r) { return r.lParam == 212; });
  };
  ASSERT_EQ(titleRequests(), 1);

  video.position = 2000000000;  // a huge rise
  for (int frame = 2; frame <= 31; ++frame) Step();
  EXPECT_EQ(titleRequests(), 1);
  EXPECT_EQ(video.messageFrames, 0);

  video.position = 1999999999;  // a fall by one
  for (int frame = 32; frame <= 61; ++frame) Step();
  EXPECT_EQ(titleRequests(), 2);
  EXPECT_EQ(scene.peakLevel, 8.0);
}

TEST_F(FrameStepTest, PeakFollowsTheLevelBetweenSongsAndOnlyRises) {
  lastSongPosition = 0;  // a second run while the same song plays
  video.position = 500;
  scene.StartFirstScene();
  Step();
  EXPECT_EQ(scene.peakLevel, 0.0);  // silence keeps it at 0
  EXPECT_EQ(video.messageFrames, 0);
  std::memset(waveform, 20, sizeof waveform);
  Step();
  EXPECT_DOUBLE_EQ(scene.peakLevel, 20.0);
  std::memset(waveform, 5, sizeof waveform);
  Step();
  EXPECT_DOUBLE_EQ(scene.peakLevel, 20.0);
}

TEST_F(FrameStepTest, TitleIsCutToTheBufferAndAMissingTitleIsEmpty) {
  video.title = std::string(300, 'x') + "tail";
  scene.StartFirstScene();
  Step();
  EXPECT_EQ(std::string(scene.songTitle), std::string(255, 'x'));
  EXPECT_EQ(std::string(video.messageText), std::string(255, 'x'));

  video.title.reset();
  lastSongPosition = 99999999;
  scene.ChooseScene(2, 2);  // the poll happens at frame 1 of a scene
  Step();
  EXPECT_STREQ(scene.songTitle, "");
}

TEST_F(FrameStepTest, HiddenTitleStillRefreshesTheSongAndThePeak) {
  scene.showSongTitle = 0;
  video.title = "Quiet";
  scene.peakLevel = 50.0;
  scene.StartFirstScene();
  Step();
  EXPECT_STREQ(scene.songTitle, "Quiet");
  EXPECT_EQ(scene.peakLevel, 8.0);
  EXPECT_EQ(video.messageFrames, 0);
}

TEST_F(FrameStepTest, WipeClearsThePictureAndGuardRowOfThePreviousPictureIsCleared) {
  scene.StartFirstScene();
  NoRenderers();
  const size_t picture = 32 * 24;
  std::fill_n(video.frameBuffer, picture + 33, 0x00ABCDEFu);
  std::fill_n(video.previousFrame + picture, 32, 0x00FFFFFFu);
  video.previousFrame[picture + 32] = 0x12345678u;  // the guard pixel is nobody's to clear
  scene.useFeedback = 0;
  Step();
  EXPECT_TRUE(std::all_of(video.frameBuffer, video.frameBuffer + picture,
                          [](uint32_t p) { return p == 0; }));
  EXPECT_EQ(video.frameBuffer[picture], 0x00ABCDEFu);  // guard row of the picture being made
  EXPECT_TRUE(std::all_of(video.previousFrame + picture, video.previousFrame + picture + 32,
                          [](uint32_t p) { return p == 0; }));
  EXPECT_EQ(video.previousFrame[picture + 32], 0x12345678u);
}

TEST_F(FrameStepTest, FeedbackCarriesThePreviousPictureThroughTheMap) {
  scene.StartFirstScene();
  NoRenderers();
  TransformManager& map = *video.transformManager;
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {  // identity map
    map.sourceOffsets[i] = 4u * static_cast<uint32_t>(i);
    std::memcpy(map.sourceWeights + 4 * i, "\xff\0\0\0", 4);
  }
  map.sustain = 0;
  std::fill_n(video.previousFrame, 32 * 24, 0xFF102030u);
  scene.useFeedback = 1;
  Step();
  EXPECT_EQ(video.frameBuffer[0], 0x000F1F2Fu);
  EXPECT_EQ(video.frameBuffer[32 * 24 - 1], 0x000F1F2Fu);
  EXPECT_EQ(scene.frameBuffer, video.frameBuffer);
  EXPECT_EQ(scene.width, 32);
  EXPECT_EQ(scene.innerMaxY, 22);
  EXPECT_EQ(scene.centerXF, 16.0);
}

TEST_F(FrameStepTest, NamesOfTheFourteenSlots) {
  EXPECT_STREQ(scene.rendererNames[0], "Plain-Vanilla Waveforms");
  EXPECT_STREQ(scene.rendererNames[2], "Moving Volume Cicle");
  EXPECT_STREQ(scene.rendererNames[9], "Orbiting Particles - Beat");
  EXPECT_STREQ(scene.rendererNames[13], "Floating Triangle");
  EXPECT_EQ(scene.rendererCount, 14);
  EXPECT_EQ(scene.framesPerScene, 500);
  EXPECT_EQ(scene.lockedRenderer, -1);
}

}  // namespace
}  // namespace corvex::testing
