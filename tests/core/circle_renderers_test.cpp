#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "renderer_harness.h"
#include "renderers/walks.h"

namespace corvex::testing {
namespace {

constexpr int32_t kSpheres = 4, kHypnotizer = 5, kSparkles = 7, kPaintDrops = 8;

struct Circle {
  double cx, cy, r;
};

// The pixels a set of circles covers, as the circle walk places them, in order.
std::vector<int32_t> CirclePixels(const std::vector<Circle>& circles, int32_t width,
                                  int32_t height) {
  std::set<int32_t> pixels;
  for (const Circle& c : circles) {
    WalkCircle(c.cx, c.cy, c.r, [&](double x, double y) {
      if (x > -1 && y > -1 && x < width && y < height) {
        pixels.insert(static_cast<int32_t>(y) * width + static_cast<int32_t>(x));
      }
    });
  }
  return {pixels.begin(), pixels.end()};
}

std::vector<Circle> Rings(double cx, double cy, int32_t first, int32_t step, int32_t count) {
  std::vector<Circle> rings;
  for (int32_t k = 0; k < count; ++k) rings.push_back({cx, cy, double(first + k * step)});
  return rings;
}

TEST(SpectralSpheres, FiveCirclesShareTheWidthByWeightedBandEnergy) {
  // 1200 of weighted energy (bin x value) in one bin of each band: five equal circles, whether
  // the bins are the first or the last of the bands 0-28, 29-57, 58-86, 87-115 and 116-143.
  // At 641 wide the edges 128.2, 256.4, 384.6 and 512.8 are cut to whole pixels, and the last
  // circle, 129 wide, halves to radius 64.
  const std::vector<int32_t> binSets[] = {
      {20, 40, 60, 100, 120}, {28, 57, 86, 115, 143}, {1, 29, 58, 87, 116}};
  for (const auto& bins : binSets) {
    for (const int32_t width : {640, 641}) {
      Stage stage(width, 480);
      for (const int32_t bin : bins) stage.scene.spectrumSum[bin] = 1200.0 / bin;
      stage.Call(kSpheres);
      const std::vector<Circle> fifths{
          {64, 240, 64}, {192, 240, 64}, {320, 240, 64}, {448, 240, 64}, {576, 240, 64}};
      EXPECT_EQ(stage.Lit(), CirclePixels(fifths, width, 480))
          << width << " wide, bins from " << bins[0];
    }
  }
  // All of it in the first band: one circle across the width, the other four points at
  // x = 640, outside. Silence: those four at x = 0 and the last circle across the width.
  Stage stage(640, 480);
  for (int32_t bin = 1; bin <= 28; ++bin) stage.scene.spectrumSum[bin] = 300;
  stage.Call(kSpheres);
  EXPECT_EQ(stage.Lit(), CirclePixels({{320, 240, 320}}, 640, 480));
  std::fill_n(stage.scene.spectrumSum, kAudioLength, 0.0);
  stage.Call(kSpheres);
  EXPECT_EQ(stage.Lit(), CirclePixels({{0, 240, 0}, {320, 240, 320}}, 640, 480));
}

TEST(Hypnotizer, TenRingsSixteenApartFlowOutwardsAndSmallFramesKeepARingPerPixel) {
  // 480 high: n = 160 and d = 16; the rings grow a pixel a call and jump back after 16 calls.
  // In silence both centres lie on the frame's centre.
  for (const int32_t calls : {1, 15, 16, 17}) {
    EXPECT_EQ(Lit(FreshShot({.slot = kHypnotizer, .calls = calls})),
              CirclePixels(Rings(320, 240, calls % 16 + 1, 16, 10), 640, 480))
        << calls << " calls";
  }
  // The rings fade outwards, from 1.19 times the colour to 0.66 (m x 0.6 / n, m from 319 down
  // by 16). The colour starts white and has taken one step: its brightest channel is 254 or
  // 255, which the innermost ring caps at 255 and the outermost shows as 166 or 167.
  const auto picture = FreshShot({.slot = kHypnotizer});
  auto brightest = [](uint32_t c) { return std::max({c >> 16 & 255, c >> 8 & 255, c & 255}); };
  EXPECT_EQ(brightest(picture[240 * 640 + 322]), 255u);
  const uint32_t outer = brightest(picture[240 * 640 + 466]);
  EXPECT_TRUE(outer == 166 || outer == 167) << outer;
  // Frames under 30 pixels high keep a spacing of 1: 20 high gives n = 6, rings 1 to 5. Under
  // 6 pixels high there is no ring at all.
  Stage low(640, 20);
  low.Call(kHypnotizer);
  EXPECT_EQ(low.Lit(), CirclePixels(Rings(320, 10, 1, 1, 5), 640, 20));
  Stage lower(640, 5);
  lower.Call(kHypnotizer);
  EXPECT_TRUE(lower.Lit().empty());
}

struct Centre {
  double x, y;
};

// The centres of two clusters of lit pixels that lie well apart, found by two-means from the
// two pixels farthest apart.
std::pair<Centre, Centre> TwoClusters(const std::vector<int32_t>& lit, int32_t width) {
  auto at = [width](int32_t i) { return Centre{double(i % width), double(i / width)}; };
  auto farthestFrom = [&](Centre c) {
    Centre best = c;
    for (const int32_t i : lit) {
      const Centre p = at(i);
      if (std::hypot(p.x - c.x, p.y - c.y) > std::hypot(best.x - c.x, best.y - c.y)) best = p;
    }
    return best;
  };
  Centre a = farthestFrom(at(lit.front()));
  Centre b = farthestFrom(a);
  for (int32_t round = 0; round < 8; ++round) {
    Centre sum[2] = {};
    int32_t count[2] = {};
    for (const int32_t i : lit) {
      const Centre p = at(i);
      const int32_t k = std::hypot(p.x - a.x, p.y - a.y) <= std::hypot(p.x - b.x, p.y - b.y) ? 0 : 1;
      sum[k].x += p.x;
      sum[k].y += p.y;
      ++count[k];
    }
    a = {sum[0].x / std::max(count[0], 1), sum[0].y / std::max(count[0], 1)};
    b = {sum[1].x / std::max(count[1], 1), sum[1].y / std::max(count[1], 1)};
  }
  return {a, b};
}

TEST(Hypnotizer, TheTwoRingSetsCircleTheCentreOnOppositeSides) {
  // Levels of 25 on a 400 x 400 frame put both centres 156 from the middle, further apart than
  // the sets are wide (rings up to 142). Two calls on, the phase has turned by twice the drawn
  // speed; the frame is as clipped on one side as on the other, so the sets' middles mirror
  // each other through the frame's centre.
  int32_t offTheMiddleRow = 0;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const auto lit = Lit(FreshShot({.slot = kHypnotizer, .prepare = [](Stage& s) {
      s.SetLevels(25, 25, 25, 100);
    }, .calls = 3, .seed = seed, .width = 400, .height = 400}));
    ASSERT_FALSE(lit.empty());
    const auto [a, b] = TwoClusters(lit, 400);
    EXPECT_NEAR(a.x + b.x, 400, 3) << "seed " << seed;
    EXPECT_NEAR(a.y + b.y, 400, 3) << "seed " << seed;
    offTheMiddleRow += std::fabs(a.y - 200) > 10;
  }
  EXPECT_GE(offTheMiddleRow, 3);
}

TEST(Sparkles, TwoBurstsOnOppositePointsOfTheOrbitReachingNoFurtherThanTheirHalvingRays) {
  // Phase 0: the orbit points are (320 +- 160, 240). In silence every ray is a point.
  EXPECT_EQ(Lit(FreshShot({.slot = kSparkles})),
            (std::vector<int32_t>{240 * 640 + 160, 240 * 640 + 480}));
  // Two calls later the phase has moved on by twice the drawn speed, at least 0.069 either
  // way: the two points stay on the orbit of radius 160, opposite each other across the centre.
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const auto points = Lit(FreshShot({.slot = kSparkles, .calls = 3, .seed = seed}));
    ASSERT_EQ(points.size(), 2u) << seed;
    const int32_t x0 = points[0] % 640, y0 = points[0] / 640;
    const int32_t x1 = points[1] % 640, y1 = points[1] / 640;
    EXPECT_NEAR(std::hypot(x0 - 320, y0 - 240), 160, 1.5) << seed;
    EXPECT_NEAR(x0 + x1, 640, 1) << "opposite across the centre, seed " << seed;
    EXPECT_NEAR(y0 + y1, 480, 1) << "opposite across the centre, seed " << seed;
    EXPECT_LT(y0, 230) << "the orbit has turned, seed " << seed;
  }
  // Level 20: rays of 480 x 20 / 128 = 75, then 37.5, 18.75 and 9.375: at most 140.6 away.
  const auto lit = Lit(FreshShot(
      {.slot = kSparkles, .prepare = [](Stage& s) { s.SetLevels(20, 20, 20, 100); }}));
  int32_t nearLeft = 0, nearRight = 0;
  for (const int32_t i : lit) {
    const bool left = std::hypot(i % 640 - 160, i / 640 - 240) < 142;
    const bool right = std::hypot(i % 640 - 480, i / 640 - 240) < 142;
    EXPECT_TRUE(left || right) << i % 640 << "," << i / 640;
    nearLeft += left;
    nearRight += right;
  }
  EXPECT_GT(nearLeft, 50);
  EXPECT_GT(nearRight, 50);
}

