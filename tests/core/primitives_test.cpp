#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "base/random.h"
#include "renderers/canvas.h"
#include "renderers/color_cycler.h"
#include "renderers/particle.h"
#include "renderers/walks.h"

namespace corvex::testing {
namespace {

struct Point {
  double x, y;
  bool operator==(const Point&) const = default;
};

std::vector<Point> LinePoints(double x1, double y1, double x2, double y2) {
  std::vector<Point> points;
  WalkLine(x1, y1, x2, y2, 639, 479, [&](double x, double y) { points.push_back({x, y}); });
  return points;
}

TEST(Canvas, PrimitivesTruncateClipPointByPointAndWalkTheirPoints) {
  std::vector<uint32_t> pixels(10 * 9 + 1, 0);  // 10 x 8 with its guard row and pixel
  Canvas canvas;
  canvas.SetGeometry(pixels.data(), 10, 8);
  canvas.PutPixel(-0.5, 3.9, 0x11);
  for (auto [x, y] : {Point{-1.0, 2}, {10.0, 2}, {4, 8.0}, {NAN, 1}, {1e300, -1e300}}) {
    canvas.PutPixel(x, y, 0x22);
  }
  canvas.PutPixel(9.99, 7.99, 0x33);
  canvas.OrPixel(9, 7, 0x300);
  canvas.DrawCircle(2, 2, 0, 0xFF, false);
  canvas.DrawLine(-5, 0, 20, 0, 0x01, true);  // along the top row and out at both sides
  ColorCycler cycler;
  SeedRandom(99);
  canvas.DrawBurst(5, 4, 0.0, 3, 2, cycler);  // 39 rays of length 0, each one point
  const int next = std::rand();
  SeedRandom(99);
  for (int i = 0; i < 39; ++i) std::rand();
  EXPECT_EQ(std::rand(), next);  // one direction drawn per ray
  std::vector<uint32_t> expected(10 * 9 + 1, 0);
  std::fill_n(expected.begin(), 10, 0x01u);
  expected[3 * 10] = 0x11;
  expected[2 * 10 + 2] = 0xFF;
  expected[4 * 10 + 5] = cycler.Color();
  expected[7 * 10 + 9] = 0x333;
  EXPECT_EQ(pixels, expected);

  // The walks: point counts and steps, and only the drawable stretch of an absurd line.
  const auto shallow = LinePoints(0, 0, 10, 3);
  ASSERT_EQ(shallow.size(), 11u);
  EXPECT_EQ(shallow[1], (Point{1.0, 0.3}));
  EXPECT_NEAR(shallow[10].y, 3.0, 1e-12);
  EXPECT_EQ(LinePoints(0, 0, 3, 3), (std::vector<Point>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
  EXPECT_EQ(LinePoints(5, 5, 5, 5), (std::vector<Point>{{5, 5}}));
  const auto backwards = LinePoints(4.5, 10, 1, 9);  // falls short by the fractional length
  ASSERT_EQ(backwards.size(), 4u);
  EXPECT_EQ(backwards[3].x, 1.5);
  EXPECT_TRUE(LinePoints(NAN, 0, 3, 3).empty());
  const auto absurd = LinePoints(-1e12, 5, 1e12, 5);  // walked only where it can be drawn
  EXPECT_LE(absurd.size(), 645u);
  auto drawable = [](Point p) { return p.x > -1 && p.x < 640; };
  EXPECT_EQ(std::count_if(absurd.begin(), absurd.end(), drawable), 640);
  std::vector<Point> circle;
  WalkCircle(50, 40, 10, [&](double x, double y) { circle.push_back({x, y}); });
  ASSERT_EQ(circle.size(), 63u);
  EXPECT_EQ(circle[0], (Point{60, 40}));
  EXPECT_NEAR(circle[62].y, 40 + 10 * std::sin(6.2), 1e-9);
}

TEST(ColourHelpers, ScaleColorMirroredSampleAndRandomInt) {
  EXPECT_EQ(ScaleColor(8.0, 0x0F0FFF), 0x7878FFu);
  EXPECT_EQ(ScaleColor(0.5, 0xFFFFFF), 0x7F7F7Fu);
  EXPECT_EQ(ScaleColor(1.0, 0xFF123456), 0x123456u);  // the top byte is no channel
  for (auto [p, sample] : {std::pair{0, 0}, {575, 575}, {576, 575}, {1151, 0}, {1152, 0}}) {
    EXPECT_EQ(MirroredSample(p), sample) << p;
  }
  SeedRandom(5);
  std::set<int> seen;  // RandomInt(n) is 0 to n; no number fits below 0, so 0 stands in
  for (int i = 0; i < 200; ++i) seen.insert(RandomInt(1) + 10 * RandomInt(0) + 10 * RandomInt(-1));
  EXPECT_EQ(seen, (std::set<int>{0, 1}));
}

uint32_t Target(const ColorCycler& c) {
  return static_cast<uint32_t>(c.targetRed << 16 | c.targetGreen << 8 | c.targetBlue);
}

TEST(ColorCycler, StartsWhiteAndWalksToAPaletteColourOneStepOfTheFurthestChannelAtATime) {
  const std::set<int> levels{63, 127, 191, 255};
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    SeedRandom(seed);
    ColorCycler c;
    EXPECT_EQ(c.Color(), 0xFFFFFFu);
    const bool grid = levels.count(c.targetRed) && levels.count(c.targetGreen) &&
                      levels.count(c.targetBlue) && Target(c) != 0xFFFFFFu;
    const bool primary = Target(c) == 0xFF0000 || Target(c) == 0xFF00 || Target(c) == 0xFF;
    EXPECT_TRUE(grid || primary) << std::hex << Target(c);
    const int m = 255 - std::min({c.targetRed, c.targetGreen, c.targetBlue});
    EXPECT_EQ(c.stepsLeft, m);
    EXPECT_EQ(std::max({std::fabs(c.stepRed), std::fabs(c.stepGreen), std::fabs(c.stepBlue)}), 1);
    ColorCycler scaled = c;  // a scaled colour uses up a step but leaves the colour
    EXPECT_EQ(scaled.ScaledColor(0.5), 0x7F7F7Fu);
    EXPECT_EQ(scaled.ScaledColor(2.0), 0xFFFFFFu);
    EXPECT_EQ(scaled.stepsLeft, m - 2);
    EXPECT_EQ(scaled.red + scaled.green + scaled.blue, 3 * 255.0);
    const ColorCycler start = c;
    for (int i = 0; i < m; ++i) c.Step();
    EXPECT_LT(std::fabs(c.red - start.targetRed) + std::fabs(c.green - start.targetGreen) +
                  std::fabs(c.blue - start.targetBlue), 1e-9);
    EXPECT_NE(Target(c), Target(start));  // arrival picks the next target at once
  }
}

TEST(ColorCycler, AFollowerTakesItsLeadersTargetBrightenedInOneChannelButNeverItsOwnColour) {
  SeedRandom(13);
  ColorCycler leader, follower;
  follower.SetLeader(&leader);
  uint32_t largest = 0;
  for (int i = 0; i < 100; ++i, leader.PickTarget()) {
    follower.PickTarget();
    if (Target(follower) == 0xFFFFFF) continue;  // the follower's own colour: picked at random
    // One channel up by 0 to 32: a fall wraps round and two rises leave low bits set.
    const uint32_t up = Target(follower) - Target(leader), shift = up >> 16 ? 16 : up >> 8 ? 8 : 0;
    EXPECT_TRUE(up >> shift <= 32 && up % (1u << shift) == 0) << std::hex << up;
    largest = std::max(largest, up >> shift);
  }
  EXPECT_EQ(largest, 32u);
  leader.targetRed = leader.targetGreen = leader.targetBlue = 255;  // brightening stays 255
  follower.PickTarget();
  EXPECT_NE(Target(follower), 0xFFFFFFu);
  EXPECT_GE(follower.stepsLeft, 1);
}

TEST(Particle, MovesWrapsAttractsDampsIsPushedAndLandsOnPlatforms) {
  Canvas frame;
  frame.SetGeometry(nullptr, 640, 480);
  Particle p;
  struct Wrap { Point from, speed, to; bool wrap; };
  const Wrap wraps[] = {{{-3, 10}, {0, 0}, {637, 10}, true}, {{640, 480}, {0, 0}, {640, 480}, true},
                        {{639.5, 5}, {1, 0}, {0.5, 5}, true}, {{-3, -3}, {0, 0}, {-3, -3}, false},
                        {{5, -0.5}, {0, -1}, {5, 478.5}, true}};
  for (const Wrap& w : wraps) {
    p.Set(w.from.x, w.from.y, w.speed.x, w.speed.y, 0);
    p.Move(w.wrap, frame);
    EXPECT_EQ((Point{p.x, p.y}), w.to) << w.from.x << "," << w.from.y;
  }
  p.Set(10, 10, 0, 0, 0);
  p.Attract(11, 10, 4000, 2.0);  // capped at distance 1
  EXPECT_EQ((Point{p.vx, p.vy}), (Point{2.0, 0.0}));
  p.Set(0, 0, 0, 0, 0);
  p.Attract(0, 100, 10000, 2.0);  // one pixel per frame at distance 100
  EXPECT_NEAR(p.vy, 1.0, 1e-12);
  p.Set(10, 10, 0, 0, 0);
  p.Attract(10, 10, 4000, 2.0);  // at the attractor: atan2(0, 0) = 0, the full cap along +x
  p.Attract(10, 10, 0.0, 6.0);   // and no pull at all stays none, without NaN
  EXPECT_EQ((Point{p.vx, p.vy}), (Point{2.0, 0.0}));
  p.Set(0, 0, 10, -10, 0.02);
  p.Damp(true, false);
  p.Damp(false, true);
  p.Push(0.2, 0.05);
  EXPECT_EQ((Point{p.vx, p.vy}), (Point{10 * (1 - 0.02) + 0.2, -10 * (1 - 0.02) + 0.05}));
  // Platforms catch a fall through their top; the frame's sides bounce and its bottom drops.
  const double left[] = {0, 200}, right[] = {100, 300}, top[] = {101, 50}, previous[] = {101, 50};
  SeedRandom(3);
  const int32_t draw = RandomInt(100);
  SeedRandom(3);
  p.Set(50, 99, 0, 4, 0);
  EXPECT_EQ(p.MoveOverPlatforms(2, left, right, top, previous, frame), 0);
  EXPECT_EQ(p.y, 101.0);
  EXPECT_EQ(p.vy, ((draw - 50) * 4 - 3548) * 0.0022 - 0.2 * 4);  // thrown up, less a fifth
  p.Set(50, 90, 0, 5, 0);  // 90 to 95: wholly above
  EXPECT_EQ(p.MoveOverPlatforms(2, left, right, top, previous, frame), -1);
  EXPECT_EQ(p.y, 95.0);
  p.Set(250, 40, 0, 20, 0);  // through the second platform
  EXPECT_EQ(p.MoveOverPlatforms(2, left, right, top, previous, frame), 1);
  p.Set(639.5, 10, 1, 0, 0);  // off the right edge: back at the left, reversed
  EXPECT_EQ(p.MoveOverPlatforms(0, left, right, top, previous, frame), -1);
  EXPECT_EQ((Point{p.x, p.vx}), (Point{0, -1}));
  p.Set(10, 478.5, 0, 3, 0);  // out at the bottom: back at the top, still falling
  EXPECT_EQ(p.MoveOverPlatforms(0, left, right, top, previous, frame), -1);
  EXPECT_EQ((Point{p.y, p.vy}), (Point{0, 3}));
  EXPECT_LE(std::fabs(p.vx), 1.5);
}

}  // namespace
}  // namespace corvex::testing
