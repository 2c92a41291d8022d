#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "transforms/map_rows.h"

namespace corvex::testing {
namespace {

constexpr int32_t kWidth = 37, kHeight = 23;  // odd: the vector steps leave a tail
constexpr int kPad = 8;                       // entries past the row that must stay untouched

// Source positions that probe every branch of the sampling rule: the bounds themselves and
// the doubles just beyond them, negative zero, NaN, infinities, huge values whose
// truncation would overflow, integral and half positions, and random ones around the map.
std::vector<double> Probes(std::mt19937_64& random, double last) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> values = {0.0, -0.0, last, std::nextafter(last, inf),
                                std::nextafter(0.0, -inf), -0.000001, 1e300, -1e300, inf, -inf,
                                std::nan(""), 2147483648.0, 0.5, last - 0.5, 1.0, 3.999999};
  std::uniform_real_distribution<double> around(-2.0, last + 2.0);
  while (values.size() < 160) values.push_back(around(random));
  return values;
}

struct SampledRow {
  std::vector<uint32_t> offsets;
  std::vector<uint8_t> weights;
};

SampledRow Sample(const MapRowKernels& kernels, const std::vector<double>& sx,
                  const std::vector<double>& sy, int32_t count) {
  SampledRow row{std::vector<uint32_t>(static_cast<size_t>(count + kPad), 0xDEADBEEF),
                 std::vector<uint8_t>(static_cast<size_t>(4 * (count + kPad)), 0xAB)};
  kernels.sample(sx.data(), sy.data(), count, kWidth, kHeight, row.offsets.data(),
                 row.weights.data());
  return row;
}

// Each version's entries are the scalar rule's to the bit at every row length, with the
// positions shuffled so that every kind of probe meets every lane and the scalar tail; the
// entries past the row are left alone.
TEST(MapRowKernels, SamplingGivesTheScalarEntriesForEveryPositionAndRowLength) {
  std::mt19937_64 random(11);
  std::vector<double> xs = Probes(random, kWidth - 1), ys = Probes(random, kHeight - 1);
  const MapRowKernels scalar = MapRowKernelVersions().front();
  for (const MapRowKernels& version : MapRowKernelVersions()) {
    for (int round = 0; round < 40; ++round) {
      std::shuffle(xs.begin(), xs.end(), random);
      std::shuffle(ys.begin(), ys.end(), random);
      for (int32_t count : {0, 1, 3, 4, 5, 7, 8, 9, 31, 159}) {
        const SampledRow want = Sample(scalar, xs, ys, count);
        const SampledRow got = Sample(version, xs, ys, count);
        for (int32_t i = 0; i < count + kPad; ++i) {
          ASSERT_EQ(got.offsets[i], want.offsets[i])
              << version.name << " pixel " << i << " of " << count << " at " << xs[i] << ","
              << ys[i];
          ASSERT_EQ(std::memcmp(&got.weights[4 * i], &want.weights[4 * i], 4), 0)
              << version.name << " weights of pixel " << i << " of " << count << " at "
              << xs[i] << "," << ys[i];
        }
      }
    }
  }
}

// The rule itself, through the scalar version, on positions whose entries are known.
TEST(MapRowKernels, SamplingKeepsTheBoundsInsideAndNotANumberOutside) {
  const std::vector<double> sx = {kWidth - 1, 2.5, 0.0, -0.0, std::nan(""), 3.25, kWidth - 0.5};
  const std::vector<double> sy = {kHeight - 1, 1.5, 0.0, 4.0, 1.0, 0.75, 0.0};
  for (const MapRowKernels& version : MapRowKernelVersions()) {
    const SampledRow row = Sample(version, sx, sy, 7);
    const uint8_t want[7][4] = {{255, 0, 0, 0}, {63, 63, 63, 63}, {255, 0, 0, 0},
                                {255, 0, 0, 0}, {0, 0, 0, 0},     {47, 15, 143, 47},
                                {0, 0, 0, 0}};
    const uint32_t offsets[7] = {4 * (kWidth * kHeight - 1), 4 * (kWidth + 2), 0,
                                 4 * (4 * kWidth), 0, 4 * 3, 0};
    for (int i = 0; i < 7; ++i) {
      EXPECT_EQ(row.offsets[i], offsets[i]) << version.name << " pixel " << i;
      EXPECT_EQ(std::memcmp(&row.weights[4 * i], want[i], 4), 0) << version.name << " " << i;
    }
  }
}

// Distances from centres on, between and off the columns, on rows above, on and below the
// centre, at every row length: the scalar bits, and nothing written past the row.
TEST(MapRowKernels, DistancesGiveTheScalarBitsForAnyCentreAndRowLength) {
  const MapRowKernels scalar = MapRowKernelVersions().front();
  for (const MapRowKernels& version : MapRowKernelVersions()) {
    for (double centerX : {0.0, 18.5, 240.125, -3.75, 1919.0}) {
      for (double dy : {0.0, -0.5, 7.25, -539.0, 1e-9}) {
        for (int32_t count : {0, 1, 3, 5, 8, 13, 37, 1921}) {
          std::vector<double> want(static_cast<size_t>(count + kPad), -1.0), got = want;
          scalar.distances(dy, centerX, count, want.data());
          version.distances(dy, centerX, count, got.data());
          for (int32_t x = 0; x < count + kPad; ++x) {
            ASSERT_EQ(std::memcmp(&got[x], &want[x], sizeof(double)), 0)
                << version.name << " column " << x << " of " << count << ", centre " << centerX
                << ", dy " << dy;
          }
        }
      }
    }
  }
}

// The points of a polar row from radii, cosines and sines of every kind (negative zero, NaN,
// infinities, huge and tiny values among ordinary ones): the scalar bits at every row length,
// and nothing written past the row.
TEST(MapRowKernels, PointsGiveTheScalarBitsForAnyValuesAndRowLength) {
  std::mt19937_64 random(23);
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> specials = {0.0, -0.0, std::nan(""), inf, -inf, 1e300, -1e-300, 1.0, -1.0};
  std::uniform_real_distribution<double> radius(-3.0, 1200.0), unit(-1.0, 1.0);
  const auto values = [&](auto& distribution) {
    std::vector<double> v(200);
    for (size_t i = 0; i < v.size(); ++i) {
      v[i] = i % 7 == 3 ? specials[i % specials.size()] : distribution(random);
    }
    std::shuffle(v.begin(), v.end(), random);
    return v;
  };
  const MapRowKernels scalar = MapRowKernelVersions().front();
  for (const MapRowKernels& version : MapRowKernelVersions()) {
    for (int round = 0; round < 10; ++round) {
      const std::vector<double> radii = values(radius), cosines = values(unit),
                                sines = values(unit);
      for (int32_t count : {0, 1, 3, 4, 7, 8, 9, 15, 17, 191}) {
        std::vector<double> wantX(static_cast<size_t>(count + kPad), -7.0), wantY = wantX,
                                                                             gotX = wantX,
                                                                             gotY = wantX;
        scalar.points(960.5, -540.25, radii.data(), cosines.data(), sines.data(), count,
                      wantX.data(), wantY.data());
        version.points(960.5, -540.25, radii.data(), cosines.data(), sines.data(), count,
                       gotX.data(), gotY.data());
        // Any NaN is as good as another: the sampling rule puts every one outside.
        const auto same = [](double a, double b) {
          return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
        };
        for (int32_t x = 0; x < count + kPad; ++x) {
          ASSERT_TRUE(same(gotX[x], wantX[x]) && same(gotY[x], wantY[x]))
              << version.name << " point " << x << " of " << count << ": (" << gotX[x] << ", "
              << gotY[x] << ") for (" << wantX[x] << ", " << wantY[x] << ")";
        }
      }
    }
  }
}

}  // namespace
}  // namespace corvex::testing
