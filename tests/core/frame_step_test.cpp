// The frame step's order and its consequences: scene lengths, song polls, new songs, the peak,
// the title, the audio arrays, and the feedback or wipe of the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core_video.h"
#include "renderers/random.h"

namespace corvex::testing {
namespace {

class FrameStep : public ::testing::Test {
 protected:
  FrameStep() {
    SeedRandom(7);
    lastSongPosition = 99999999;  // as after loading: the first run starts with a new song
  }
  void Step() { scene.FrameStep(spectrum, waveform); }
  // The frames, counted from 1, whose step started a new scene.
  std::vector<int> SceneStarts(int frames) {
    std::vector<int> starts;
    for (int frame = 1; frame <= frames; ++frame) {
      Step();
      if (scene.frameInScene == 0) starts.push_back(frame);
    }
    return starts;
  }
  int Requests(intptr_t what) const {
    return static_cast<int>(std::count_if(video.requests.begin(), video.requests.end(),
                                          [what](const auto& r) { return r.lParam == what; }));
  }

  CoreVideo video{32, 24};
  ScopedScene holder{video};
  SceneManager& scene = holder.scene;
  uint8_t spectrum[2][576] = {};
  uint8_t waveform[2][576] = {};
};

TEST_F(FrameStep, ScenesLastNFramesOrNPlusOneWhenTheStepChoseThem) {
  scene.framesPerScene = 5;
  scene.StartFirstScene();
  EXPECT_EQ(scene.sceneJustStarted, 1);
  Step();
  EXPECT_EQ(scene.sceneJustStarted, 0);  // for exactly one step
  EXPECT_EQ(SceneStarts(16), (std::vector<int>{5, 11}));
  scene.ChooseScene(2, 2);  // as a key would, between frames
  EXPECT_EQ(SceneStarts(6), (std::vector<int>{6}));
  EXPECT_EQ(Requests(kAskPlayingPosition), 4);  // in frame 1 of each scene
  scene.framesPerScene = 0;
  EXPECT_EQ(SceneStarts(3), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Requests(kAskPlayingPosition), 4);  // a scene that never reaches frame 1 never polls
}

TEST_F(FrameStep, ScenesThatNeverChangeKeepCountingAndPollEveryThirtyFrames) {
  scene.framesPerScene = -1;
  scene.StartFirstScene();
  std::vector<int> polls;
  for (int frame = 1; frame <= 95; ++frame) {
    const int before = Requests(kAskPlayingPosition);
    Step();
    if (Requests(kAskPlayingPosition) > before) polls.push_back(frame);
  }
  EXPECT_EQ(polls, (std::vector<int>{1, 31, 61, 91}));
  EXPECT_EQ(scene.frameInScene, 95);
}

TEST_F(FrameStep, AudioBytesBecomeSignedSamplesAndMeanLevels) {
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
  EXPECT_EQ(scene.spectrumRight[0], 255.0);
  std::memset(waveform, 0, sizeof waveform);
  Step();
  EXPECT_EQ(scene.levelLeft + scene.levelRight + scene.levelMix, 0.0);
  EXPECT_EQ(*std::max_element(scene.waveMix, scene.waveMix + 576), 0.0);
}

TEST_F(FrameStep, TheFirstFrameOfTheFirstRunIsANewSongAndThenThePeakFollowsTheLevel) {
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
  EXPECT_DOUBLE_EQ(scene.peakLevel, 100.0);
}

TEST_F(FrameStep, OnlyAFallOfThePositionIsANewSong) {
  scene.framesPerScene = -1;
  scene.StartFirstScene();
  Step();  // the first run's new song
  video.messageFrames = 0;
  video.position = 2000000000;  // a huge rise
  for (int frame = 2; frame <= 31; ++frame) Step();
  EXPECT_EQ(Requests(kAskTitle), 1);
  EXPECT_EQ(video.messageFrames, 0);
  video.position = 1999999999;  // a fall by one
  for (int frame = 32; frame <= 61; ++frame) Step();
  EXPECT_EQ(Requests(kAskTitle), 2);
  EXPECT_EQ(scene.peakLevel, 8.0);
}

TEST_F(FrameStep, InALaterRunOfTheSameSongThePeakStartsAtZeroAndOnlyRises) {
  lastSongPosition = 0;
  video.position = 500;
  scene.StartFirstScene();
  Step();
  EXPECT_EQ(scene.peakLevel, 0.0);  // silence keeps it at 0
  EXPECT_EQ(video.messageFrames, 0);
  for (uint8_t level : {20, 5}) {
    std::memset(waveform, level, sizeof waveform);
    Step();
    EXPECT_DOUBLE_EQ(scene.peakLevel, 20.0);
  }
}

TEST_F(FrameStep, TheTitleIsCutToItsBufferAMissingOneIsEmptyAndAHiddenOneIsStillKept) {
  video.title = std::string(300, 'x') + "tail";
  scene.StartFirstScene();
  Step();
  EXPECT_EQ(std::string(scene.songTitle), std::string(255, 'x'));
  EXPECT_EQ(std::string(video.messageText), std::string(255, 'x'));
  for (std::optional<std::string> title : {std::optional<std::string>{}, {"Quiet"}}) {
    video.title = title;
    video.messageFrames = 0;
    scene.showSongTitle = 0;
    scene.peakLevel = 50.0;
    lastSongPosition = 99999999;
    scene.ChooseScene(2, 2);  // the poll happens in frame 1 of a scene
    Step();
    EXPECT_EQ(std::string(scene.songTitle), title.value_or(""));
    EXPECT_EQ(scene.peakLevel, 8.0);
    EXPECT_EQ(video.messageFrames, 0);
  }
}

TEST_F(FrameStep, TheWipeOrTheFeedbackMakesThePictureAndTheGuardRowIsCleared) {
  scene.StartFirstScene();
  std::fill_n(scene.activeRenderers, kRendererCount, 0);
  const size_t picture = 32 * 24;
  std::fill_n(video.frameBuffer, picture + 33, 0x00ABCDEFu);
  std::fill_n(video.previousFrame, picture + 32, 0xFF102030u);
  video.previousFrame[picture + 32] = 0x12345678u;  // the guard pixel is nobody's to clear
  scene.useFeedback = 0;
  Step();
  std::vector<uint32_t> expected(picture + 33, 0x00ABCDEFu);  // guard rows are not picture
  std::fill_n(expected.begin(), picture, 0);
  EXPECT_EQ(std::vector<uint32_t>(video.frameBuffer, video.frameBuffer + picture + 33), expected);
  EXPECT_TRUE(std::all_of(video.previousFrame + picture, video.previousFrame + picture + 32,
                          [](uint32_t p) { return p == 0; }));
  EXPECT_EQ(video.previousFrame[picture + 32], 0x12345678u);

  TransformManager& map = *video.transformManager;
  for (int32_t i = 0; i < map.mapPixelCount; ++i) {
    std::memcpy(map.sourceWeights + 4 * i, "\xff\0\0", 4);  // a copy of each entry's block
  }
  map.sustain = 0;
  std::fill_n(video.previousFrame, picture + 33, 0xFF102030u);  // the guard row too
  scene.useFeedback = 1;
  Step();
  EXPECT_TRUE(std::all_of(video.frameBuffer, video.frameBuffer + picture,
                          [](uint32_t p) { return p == 0x000F1F2Fu; }));
  EXPECT_EQ(scene.frameBuffer, video.frameBuffer);
  EXPECT_EQ(scene.innerMaxY, 22);
  EXPECT_EQ(scene.centerXF, 16.0);
  EXPECT_STREQ(scene.rendererNames[13], "Floating Triangle");
}

}  // namespace
}  // namespace corvex::testing