TEST(PaintDrops, DropCountFollowsTheSquareOfTheLevelOverThePeak) {
  // floor(120 (level / peak)^2) - 5 drops, none while there is no peak; seven random numbers a
  // drop: colour, then for x and for y a share, a distance and a side.
  const struct {
    double level, peak;
    int32_t drops;
  } cases[] = {{5, 10, 25}, {10, 10, 115}, {2.5, 10, 2}, {2, 10, 0}, {50, 0, 0}};
  for (const auto& c : cases) {
    Stage stage(640, 480, 5);
    stage.SetLevels(c.level, c.level, c.level, c.peak);
    stage.Call(kPaintDrops);
    EXPECT_EQ(DrawsSince(5), 7 * c.drops) << c.level << " / " << c.peak;
    const auto lit = stage.Lit();
    EXPECT_EQ(lit.empty(), c.drops == 0);
    // Drops land within half the size of the centre, denser near it: most in the middle
    // quarter of the area.
    const auto middle = std::count_if(lit.begin(), lit.end(), [](int32_t i) {
      return std::abs(i % 640 - 320) <= 160 && std::abs(i / 640 - 240) <= 120;
    });
    if (c.drops >= 25) {
      EXPECT_GT(2 * middle, static_cast<long>(lit.size()));
    }
  }
}

