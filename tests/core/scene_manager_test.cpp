#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/random.h"
#include "core_video.h"

namespace corvex::testing {
namespace {

void OnlyOn(int32_t* flags, int count, std::set<int> slots) {
  for (int slot = 0; slot < count; ++slot) flags[slot] = slots.count(slot) ? 1 : 0;
}

class Scene : public ::testing::Test {
 protected:
  Scene() {
    SeedRandom(7);
    lastSongPosition = 99999999;  // as after loading: the first run starts with a new song
  }
  void Step() { scene.FrameStep(spectrum, waveform); }
  // The frames, counted from 1, whose step started a new scene (with `polls`: asked for the
  // playing position).
  std::vector<int> Frames(int count, bool polls = false) {
    std::vector<int> found;
    for (int frame = 1; frame <= count; ++frame) {
      const int before = Requests(kAskPlayingPosition);
      Step();
      if (polls ? Requests(kAskPlayingPosition) > before : scene.frameInScene == 0) {
        found.push_back(frame);
      }
    }
    return found;
  }
  int Requests(intptr_t what) const {
    return static_cast<int>(std::count_if(video.requests.begin(), video.requests.end(),
                                          [what](const auto& r) { return r.lParam == what; }));
  }
  std::vector<int> Active() const {
    std::vector<int> slots;
    for (int slot = 0; slot < kRendererCount; ++slot) {
      if (scene.activeRenderers[slot] != 0) slots.push_back(slot);
    }
    return slots;
  }
  // Slot 5 draws nothing, so its build is recognisable by the weights of its first entry.
  bool RebuiltAsFuzzyFade() const { return transforms.sourceWeights[0] == 63; }
  void ForgetTheMap() { std::memset(transforms.sourceWeights, 0, 4); }

