#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "renderers/canvas.h"
#include "renderers/repeated_addition.h"
#include "renderers/walks.h"

namespace corvex::testing {
namespace {

struct Point {
  double x, y;
  bool operator==(const Point&) const = default;
};

std::string Hex(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%a", v);
  return text;
}

TEST(Lines, AddRepeatedlyGivesTheBitsOfAddingOneStepAtATime) {
  // Values in every kind of stretch (subnormal, ordinary, near the top of the range, on and
  // beside powers of two, both signs); steps of whole and half units of their spacing (ties),
  // just off a half unit, below half a unit (stuck), and of any size.
  std::mt19937_64 random(20261206);
  auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  auto pick = [&](int32_t n) { return static_cast<int32_t>(random() % n); };
  const int32_t exponents[] = {-1074, -1060, -1022, -1021, -40, -1, 0, 1, 20, 52, 53, 54, 1000};
  const double unitSteps[] = {0.25, 0.5, 1.0, 1.5, 2.5, 0.5 + 0x1p-20, 0.5 - 0x1p-20, 3.0, 1000.5};
  const int32_t checkpoints[] = {0, 1, 2, 3, 4, 17, 1000, 4097, 30000};
  for (int32_t trial = 0; trial < 3000; ++trial) {
    const int32_t e = exponents[pick(std::size(exponents))];
    double value = std::ldexp(uniform(1.0, 2.0), e);
    if (pick(3) == 0) value = std::ldexp(1.0, e) + (pick(5) - 2) * std::ldexp(1.0, e - 52);
    if (pick(2) == 0) value = -value;
    const double unit = std::fabs(std::nextafter(value, 0.0) - value);
    double step = pick(2) == 0 ? unit * unitSteps[pick(std::size(unitSteps))]
                               : std::ldexp(uniform(1.0, 2.0), e - pick(60));
    if (pick(2) == 0) step = -step;
    double literal = value;
    int32_t done = 0;
    for (const int32_t count : checkpoints) {
      for (; done < count; ++done) literal += step;
      const double fast = AddRepeatedly(value, step, static_cast<uint64_t>(count));
      ASSERT_EQ(std::bit_cast<uint64_t>(fast), std::bit_cast<uint64_t>(literal))
          << Hex(value) << " + " << Hex(step) << " x " << count << ": " << Hex(fast)
          << " instead of " << Hex(literal);
    }
  }
  // Where adding one no longer changes a value, or changes it once and then no more.
  EXPECT_EQ(AddRepeatedly(-1e16, 1.0, uint64_t{1} << 60), -1e16);
  EXPECT_EQ(AddRepeatedly(-0x1p53 - 2, 1.0, 2), -0x1p53 + 1);
  EXPECT_EQ(AddRepeatedly(-0x1p53 - 2, 1.0, uint64_t{1} << 53), -1.0);
  EXPECT_EQ(AddRepeatedly(-0x1p53 - 4, 1.0, uint64_t{1} << 53), -0x1p53 - 4);
}

// The drawable points of a line as the rule places them, one addition per point.
std::vector<Point> LiteralDrawablePoints(double x1, double y1, double x2, double y2, int32_t width,
                                         int32_t height) {
  const double dx = x2 - x1, dy = y2 - y1;
  const bool alongY = std::fabs(dx) <= std::fabs(dy);
  const double n = alongY ? std::fabs(dy) : std::fabs(dx);
  const double xstep = alongY ? dx / std::fabs(dy) : (dx > 0 ? 1.0 : -1.0);
  const double ystep = alongY ? (dy > 0 ? 1.0 : -1.0) : dy / std::fabs(dx);
  std::vector<Point> points;
  double x = x1, y = y1;
  for (int64_t k = 0; k <= static_cast<int64_t>(n); ++k, x += xstep, y += ystep) {
    if (x > -1 && x < width && y > -1 && y < height) points.push_back({x, y});
  }
  return points;
}

std::vector<Point> WalkedDrawablePoints(double x1, double y1, double x2, double y2,
                                        int32_t width, int32_t height) {
  std::vector<Point> points;
  WalkLine(x1, y1, x2, y2, width - 1, height - 1, [&](double x, double y) {
    if (x > -1 && x < width && y > -1 && y < height) points.push_back({x, y});
  });
  return points;
}

TEST(Lines, LongLinesDrawExactlyThePointsOfTheStepByStepRule) {
  // Lines of 2 to 6 million points at any angle, through the frame at a random place or ending
  // short of it, from starts with fractional parts whose additions round.
  std::mt19937_64 random(5);
  auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  int32_t throughFrame = 0;
  for (int32_t trial = 0; trial < 30; ++trial) {
    const double length = uniform(0x1p21, 0x1p22 + 0x1p21);
    const double angle = uniform(0, 6.283185307179586);
    const double along = trial % 5 == 0 ? uniform(-0.2, -0.01) : uniform(0.0, 1.0);
    const double px = uniform(-50, 690), py = uniform(-50, 530);
    const double x1 = px - along * length * std::cos(angle) + 0.1234567;
    const double y1 = py - along * length * std::sin(angle) - 0.7654321;
    const double x2 = x1 + length * std::cos(angle), y2 = y1 + length * std::sin(angle);
    const auto expected = LiteralDrawablePoints(x1, y1, x2, y2, 640, 480);
    throughFrame += !expected.empty();
    EXPECT_EQ(WalkedDrawablePoints(x1, y1, x2, y2, 640, 480), expected)
        << "(" << Hex(x1) << ", " << Hex(y1) << ") to (" << Hex(x2) << ", " << Hex(y2) << ")";
  }
  EXPECT_GT(throughFrame, 10);
}

TEST(Lines, AnyLineFinishesAndDrawsWhereAddingStepByStepTakesIt) {
  std::vector<uint32_t> pixels(640 * 481 + 1);
  Canvas canvas;
  canvas.SetGeometry(pixels.data(), 640, 480);
  auto lit = [&] {
    std::vector<int32_t> indices;
    for (int32_t i = 0; i < 640 * 480; ++i) {
      if (pixels[i] != 0) indices.push_back(i);
    }
    std::fill(pixels.begin(), pixels.end(), 0u);
    return indices;
  };
  auto run = [](int32_t first, int32_t count, int32_t stride) {
    std::vector<int32_t> indices;
    for (int32_t k = 0; k < count; ++k) indices.push_back(first + k * stride);
    return indices;
  };
  // -1e16 + 1 rounds back to -1e16: by the rule this line never moves, and nothing is drawn.
  canvas.DrawLine(-1e16, 5, 1e16, 5, 1, false);
  EXPECT_EQ(lit(), std::vector<int32_t>{});
  // From 2^53 + 2 below zero one addition rounds to -2^53, and from there each adds exactly 1:
  // after 2^53 + 1 points the line crosses the whole row.
  canvas.DrawLine(-0x1p53 - 2, 5, 0x1p54, 5, 1, false);
  EXPECT_EQ(lit(), run(5 * 640, 640, 1));
  canvas.DrawLine(7.5, 1e15, 7.5, -1e15, 1, true);
  EXPECT_EQ(lit(), run(7, 480, 640));
  canvas.DrawLine(-1e12, -1e12 + 0.5, 1e12, 1e12 + 0.5, 1, false);  // the minor axis skips too
  EXPECT_EQ(lit(), run(0, 480, 641));
  canvas.DrawLine(3, 1e300, 3, -1e300, 1, false);
  EXPECT_EQ(lit(), std::vector<int32_t>{});
}

}  // namespace
}  // namespace corvex::testing
