#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "renderers/canvas.h"
#include "renderers/color_cycler.h"
#include "renderers/random.h"
#include "renderers/walks.h"

namespace corvex::testing {
namespace {

struct Point {
  double x, y;
};

std::vector<Point> LinePoints(double x1, double y1, double x2, double y2) {
  std::vector<Point> points;
  WalkLine(x1, y1, x2, y2, 639, 479, [&](double x, double y) { points.push_back({x, y}); });
  return points;
}

class CanvasTest : public ::testing::Test {
 protected:
  explicit CanvasTest(int w = 10, int h = 8) : pixels(static_cast<size_t>(w * (h + 1) + 1), 0) {
    canvas.SetGeometry(pixels.data(), w, h);
  }
  int Drawn() const {
    int count = 0;
    for (int i = 0; i < canvas.width * canvas.height; ++i) count += pixels[i] != 0;
    return count;
  }
  uint32_t At(int x, int y) const { return pixels[y * canvas.width + x]; }
  std::vector<uint32_t> pixels;
  Canvas canvas;
};

TEST_F(CanvasTest, PositionsTruncateTowardZeroAndClipAtTheEdges) {
  canvas.PutPixel(-0.5, 3.9, 0x11);
  EXPECT_EQ(At(0, 3), 0x11u);
  canvas.PutPixel(-1.0, 2, 0x22);
  canvas.PutPixel(10.0, 2, 0x22);   // maxX + 1
  canvas.PutPixel(4, 8.0, 0x22);    // maxY + 1
  canvas.PutPixel(NAN, 1, 0x22);
  canvas.PutPixel(1e300, -1e300, 0x22);
  EXPECT_EQ(Drawn(), 1);
  canvas.PutPixel(9.99, 7.99, 0x33);
  EXPECT_EQ(At(9, 7), 0x33u);
  canvas.OrPixel(9, 7, 0x300);
  EXPECT_EQ(At(9, 7), 0x333u);
  EXPECT_EQ(pixels[80], 0u);  // the guard row is never drawn on
}

TEST(LineWalk, StepsAlongTheLongerAxisByRepeatedAddition) {
  auto shallow = LinePoints(0, 0, 10, 3);
  ASSERT_EQ(shallow.size(), 11u);
  EXPECT_EQ(shallow[1].x, 1.0);
  EXPECT_DOUBLE_EQ(shallow[1].y, 0.3);
  EXPECT_NEAR(shallow[10].y, 3.0, 1e-12);

  auto diagonal = LinePoints(0, 0, 3, 3);  // a tie steps along y
  ASSERT_EQ(diagonal.size(), 4u);
  EXPECT_EQ(diagonal[3].y, 3.0);

  auto single = LinePoints(5, 5, 5, 5);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].x, 5.0);

  auto backwards = LinePoints(4.5, 10, 1, 9);  // fractional length falls short of the end
  ASSERT_EQ(backwards.size(), 4u);
  EXPECT_EQ(backwards[3].x, 1.5);
}

TEST(LineWalk, ALineOfAbsurdLengthVisitsOnlyTheStretchThatCanBeDrawn) {
  auto points = LinePoints(-1e12, 5, 1e12, 5);
  EXPECT_LE(points.size(), 645u);
  std::set<int> columns;
  for (const Point& p : points) {
    if (p.x > -1 && p.x < 640) columns.insert(static_cast<int>(p.x));
  }
  EXPECT_EQ(columns.size(), 640u);
  EXPECT_TRUE(LinePoints(NAN, 0, 3, 3).empty());
}

TEST(CircleWalk, PointsOnePixelOfArcApart) {
  std::vector<Point> points;
  WalkCircle(50, 40, 10, [&](double x, double y) { points.push_back({x, y}); });
  ASSERT_EQ(points.size(), 63u);
  EXPECT_EQ(points[0].x, 60.0);
  EXPECT_EQ(points[0].y, 40.0);
  for (const Point& p : points) EXPECT_NEAR(std::hypot(p.x - 50, p.y - 40), 10.0, 1e-9);

  points.clear();
  WalkCircle(3, 4, 0, [&](double x, double y) { points.push_back({x, y}); });
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(points[0].x, 3.0);
  EXPECT_EQ(points[0].y, 4.0);
}

TEST_F(CanvasTest, CircleOfRadiusZeroIsItsCentreAndLinesAreClippedPointByPoint) {
  canvas.DrawCircle(2, 2, 0, 0xFF, false);
  EXPECT_EQ(Drawn(), 1);
  EXPECT_EQ(At(2, 2), 0xFFu);
  canvas.DrawLine(-5, 0, 20, 0, 0x01, true);  // across the top row and out both sides
  EXPECT_EQ(Drawn(), 11);
  EXPECT_EQ(At(9, 0), 0x01u);
}

TEST_F(CanvasTest, BurstOfThreeToDepthTwoDrawsThirtyNineRays) {
  // Each ray draws its direction from the generator: 39 rays take 39 numbers.
  ColorCycler cycler;
  SeedRandom(99);
  canvas.DrawBurst(5, 4, 0.0, 3, 2, cycler);
  const int next = std::rand();
  SeedRandom(99);
  for (int i = 0; i < 39; ++i) RandomInt(100);
  EXPECT_EQ(std::rand(), next);
  EXPECT_EQ(Drawn(), 1);  // rays of length 0 draw their start point
  EXPECT_EQ(At(5, 4), cycler.Color());
}

TEST(ColourArithmetic, ScaleColorCapsEachChannel) {
  EXPECT_EQ(ScaleColor(8.0, 0x0F0FFF), 0x7878FFu);
  EXPECT_EQ(ScaleColor(0.5, 0xFFFFFF), 0x7F7F7Fu);
  EXPECT_EQ(ScaleColor(1.0, 0xFF123456), 0x123456u);  // the top byte is no channel
}

TEST(ColourArithmetic, MirroredSampleWalksForwardsThenBackwards) {
  EXPECT_EQ(MirroredSample(0), 0);
  EXPECT_EQ(MirroredSample(575), 575);
  EXPECT_EQ(MirroredSample(576), 575);
  EXPECT_EQ(MirroredSample(1151), 0);
  EXPECT_EQ(MirroredSample(1152), 0);  // a walk that ran on wraps rather than reading outside
}

TEST(Random, RangeAndReproducibility) {
  SeedRandom(5);
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(RandomInt(0), 0);
    seen.insert(RandomInt(1));
  }
  EXPECT_EQ(seen, (std::set<int>{0, 1}));
  SeedRandom(5);
  const int a = RandomInt(1000);
  SeedRandom(5);
  EXPECT_EQ(RandomInt(1000), a);
  EXPECT_EQ(RandomInt(-1), 0);
}

}  // namespace
}  // namespace corvex::testing
