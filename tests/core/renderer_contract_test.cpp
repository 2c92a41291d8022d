// What every renderer promises the frame step: it draws when the audio asks for it, stays off
// the guard row and pixel and the top byte at every frame size, gives the same frames from the
// same seed, touches the transform's flags only as listed, and draws its random numbers at a
// scene start and in a plain frame as listed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "fresh_process.h"
#include "renderer_harness.h"

namespace corvex::testing {
namespace {

std::string SlotName(int32_t slot) {
  return slot == kAllRenderers ? "all renderers" : kRendererSlots[slot].name;
}

std::vector<int32_t> EverySlotAndAll() {
  std::vector<int32_t> slots{kAllRenderers};
  for (int32_t slot = 0; slot < kRendererCount; ++slot) slots.push_back(slot);
  return slots;
}

TEST(RendererContract, EveryRendererDrawsForLoudAudioWithinItsPictureAndRepeatsFromTheSeed) {
  struct Case {
    Sound sound;
    Flags flags;
    Feedback feedback;
  };
  const Case cases[] = {{Sound::kSilence, {0, 0, 0}, Feedback::kBlack},
                        {Sound::kLoudSine, {1, 1, 1}, Feedback::kGentleTurn},
                        {Sound::kBeats, {1, 0, 1}, Feedback::kGentleTurn}};
  for (const int32_t slot : EverySlotAndAll()) {
    for (const Case& c : cases) {
      RunSetup setup;
      setup.slot = slot;
      setup.sound = c.sound;
      setup.flags = c.flags;
      setup.feedback = c.feedback;
      setup.seed = 4242;
      setup.frames = 16;
      setup.sceneEvery = 9;
      const auto first = RunFresh(&RunFrames, setup);
      const auto second = RunFresh(&RunFrames, setup);
      const std::string what = SlotName(slot) + ", sound " + std::to_string(int(c.sound));
      ASSERT_EQ(first.size(), 16u) << what;
      ASSERT_EQ(second.size(), 16u) << what;
      for (size_t f = 0; f < first.size(); ++f) {
        EXPECT_EQ(first[f].guardTouched, 0) << what << ", frame " << f + 1;
        EXPECT_EQ(first[f].topBytePixels, 0) << what << ", frame " << f + 1;
        EXPECT_EQ(first[f].hash, second[f].hash) << what << ", frame " << f + 1;
      }
      // The first frame starts from a wiped picture: whatever is lit was drawn in it.
      if (c.sound != Sound::kSilence) {
        EXPECT_GT(first[0].litPixels, 0) << what;
      }
    }
  }
}

TEST(RendererContract, TinyAndOddFramesAreDrawnOnlyInsideThePicture) {
  const std::array<std::array<int32_t, 2>, 7> sizes{
      {{1, 1}, {2, 2}, {3, 2}, {2, 3}, {7, 5}, {33, 17}, {255, 31}}};
  for (const auto& size : sizes) {
    for (const int32_t slot : EverySlotAndAll()) {
      for (const Sound sound : {Sound::kSilence, Sound::kLoudSine, Sound::kBeats}) {
        RunSetup setup;
        setup.width = size[0];
        setup.height = size[1];
        setup.slot = slot;
        setup.sound = sound;
        setup.flags = {1, 1, 1};  // centre detail on: the marks and the wave column are drawn
        setup.frames = 30;
        setup.sceneEvery = 7;
        const auto reports = RunFresh(&RunFrames, setup);
        ASSERT_EQ(reports.size(), 30u);
        for (const FrameReport& report : reports) {
          EXPECT_EQ(report.guardTouched, 0) << SlotName(slot) << " at " << size[0] << "x" << size[1];
          EXPECT_EQ(report.topBytePixels, 0) << SlotName(slot) << " at " << size[0] << "x" << size[1];
        }
      }
    }
  }
}

// sustain after one frame, for each slot, with sustainOptional 0 and then 1.
std::vector<uint8_t> SustainAfterOneFrame(const int32_t&) {
  std::vector<uint8_t> result;
  Stage stage(64, 48);
  stage.SetLevels(20, 20, 20, 30);
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    for (uint8_t optional = 0; optional < 2; ++optional) {
      stage.Transform().sustain = 1;
      stage.Transform().sustainOptional = optional;
      stage.Transform().centerDetail = 1;
      stage.scene.sceneJustStarted = 1;
      stage.Call(slot);
      result.push_back(stage.Transform().sustain);
      // Neither of the other two flags is ever changed by a renderer.
      result.push_back(stage.Transform().sustainOptional == optional &&
                       stage.Transform().centerDetail == 1);
    }
  }
  return result;
}

TEST(RendererContract, SustainIsClearedOnlyByTheRenderersThatWantFadingTrails) {
  const std::set<int32_t> clearWhenOptional{1, 9, 11, 13};
  const std::set<int32_t> clearAlways{8, 12};
  const auto result = RunFresh(&SustainAfterOneFrame, 0);
  ASSERT_EQ(result.size(), 4u * kRendererCount);
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    const bool always = clearAlways.count(slot) != 0;
    const bool optional = always || clearWhenOptional.count(slot) != 0;
    EXPECT_EQ(result[4 * slot], always ? 0 : 1) << SlotName(slot) << ", sustainOptional 0";
    EXPECT_EQ(result[4 * slot + 2], optional ? 0 : 1) << SlotName(slot) << ", sustainOptional 1";
    EXPECT_EQ(result[4 * slot + 1], 1) << SlotName(slot);
    EXPECT_EQ(result[4 * slot + 3], 1) << SlotName(slot);
  }
}