TEST(PaintDrops, ADropIsNearlyWhiteInTheMiddleAndTintedAtTheRim) {
  // At 0.23 of the peak there is one drop: ten rings OR-ed in its palette colour, scaled from
  // 8 at the centre (the colour's 0x0F channels become 0x78 there) down to 1.75 at radius 4.5
  // (0x1A), its strong channel 255 throughout.
  for (const uint32_t seed : {1u, 2u, 3u}) {
    Stage stage(640, 480, seed);
    stage.SetLevels(2.3, 2.3, 2.3, 10);
    stage.Call(kPaintDrops);
    const auto lit = stage.Lit();
    ASSERT_FALSE(lit.empty());
    uint32_t faintest = 255, brightest = 0;
    for (const int32_t i : lit) {
      const uint32_t c = stage.scene.frameBuffer[i];
      const uint32_t channels[3] = {c >> 16 & 255, c >> 8 & 255, c & 255};
      const uint32_t strong = std::max({channels[0], channels[1], channels[2]});
      EXPECT_EQ(strong, 255u);
      for (const uint32_t channel : channels) {
        if (channel == strong) continue;
        faintest = std::min(faintest, channel);
        brightest = std::max(brightest, channel);
      }
    }
    EXPECT_EQ(faintest, 0x1Au) << "the rim, seed " << seed;
    EXPECT_GE(brightest, 0x78u) << "the middle, seed " << seed;
  }
}

}  // namespace
}  // namespace corvex::testing
