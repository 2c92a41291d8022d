#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "renderer_harness.h"

namespace corvex::testing {
namespace {

TEST(RendererContract, EveryRendererStaysInItsPictureDrawsWhenAskedAndRepeatsFromTheSeed) {
  const RunSetup audio[] = {
      {.sound = Sound::kSilence, .trails = false, .sustainOptional = 0, .centerDetail = 0},
      {.sound = Sound::kLoudSine, .sustain = 1},
      {.sound = Sound::kBeats, .sustain = 1, .sustainOptional = 0}};
  const int32_t sizes[][2] = {{640, 480}, {1, 1}, {2, 2}, {3, 2}, {2, 3}, {33, 17}, {255, 31}};
  for (const auto& [width, height] : sizes) {
    for (int32_t slot = 0; slot <= kAllRenderers; ++slot) {
      for (RunSetup setup : audio) {
        setup.width = width;
        setup.height = height;
        setup.slot = slot;
        setup.seed = 4242;
        setup.frames = width == 640 ? 16 : 30;  // small frames are cheap: more scenes
        setup.sceneEvery = 7;
        const auto first = RunFresh(&RunFrames, setup), second = RunFresh(&RunFrames, setup);
        const std::string what = SlotName(slot) + ", sound " + std::to_string(int(setup.sound)) +
                                 " at " + std::to_string(width) + "x" + std::to_string(height);
        ASSERT_EQ(first.size(), size_t(setup.frames)) << what;
        ASSERT_EQ(second.size(), size_t(setup.frames)) << what;
        for (size_t f = 0; f < first.size(); ++f) {
          EXPECT_EQ(first[f].guardTouched, 0) << what << ", frame " << f + 1;
          EXPECT_EQ(first[f].topBytePixels, 0) << what << ", frame " << f + 1;
          EXPECT_EQ(first[f].hash, second[f].hash) << what << ", frame " << f + 1;
        }
        // The first frame starts from a wiped picture: whatever is lit was drawn in it.
        if (width == 640 && setup.sound != Sound::kSilence) {
          EXPECT_GT(first[0].litPixels, 0) << what;
        }
      }
    }
  }
}

TEST(RendererContract, SustainIsClearedOnlyByTheRenderersThatWantFadingTrails) {
  // When the transform allows it: Wavy Circle, Orbiting Particles - Beat, Snow and Floating
  // Triangle; always: Paint Drops and Spectrum Splash. No renderer changes the other flags.
  const std::set<int32_t> whenOptional{1, 9, 11, 13}, always{8, 12};
  Stage stage(64, 48);
  stage.SetLevels(20, 20, 20, 30);
  TransformManager& transform = stage.Transform();
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    for (const uint8_t optional : {0, 1}) {
      transform.sustain = 1;
      transform.sustainOptional = optional;
      transform.centerDetail = 1;
      stage.scene.sceneJustStarted = 1;
      stage.Call(slot);
      const bool cleared = always.count(slot) != 0 || (optional && whenOptional.count(slot) != 0);
      EXPECT_EQ(transform.sustain, cleared ? 0 : 1) << SlotName(slot) << ", " << int(optional);
      EXPECT_EQ(transform.sustainOptional, optional) << SlotName(slot);
      EXPECT_EQ(transform.centerDetail, 1) << SlotName(slot);
    }
  }
}

TEST(RendererContract, SceneStartsAndPlainFramesDrawTheListedRandomNumbers) {
  // Extra draws at a scene start: a mode for Plain-Vanilla Waveforms (one or three traces) and
  // Wavy Circle (white ring or not); a speed for Hypnotizer and Sparkles, and for Volume Lines
  // also OR and a second colour; four a particle for the pools (Orbiting Particles - Beat: 500
  // and its attractor, - Volume: its speed and 400, Snow: 1000, Floating Triangle: 3 corners),
  // three a droplet for Spectrum Splash's 1000; Shivering Lines: feedback, corner count and
  // 2 x (corners - 1) path entries.
  const std::vector<std::set<int32_t>> atSceneStart{
      {1}, {1}, {0}, {14, 20, 26}, {0}, {1}, {3}, {1}, {0},
      {4 * 500 + 2}, {1 + 4 * 400}, {4 * 1000}, {3 * 1000}, {4 * 3}};
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    const auto start = ProbeDraws({.slot = slot, .sceneStart = 1, .frames = 5});
    const auto plain = ProbeDraws({.slot = slot, .frames = 5});
    ASSERT_EQ(start.size(), 5u);
    ASSERT_EQ(plain.size(), 5u);
    EXPECT_EQ(atSceneStart[slot].count(start[0].draws - plain[0].draws), 1u)
        << SlotName(slot) << " drew " << start[0].draws - plain[0].draws << " more";
    // A plain silent frame draws nothing but a cycler's next target now and then, except
    // Sparkles: two bursts of 3 rays, each with a burst of 39 rays, one draw per ray.
    int32_t fewest = plain[0].draws;
    for (const ProbedFrame& frame : plain) fewest = std::min(fewest, frame.draws);
    EXPECT_EQ(fewest, slot == 7 ? 2 * (3 + 3 * 39) : 0) << SlotName(slot);
  }
}

TEST(RendererContract, BeatsNeedTheMixLevelStrictlyAboveTheRenderersFactorOfThePeak) {
  // A beat rebuilds Shivering Lines' paths, moves the orbit's attractor, kicks every snow flake
  // and re-scatters the triangle: each shows as extra random numbers.
  const std::pair<int32_t, double> beats[] = {{3, 0.8}, {9, 0.8}, {11, 0.7}, {13, 0.7}};
  for (const auto& [slot, factor] : beats) {
    const auto draws = [slot](double mix) {
      const auto frames = ProbeDraws({.slot = slot, .mix = mix, .peak = 10});
      return frames.empty() ? -1 : frames[0].draws;
    };
    const int32_t quiet = draws(0.0);
    EXPECT_EQ(draws(factor * 10.0), quiet) << SlotName(slot);
    EXPECT_GT(draws(std::nextafter(factor * 10.0, 99.0)), quiet) << SlotName(slot);
  }
}

}  // namespace
}  // namespace corvex::testing