struct DrawCountArgs {
  int32_t slot;
  int32_t sceneStart;  // 1: the counted frame begins a scene
};

// Random numbers drawn by one silent frame of a renderer whose statics already exist (a first
// scene frame has run), and then by four more plain frames.
std::vector<int32_t> DrawsInSilence(const DrawCountArgs& args) {
  Stage stage(640, 480);
  stage.SetLevels(0, 0, 0, 8.0);
  stage.scene.sceneJustStarted = 1;
  stage.Call(args.slot);
  std::vector<int32_t> draws;
  for (uint32_t frame = 0; frame < 5; ++frame) {
    SeedRandom(1000 + frame);
    stage.scene.sceneJustStarted = frame == 0 ? args.sceneStart : 0;
    stage.Call(args.slot);
    draws.push_back(DrawsSince(1000 + frame));
  }
  return draws;
}

TEST(RendererContract, SceneStartsAndPlainFramesDrawTheListedRandomNumbers) {
  // Draws made only because a scene starts: pools scattered (four draws a particle, three for
  // Spectrum Splash's droplets), modes and speeds chosen.
  const std::vector<std::set<int32_t>> atSceneStart{
      {1},            // Plain-Vanilla Waveforms: one or three traces
      {1},            // Wavy Circle: white ring or not
      {0},            // Moving Volume Cicle
      {14, 20, 26},   // Shivering Lines: feedback, corner count, 2 x (corners - 1) entries
      {0},            // Spectral Spheres
      {1},            // Hypnotizer: speed
      {3},            // Volume Lines: speed, OR, second colour
      {1},            // Sparkles: speed
      {0},            // Paint Drops
      {4 * 500 + 2},  // Orbiting Particles - Beat: pool and attractor
      {1 + 4 * 400},  // Orbiting Particles - Volume: speed and pool
      {4 * 1000},     // Snow
      {3 * 1000},     // Spectrum Splash
      {4 * 3},        // Floating Triangle: the corners
  };
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    const auto start = RunFresh(&DrawsInSilence, DrawCountArgs{slot, 1});
    const auto plain = RunFresh(&DrawsInSilence, DrawCountArgs{slot, 0});
    ASSERT_EQ(start.size(), 5u);
    ASSERT_EQ(plain.size(), 5u);
    EXPECT_EQ(atSceneStart[slot].count(start[0] - plain[0]), 1u)
        << SlotName(slot) << " drew " << start[0] - plain[0] << " more at a scene start";
    // A plain silent frame draws nothing but a cycler's next target now and then, except
    // Sparkles: two bursts of 3 rays, each with a burst of 39 rays, one draw per ray.
    const int32_t fewest = *std::min_element(plain.begin(), plain.end());
    EXPECT_EQ(fewest, slot == 7 ? 2 * (3 + 3 * 39) : 0) << SlotName(slot);
  }
}