  CoreVideo video{32, 24};
  ScopedScene holder{video};
  SceneManager& scene = holder.scene;
  TransformManager& transforms = *video.transformManager;
  uint8_t spectrum[2][576] = {};
  uint8_t waveform[2][576] = {};
};
class FrameStep : public Scene {};
class SceneSelection : public Scene {};

TEST_F(FrameStep, ScenesLastNFramesOrNPlusOneWhenTheStepChoseThemAndPollInTheirFrame1) {
  scene.framesPerScene = 5;
  scene.StartFirstScene();
  Step();
  EXPECT_EQ(scene.sceneJustStarted, 0);  // for exactly one step after the choice
  EXPECT_EQ(Frames(16), (std::vector<int>{5, 11}));
  scene.ChooseScene(2, 2);  // as a key would, between frames
  EXPECT_EQ(Frames(6), (std::vector<int>{6}));
  scene.framesPerScene = 0;
  EXPECT_EQ(Frames(3), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Frames(3, true), std::vector<int>{});  // never in frame 1 of a scene: no poll
  scene.framesPerScene = -1;  // never change
  EXPECT_EQ(Frames(95, true), (std::vector<int>{1, 31, 61, 91}));
  EXPECT_EQ(scene.frameInScene, 95);
}

TEST_F(FrameStep, AudioBytesBecomeSignedSamplesAndMeanLevels) {
  std::memset(waveform[0], 128, 576);
  std::memset(waveform[1], 127, 576);
  std::memset(spectrum, 255, sizeof spectrum);
  spectrum[1][17] = 0;
  Step();
  EXPECT_EQ(scene.waveLeft[0], -128.0);
  EXPECT_EQ(scene.waveRight[575], 127.0);
  EXPECT_EQ(scene.waveMix[300], -0.5);
  EXPECT_DOUBLE_EQ(scene.levelLeft, 128.0);
  EXPECT_DOUBLE_EQ(scene.levelRight, 127.0);
  EXPECT_DOUBLE_EQ(scene.levelMix, 0.5);
  EXPECT_EQ(scene.spectrumSum[16], 510.0);
  EXPECT_EQ(scene.spectrumSum[17], 255.0);
  EXPECT_EQ(scene.spectrumLeft[17], 255.0);
  std::memset(waveform, 0, sizeof waveform);
  Step();
  EXPECT_EQ(scene.levelLeft + scene.levelRight + scene.levelMix, 0.0);  // so every sample is 0
}

TEST_F(FrameStep, TheFirstFrameOfTheFirstRunIsANewSongAndLaterOnlyAFallOfThePositionIs) {
  scene.framesPerScene = -1;
  video.position = 1234;
  video.playlistIndex = 3;
  video.title = "First Song";
  scene.StartFirstScene();
  std::memset(waveform, 100, sizeof waveform);  // louder than 8: the peak is not compared yet
  Step();
  EXPECT_EQ(scene.peakLevel, 8.0);
  EXPECT_EQ(video.titleIndexAsked, 3);
  EXPECT_STREQ(video.messageText, "First Song");
  EXPECT_EQ(video.messageFrames, 80);
  Step();
  EXPECT_DOUBLE_EQ(scene.peakLevel, 100.0);  // from now on the peak follows the level
  video.messageFrames = 0;
  video.position = 2000000000;  // a huge rise
  for (int frame = 3; frame <= 31; ++frame) Step();
  EXPECT_EQ(scene.songPosition, 2000000000);
  EXPECT_EQ(Requests(kAskTitle), 1);
  EXPECT_EQ(video.messageFrames, 0);
  video.position = 1999999999;  // a fall by one
  for (int frame = 32; frame <= 61; ++frame) Step();
  EXPECT_EQ(Requests(kAskTitle), 2);
  EXPECT_EQ(scene.peakLevel, 8.0);
}

TEST_F(FrameStep, InALaterRunThePeakStartsAtZeroAndANewSongsTitleIsCutOrEmpty) {
  lastSongPosition = 0;  // the song of the last run still plays
  video.position = 500;
  scene.StartFirstScene();
  Step();
  EXPECT_EQ(scene.peakLevel, 0.0);  // silence keeps it at 0
  EXPECT_EQ(video.messageFrames, 0);
  for (uint8_t level : {20, 5}) {  // it follows the level, only upwards
    std::memset(waveform, level, sizeof waveform);
    Step();
    EXPECT_DOUBLE_EQ(scene.peakLevel, 20.0);
  }
  scene.showSongTitle = 0;  // a hidden title is still kept, for the information overlay
  for (std::optional<std::string> title : {std::optional(std::string(300, 'x') + "tail"), {}}) {
    video.title = title;
    lastSongPosition = 99999999;  // a fall
    scene.ChooseScene(2, 2);      // the poll happens in frame 1 of a scene
    Step();
    EXPECT_EQ(std::string(scene.songTitle), title ? std::string(255, 'x') : "");
    EXPECT_EQ(scene.peakLevel, 8.0);
    EXPECT_EQ(video.messageFrames, 0);
  }
}

TEST_F(FrameStep, TheWipeOrTheFeedbackMakesThePictureAndTheGuardRowOfThePreviousIsCleared) {
  scene.StartFirstScene();
  std::fill_n(scene.activeRenderers, kRendererCount, 0);
  const size_t picture = 32 * 24;
  auto pixels = [](const uint32_t* p, size_t n) { return std::vector<uint32_t>(p, p + n); };
  std::fill_n(video.frameBuffer, picture + 33, 0x00ABCDEFu);
  std::fill_n(video.previousFrame, picture + 33, 0xFF102030u);
  scene.useFeedback = 0;
  Step();
  EXPECT_EQ(pixels(video.frameBuffer, picture), std::vector<uint32_t>(picture, 0));
  EXPECT_EQ(pixels(video.frameBuffer + picture, 33), std::vector<uint32_t>(33, 0x00ABCDEFu));
  std::vector<uint32_t> guard(33, 0);
  guard[32] = 0xFF102030u;  // the pixel after the guard row is nobody's to clear
  EXPECT_EQ(pixels(video.previousFrame + picture, 33), guard);
  for (int32_t i = 0; i < transforms.mapPixelCount; ++i) {
    std::memcpy(transforms.sourceWeights + 4 * i, "\xff\0\0", 4);  // a copy of each block
  }
  transforms.sustain = 0;
  scene.useFeedback = 1;
  Step();
  EXPECT_EQ(pixels(video.frameBuffer, picture), std::vector<uint32_t>(picture, 0x000F1F2Fu));
  EXPECT_EQ(scene.frameBuffer, video.frameBuffer);
  EXPECT_EQ(scene.innerMaxY, 22);
  EXPECT_EQ(scene.centerXF, 16.0);
  EXPECT_STREQ(scene.rendererNames[13], "Floating Triangle");
}

TEST_F(SceneSelection, RandomChoicesDrawTheRendererThenTheTransformFromEnabledSlotsOnly) {
  SeedRandom(31);
  const int renderer = RandomInt(13), transform = RandomInt(14);
  SeedRandom(31);
  scene.StartFirstScene();
  EXPECT_EQ(Active(), std::vector<int>{renderer});
  EXPECT_EQ(transforms.currentTransform, transform);
  OnlyOn(scene.enabledRenderers, 14, {2, 7, 11});
  OnlyOn(transforms.enabledTransforms, 15, {3, 9, 14});
  scene.ChooseScene(666, 2);
  std::set<int> renderers, maps;
  for (int i = 0; i < 120; ++i) {
    scene.ChooseScene(0, 0);
    ASSERT_EQ(Active().size(), 1u);
    renderers.insert(Active()[0]);
    maps.insert(transforms.currentTransform);
  }
  EXPECT_EQ(renderers, (std::set<int>{2, 7, 11}));
  EXPECT_EQ(maps, (std::set<int>{3, 9, 14}));
  // Nothing enabled: every renderer slot may be drawn, and the transform is kept but rebuilt.
  OnlyOn(scene.enabledRenderers, 14, {});
  OnlyOn(transforms.enabledTransforms, 15, {});
  transforms.currentTransform = 5;
  renderers.clear();
  for (int i = 0; i < 300; ++i) {
    ForgetTheMap();
    scene.ChooseScene(0, 0);
    renderers.insert(Active()[0]);
    ASSERT_EQ(transforms.currentTransform, 5);
    ASSERT_TRUE(RebuiltAsFuzzyFade());
  }
  EXPECT_EQ(renderers.size(), 14u);
}

TEST_F(SceneSelection, LocksWinOverTheEnabledFlagsAndLocksOutsideTheSlotsCountAsNone) {
  OnlyOn(scene.enabledRenderers, 14, {2});
  OnlyOn(transforms.enabledTransforms, 15, {2});
  scene.lockedRenderer = scene.lockedTransform = 5;
  for (int mode : {0, 1, 2}) {
    transforms.currentTransform = 11;
    ForgetTheMap();
    scene.ChooseScene(0, mode);
    EXPECT_EQ(Active(), std::vector<int>{5});
    EXPECT_EQ(transforms.currentTransform, 5) << "mode " << mode;
    EXPECT_EQ(RebuiltAsFuzzyFade(), mode != 2) << "mode " << mode;
  }
  scene.ChooseScene(1, 2);  // next and all do not look at the renderer lock
  EXPECT_EQ(Active(), std::vector<int>{6});
  scene.ChooseScene(666, 2);
  EXPECT_EQ(Active().size(), 14u);
  for (auto [renderer, transform] : {std::pair{14, 15}, {100, 99}, {-2, -2}, {-99999, -1000}}) {
    scene.lockedRenderer = renderer;
    scene.lockedTransform = transform;
    scene.ChooseScene(0, 0);
    EXPECT_EQ(Active(), std::vector<int>{2}) << "lock " << renderer;
    EXPECT_EQ(transforms.currentTransform, 2) << "lock " << transform;
  }
}

TEST_F(SceneSelection, NextWrapsFromTheLastSlotAndShrinksTheSetOfAllAndOtherModesKeepIt) {
  OnlyOn(scene.enabledRenderers, 14, {3});
  OnlyOn(transforms.enabledTransforms, 15, {7});
  OnlyOn(scene.activeRenderers, 14, {});
  EXPECT_EQ(scene.FirstActiveRenderer(), 0);  // before any choice slot 0 stands in
  OnlyOn(scene.activeRenderers, 14, {13});
  transforms.currentTransform = 14;
  scene.ChooseScene(1, 1);
  EXPECT_EQ(Active(), std::vector<int>{0});  // reached although not enabled
  EXPECT_EQ(transforms.currentTransform, 0);
  OnlyOn(scene.activeRenderers, 14, {4, 9});
  scene.ChooseScene(1, 2);
  EXPECT_EQ(Active(), (std::vector<int>{5, 9}));
  scene.ChooseScene(666, 2);
  for (int step = 1; step <= 14; ++step) {
    scene.ChooseScene(1, 2);
    std::vector<int> expected;
    for (int slot = step; slot < 14; ++slot) expected.push_back(slot);
    ASSERT_EQ(Active(), step < 14 ? expected : std::vector<int>{0}) << "after " << step;
  }
  transforms.currentTransform = 3;
  for (int mode : {2, 5, -1}) {  // any other mode keeps the slots, but restarts the scene
    scene.frameInScene = 321;
    scene.sceneJustStarted = 0;
    scene.ChooseScene(mode, 1);
    EXPECT_EQ(Active(), std::vector<int>{0});
    EXPECT_EQ(scene.frameInScene, 0);
    EXPECT_EQ(scene.sceneJustStarted, 1);
  }
  EXPECT_EQ(transforms.currentTransform, 6);
}

// Bit b is slot count - 1 - b; higher bits are ignored; a negative mask acts as its magnitude.
TEST_F(SceneSelection, MasksOfTheEnabledRenderersAndTransformsBothWays) {
  EXPECT_EQ(scene.AllRenderersMask(), 16383);
  EXPECT_EQ(transforms.AllTransformsMask(), 32767);
  // The enabled transforms; the renderers are the same bits without the first.
  const std::pair<int32_t, std::string> rows[] = {
      {1, "000000000000001"},    {8192, "010000000000000"},  {16384, "100000000000000"},
      {-3, "000000000000011"},   {6143, "001011111111111"},  {32767, "111111111111111"},
      {32768 + 2, "000000000000010"}};
  auto flags = [](const int32_t* f, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += f[i] ? '1' : '0';
    return s;
  };
  for (const auto& [mask, enabled] : rows) {
    transforms.SetTransformMask(mask);
    scene.SetRendererMask(mask);
    EXPECT_EQ(flags(transforms.enabledTransforms, 15), enabled) << mask;
    EXPECT_EQ(flags(scene.enabledRenderers, 14), enabled.substr(1)) << mask;
    EXPECT_EQ(transforms.TransformMask(), std::stoi(enabled, nullptr, 2)) << mask;
    EXPECT_EQ(scene.RendererMask(), std::stoi(enabled.substr(1), nullptr, 2)) << mask;
  }
  OnlyOn(transforms.enabledTransforms, 15, {});
  transforms.enabledTransforms[2] = 7;  // any flag that is not 0 counts as enabled
  EXPECT_EQ(transforms.TransformMask(), 1 << 12);
}

}  // namespace
}  // namespace corvex::testing
