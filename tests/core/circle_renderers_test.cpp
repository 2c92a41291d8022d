// Spectral Spheres, Hypnotizer, Sparkles and Paint Drops: where their circles and rays go and
// how many drops fall. Each scenario runs in a fresh process.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "fresh_process.h"
#include "renderer_harness.h"
#include "renderers/walks.h"

namespace corvex::testing {
namespace {

constexpr int32_t kSpheres = 4, kHypnotizer = 5, kSparkles = 7, kPaintDrops = 8;

struct Circle {
  double cx, cy, r;
};

// The pixels a set of circles covers on a frame, as the line and circle walks place them.
std::set<int32_t> CirclePixels(const std::vector<Circle>& circles, int32_t width, int32_t height) {
  std::set<int32_t> pixels;
  for (const Circle& c : circles) {
    WalkCircle(c.cx, c.cy, c.r, [&](double x, double y) {
      if (x > -1 && y > -1 && x < width && y < height) {
        pixels.insert(static_cast<int32_t>(y) * width + static_cast<int32_t>(x));
      }
    });
  }
  return pixels;
}

std::set<int32_t> AsSet(const std::vector<int32_t>& lit) { return {lit.begin(), lit.end()}; }

enum class Spectrum : int32_t { kSilence, kEqualBands, kLowestBand };

struct SpheresArgs {
  Spectrum spectrum;
  int32_t width;
};

std::vector<int32_t> SpheresFor(const SpheresArgs& args) {
  const Spectrum spectrum = args.spectrum;
  Stage stage(args.width, 480);
  if (spectrum == Spectrum::kEqualBands) {
    // 1200 of weighted energy (bin x value) in one bin of each band.
    for (const int32_t bin : {20, 40, 60, 100, 120}) stage.scene.spectrumSum[bin] = 1200.0 / bin;
  } else if (spectrum == Spectrum::kLowestBand) {
    for (int32_t bin = 1; bin <= 28; ++bin) stage.scene.spectrumSum[bin] = 300;
  }
  stage.scene.sceneJustStarted = 1;
  stage.Call(kSpheres);
  return stage.Lit();
}

TEST(SpectralSpheres, FiveCirclesShareTheWidthByWeightedBandEnergy) {
  const std::vector<Circle> fifths{
      {64, 240, 64}, {192, 240, 64}, {320, 240, 64}, {448, 240, 64}, {576, 240, 64}};
  EXPECT_EQ(AsSet(RunFresh(&SpheresFor, SpheresArgs{Spectrum::kEqualBands, 640})),
            CirclePixels(fifths, 640, 480));
  // 641 wide: edges 128.2, 256.4, 384.6 and 512.8 are cut to whole pixels, and the last circle
  // (129 wide) halves to radius 64.
  EXPECT_EQ(AsSet(RunFresh(&SpheresFor, SpheresArgs{Spectrum::kEqualBands, 641})),
            CirclePixels(fifths, 641, 480));
  // All energy in the first band: one circle across the whole width; the other four are
  // single points at x = 640, outside the frame.
  EXPECT_EQ(AsSet(RunFresh(&SpheresFor, SpheresArgs{Spectrum::kLowestBand, 640})),
            CirclePixels({{320, 240, 320}}, 640, 480));
  // Silence: four single points at (0, 240) and the last circle across the width.
  EXPECT_EQ(AsSet(RunFresh(&SpheresFor, SpheresArgs{Spectrum::kSilence, 640})),
            CirclePixels({{0, 240, 0}, {320, 240, 320}}, 640, 480));
}

struct RingsArgs {
  int32_t height;
  int32_t calls;
};


// The rings of the last of a number of silent calls, both centres on the frame's centre.
std::vector<int32_t> HypnotizerRings(const RingsArgs& args) {
  Stage stage(640, args.height);
  stage.scene.sceneJustStarted = 1;
  for (int32_t call = 0; call < args.calls; ++call) stage.Call(kHypnotizer);
  return stage.Lit();
}

std::vector<uint32_t> HypnotizerPicture(const int32_t& calls) {
  Stage stage(640, 480);
  stage.scene.sceneJustStarted = 1;
  for (int32_t call = 0; call < calls; ++call) stage.Call(kHypnotizer);
  return stage.Picture();
}

std::vector<Circle> Concentric(double cx, double cy, int32_t first, int32_t step, int32_t count) {
  std::vector<Circle> circles;
  for (int32_t k = 0; k < count; ++k) circles.push_back({cx, cy, double(first + k * step)});
  return circles;
}

TEST(Hypnotizer, TenRingsSixteenApartFlowOutwardAndSmallFramesKeepARingPerPixel) {
  // 480 high: n = 160, d = 16; the offset runs 1, 2, ..., 15, 0, 1 over the calls.
  for (const int32_t calls : {1, 7, 15, 16, 17}) {
    const int32_t offset = calls % 16;
    EXPECT_EQ(AsSet(RunFresh(&HypnotizerRings, RingsArgs{480, calls})),
              CirclePixels(Concentric(320, 240, offset + 1, 16, 10), 640, 480))
        << "after " << calls << " calls";
  }
  // Frames under 30 pixels high keep a spacing of 1: 20 high gives n = 6, rings 1 to 5.
  EXPECT_EQ(AsSet(RunFresh(&HypnotizerRings, RingsArgs{20, 3})),
            CirclePixels(Concentric(320, 10, 1, 1, 5), 640, 20));
  // Under 6 pixels high there is no ring at all.
  EXPECT_TRUE(RunFresh(&HypnotizerRings, RingsArgs{5, 3}).empty());

  // The innermost ring is drawn about twice as bright as the outermost (factors 1.19 and 0.6).
  const auto picture = RunFresh(&HypnotizerPicture, 1);
  ASSERT_EQ(picture.size(), 640u * 480u);
  const uint32_t inner = picture[240 * 640 + 320 + 2], outer = picture[240 * 640 + 320 + 146];
  for (const int32_t shift : {0, 8, 16}) {
    EXPECT_GE((inner >> shift) & 255, (outer >> shift) & 255);
  }
  EXPECT_NE(outer, 0u);
}

struct SparkleArgs {
  double level;
};

std::vector<int32_t> SparklesFor(const SparkleArgs& args) {
  Stage stage(640, 480);
  stage.SetLevels(args.level, args.level, args.level, 100);
  stage.scene.sceneJustStarted = 1;
  stage.Call(kSparkles);
  return stage.Lit();
}

TEST(Sparkles, TwoBurstsOnOppositePointsOfTheOrbitReachingNoFurtherThanTheirHalvingRays) {
  // Phase 0: the orbit points are (320 +- 160, 240). In silence every ray is a point.
  EXPECT_EQ(RunFresh(&SparklesFor, SparkleArgs{0}),
            (std::vector<int32_t>{240 * 640 + 160, 240 * 640 + 480}));
  // Level 20: rays of 480 x 20 / 128 = 75, then 37.5, 18.75 and 9.375: at most 140.6 away.
  const auto lit = RunFresh(&SparklesFor, SparkleArgs{20});
  EXPECT_GT(lit.size(), 200u);
  int32_t nearLeft = 0, nearRight = 0;
  for (const int32_t i : lit) {
    const double x = i % 640, y = i / 640;
    const double left = std::hypot(x - 160, y - 240), right = std::hypot(x - 480, y - 240);
    EXPECT_TRUE(left < 142 || right < 142) << x << "," << y;
    nearLeft += left < 142;
    nearRight += right < 142;
  }
  EXPECT_GT(nearLeft, 50);
  EXPECT_GT(nearRight, 50);
}

struct DropArgs {
  double levelMix, peak;
};

struct DropResult {
  int32_t draws = 0;
  int32_t lit = 0;
  int32_t inTheMiddle = 0;  // lit pixels within a quarter of the size of the centre
};

DropResult PaintDropsFor(const DropArgs& args) {
  Stage stage(640, 480);
  stage.SetLevels(args.levelMix, args.levelMix, args.levelMix, args.peak);
  stage.scene.sceneJustStarted = 1;
  SeedRandom(5);
  stage.Call(kPaintDrops);
  DropResult result;
  result.draws = DrawsSince(5);
  for (const int32_t i : stage.Lit()) {
    ++result.lit;
    const int32_t x = i % 640, y = i / 640;
    result.inTheMiddle += std::abs(x - 320) <= 160 && std::abs(y - 240) <= 120;
  }
  return result;
}

TEST(PaintDrops, DropCountFollowsTheSquareOfTheLevelOverThePeak) {
  // Seven random numbers a drop: colour, then for x and for y a share, a distance and a side.
  // q = 120 (level / peak)^2 and floor(q) - 5 drops.
  const std::pair<DropArgs, int32_t> cases[] = {
      {{5, 10}, 25},   // q = 30
      {{10, 10}, 115},  // at the peak
      {{2.5, 10}, 2},  // q = 7.5
      {{2, 10}, 0},    // q = 4.8
      {{50, 0}, 0},    // no peak yet: the ratio counts as 0
  };
  for (const auto& [args, drops] : cases) {
    const auto result = RunFresh(&PaintDropsFor, args);
    EXPECT_EQ(result.draws, 7 * drops) << args.levelMix << " / " << args.peak;
    EXPECT_EQ(result.lit > 0, drops > 0);
    // Drops land anywhere within half the size of the centre, but denser near it: about 70 %
    // of them in the middle quarter of the frame's area.
    if (drops >= 25) {
      EXPECT_GT(result.inTheMiddle * 2, result.lit);
    }
  }
}

}  // namespace
}  // namespace corvex::testing