struct BeatArgs {
  int32_t slot;
  double levelMix;
};

// Random numbers drawn by a plain frame with the given mix level and a peak of 10.
int32_t DrawsAtLevel(const BeatArgs& args) {
  Stage stage(640, 480);
  stage.SetLevels(0, 0, 0, 10.0);
  stage.scene.sceneJustStarted = 1;
  stage.Call(args.slot);
  stage.Call(args.slot);
  SeedRandom(77);
  stage.SetLevels(args.levelMix, args.levelMix, args.levelMix, 10.0);
  stage.Call(args.slot);
  return DrawsSince(77);
}

TEST(RendererContract, BeatsNeedTheMixLevelStrictlyAboveTheRenderersFactorOfThePeak) {
  // A beat rebuilds Shivering Lines' paths, moves the orbit's attractor, kicks every snow
  // flake and re-scatters the triangle: each shows as extra random numbers.
  const std::pair<int32_t, double> beats[] = {{3, 0.8}, {9, 0.8}, {11, 0.7}, {13, 0.7}};
  for (const auto& [slot, factor] : beats) {
    const double threshold = factor * 10.0;
    const int32_t quiet = RunFresh(&DrawsAtLevel, BeatArgs{slot, 0.0});
    const int32_t atThreshold = RunFresh(&DrawsAtLevel, BeatArgs{slot, threshold});
    const int32_t above = RunFresh(&DrawsAtLevel, BeatArgs{slot, std::nextafter(threshold, 99.0)});
    EXPECT_EQ(atThreshold, quiet) << SlotName(slot);
    EXPECT_GT(above, quiet) << SlotName(slot);
  }
}

struct PeakArgs {
  int32_t slot;
  double peak;
};

// Twenty loud frames, each starting a scene, with the given peak.
std::vector<uint32_t> LoudFramesWithPeak(const PeakArgs& args) {
  Stage stage(320, 240);
  stage.SetWave(60, -50);
  stage.SetLevels(60, 50, 55, args.peak);
  for (int32_t frame = 0; frame < 20; ++frame) {
    stage.scene.sceneJustStarted = 1;
    stage.Call(args.slot, false);
  }
  return stage.Picture();
}

TEST(RendererContract, WhileThereIsNoPeakLevelsRelativeToItCountAsZero) {
  // Orbiting Particles - Volume, Paint Drops and Floating Triangle draw with no peak as with
  // an endless one: the ratio is 0 (a scene start every frame hides Floating Triangle's beats).
  for (const int32_t slot : {8, 10, 13}) {
    const auto noPeak = RunFresh(&LoudFramesWithPeak, PeakArgs{slot, 0.0});
    const auto endlessPeak = RunFresh(&LoudFramesWithPeak, PeakArgs{slot, 1e300});
    ASSERT_EQ(noPeak.size(), 320u * 240u);
    EXPECT_TRUE(noPeak == endlessPeak) << SlotName(slot);
    if (slot != 8) {
      EXPECT_GT(std::count_if(noPeak.begin(), noPeak.end(), [](uint32_t p) { return p != 0; }), 0)
          << SlotName(slot);
    }
  }
}

}  // namespace
}  // namespace corvex::testing
