#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "renderers/canvas.h"
#include "renderers/color_cycler.h"
#include "renderers/particle.h"
#include "renderers/random.h"

namespace corvex::testing {
namespace {

bool IsRandomTarget(const ColorCycler& c) {
  const std::set<int> levels{63, 127, 191, 255};
  const bool grid = levels.count(c.targetRed) && levels.count(c.targetGreen) &&
                    levels.count(c.targetBlue);
  const int sum = c.targetRed + c.targetGreen + c.targetBlue;
  const bool primary = sum == 255 && (c.targetRed == 255 || c.targetGreen == 255 ||
                                      c.targetBlue == 255);
  return grid || primary;
}

TEST(ColorCyclerTest, ANewCyclerStartsWhiteAndHeadsForAPaletteColour) {
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    SeedRandom(seed);
    ColorCycler c;
    EXPECT_EQ(c.Color(), 0xFFFFFFu);
    EXPECT_EQ(c.red, 255.0);
    EXPECT_TRUE(IsRandomTarget(c)) << c.targetRed << " " << c.targetGreen << " " << c.targetBlue;
    EXPECT_FALSE(c.targetRed == 255 && c.targetGreen == 255 && c.targetBlue == 255);
    const double m = std::max({255.0 - c.targetRed, 255.0 - c.targetGreen, 255.0 - c.targetBlue});
    EXPECT_EQ(c.stepsLeft, static_cast<int>(m));
  }
}

TEST(ColorCyclerTest, StepsMoveTheFurthestChannelByOneAndArriveOnTarget) {
  SeedRandom(11);
  ColorCycler c;
  EXPECT_DOUBLE_EQ(std::max({std::fabs(c.stepRed), std::fabs(c.stepGreen), std::fabs(c.stepBlue)}),
                   1.0);
  const int steps = c.stepsLeft;
  const uint32_t target = static_cast<uint32_t>(c.targetRed << 16 | c.targetGreen << 8 | c.targetBlue);
  for (int i = 0; i < steps; ++i) c.Step();
  EXPECT_EQ(c.Color(), target);
  // Arrival picks the next target at once.
  const uint32_t next = static_cast<uint32_t>(c.targetRed << 16 | c.targetGreen << 8 | c.targetBlue);
  EXPECT_NE(next, target);
  EXPECT_GE(c.stepsLeft, 1);
}

TEST(ColorCyclerTest, ScaledColourUsesUpAStepWithoutMovingTheColour) {
  SeedRandom(12);
  ColorCycler c;
  const int steps = c.stepsLeft;
  EXPECT_EQ(c.ScaledColor(0.5), 0x7F7F7Fu);
  EXPECT_EQ(c.ScaledColor(2.0), 0xFFFFFFu);
  EXPECT_EQ(c.red, 255.0);
  EXPECT_EQ(c.Color(), 0xFFFFFFu);
  EXPECT_EQ(c.stepsLeft, steps - 2);
}

TEST(ColorCyclerTest, AFollowerTakesItsLeadersTargetBrightenedInOneChannel) {
  SeedRandom(13);
  ColorCycler leader, follower;
  follower.SetLeader(&leader);
  for (int i = 0; i < 100; ++i) {
    follower.PickTarget();
    const int dr = follower.targetRed - leader.targetRed;
    const int dg = follower.targetGreen - leader.targetGreen;
    const int db = follower.targetBlue - leader.targetBlue;
    if (follower.targetRed == 255 && follower.targetGreen == 255 && follower.targetBlue == 255) {
      continue;  // the leader's target was the follower's colour: a random pick instead
    }
    EXPECT_GE(dr, 0);
    EXPECT_GE(dg, 0);
    EXPECT_GE(db, 0);
    EXPECT_LE(dr + dg + db, 32);
    EXPECT_LE((dr != 0) + (dg != 0) + (db != 0), 1);
    leader.PickTarget();
  }
}

TEST(ColorCyclerTest, NeverKeepsATargetEqualToTheCurrentColour) {
  SeedRandom(14);
  ColorCycler leader, follower;
  leader.targetRed = leader.targetGreen = leader.targetBlue = 255;  // brightening stays 255
  follower.SetLeader(&leader);
  follower.PickTarget();  // the follower is white: the leader's target is no target
  EXPECT_FALSE(follower.targetRed == 255 && follower.targetGreen == 255 &&
               follower.targetBlue == 255);
  EXPECT_GE(follower.stepsLeft, 1);
}

class ParticleTest : public ::testing::Test {
 protected:
  ParticleTest() { frame.SetGeometry(nullptr, 640, 480); }
  Canvas frame;
  Particle p;
};

TEST_F(ParticleTest, WrapMakesOneCorrectionAndKeepsTheExactEdge) {
  p.Set(-3, 10, 0, 0, 0);
  p.Move(true, frame);
  EXPECT_EQ(p.x, 637.0);
  p.Set(640, 480, 0, 0, 0);
  p.Move(true, frame);
  EXPECT_EQ(p.x, 640.0);
  EXPECT_EQ(p.y, 480.0);
  p.Set(639.5, 5, 1, 0, 0);
  p.Move(true, frame);
  EXPECT_EQ(p.x, 0.5);
  p.Set(-3, -3, 0, 0, 0);
  p.Move(false, frame);
  EXPECT_EQ(p.x, -3.0);
}

TEST_F(ParticleTest, AttractionIsCappedAndPointsAtTheAttractor) {
  p.Set(10, 10, 0, 0, 0);
  p.Attract(11, 10, 4000, 2.0);
  EXPECT_DOUBLE_EQ(p.vx, 2.0);
  EXPECT_NEAR(p.vy, 0.0, 1e-15);
  p.Set(10, 10, 0, 0, 0);
  p.Attract(10, 10, 4000, 2.0);  // at the attractor: atan2(0, 0) = 0, full cap along +x
  EXPECT_EQ(p.vx, 2.0);
  EXPECT_EQ(p.vy, 0.0);
  p.Set(10, 10, 0, 0, 0);
  p.Attract(10, 10, 0.0, 6.0);  // no pull at all stays no pull, without NaN
  EXPECT_EQ(p.vx, 0.0);
  p.Set(0, 0, 0, 0, 0);
  p.Attract(0, 100, 10000, 2.0);  // 1 pixel per frame at distance 100
  EXPECT_NEAR(p.vy, 1.0, 1e-12);
}

TEST_F(ParticleTest, DampingAndPush) {
  p.Set(0, 0, 10, -10, 0.02);
  p.Damp(true, false);
  EXPECT_DOUBLE_EQ(p.vx, 9.8);
  EXPECT_EQ(p.vy, -10.0);
  p.Push(0.2, 0.05);
  EXPECT_DOUBLE_EQ(p.vx, 10.0);
  EXPECT_DOUBLE_EQ(p.vy, -9.95);
}

TEST_F(ParticleTest, PlatformsCatchAFallThroughTheirTopAndThrowUp) {
  const double left[] = {0, 200}, right[] = {100, 300}, top[] = {101, 50}, previous[] = {101, 50};
  SeedRandom(3);
  p.Set(50, 99, 0, 4, 0);
  EXPECT_EQ(p.MoveOverPlatforms(2, left, right, top, previous, frame), 0);
  EXPECT_EQ(p.y, 101.0);
  EXPECT_GE(p.vy, -8.2456 - 0.8 - 1e-9);
  EXPECT_LE(p.vy, -7.3656 - 0.8 + 1e-9);
  EXPECT_LE(std::fabs(p.vx), 2.5);

  p.Set(50, 90, 0, 5, 0);  // 90 to 95: wholly above
  EXPECT_EQ(p.MoveOverPlatforms(2, left, right, top, previous, frame), -1);
  EXPECT_EQ(p.y, 95.0);

  p.Set(250, 40, 0, 20, 0);  // through the second platform
  EXPECT_EQ(p.MoveOverPlatforms(2, left, right, top, previous, frame), 1);
}

TEST_F(ParticleTest, PlatformWalkBouncesAtTheSidesAndFallsOutAtTheBottom) {
  const double none[] = {0};
  p.Set(639.5, 10, 1, 0, 0);
  p.MoveOverPlatforms(0, none, none, none, none, frame);
  EXPECT_EQ(p.x, 0.0);
  EXPECT_EQ(p.vx, -1.0);
  p.Set(10, 478.5, 0, 3, 0);
  EXPECT_EQ(p.MoveOverPlatforms(0, none, none, none, none, frame), -1);
  EXPECT_EQ(p.y, 0.0);
  EXPECT_EQ(p.vy, 3.0);
  EXPECT_LE(std::fabs(p.vx), 1.5);
}

}  // namespace
}  // namespace corvex::testing
