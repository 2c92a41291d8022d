// The transforms built around a centre point: each pixel's distance r and angle phi from the
// centre are turned and stretched into a radius and an angle, and the pixel is taken from the
// point so found. Parameters are drawn in a fixed order and every expression keeps its order,
// so that a seed gives the same map on every build.
#include <atomic>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "base/random.h"
#include "transforms/generator_loop.h"

namespace corvex {

namespace {
// The number of lobes of the two flower transforms, 1 to 8: the first draw counts double.
int32_t DrawLobes() {
  const int32_t doubled = RandomInt(2);
  const int32_t second = RandomInt(2);
  const int32_t third = RandomInt(1);
  return 2 * doubled + second + third + 1;
}

// A centre near the middle, within an eighth of the picture's size.
double CentreNearMiddle(int32_t size) { return RandomInt(size) * 0.25 + 0.375 * size; }

// A running sum over a map's values in build order, turning each value into the sum up to
// and including it, that trails the pass which computes the values and leads the pass which
// reads the sums: rows are reported done in any order on any thread; the loops of both passes
// add up the next row alongside their calls whenever it is done and no other thread is adding,
// and Ready() adds up whatever a reader still needs. The same additions in the same order as
// one pass.
class TrailingSum {
 public:
  TrailingSum(double* values, int32_t rows, int32_t width)
      : values_(values), rows_(rows), width_(width), done_(static_cast<size_t>(rows)) {}
  void RowDone(int32_t y) { done_[static_cast<size_t>(y)].store(1, std::memory_order_release); }
  // Runs loop(0) to loop(width - 1) and, where the sum is free and its next row done, adds that
  // row up in the same loop: the additions wait on each other, the loop's calls do not, so the
  // core does both in the time of the calls alone.
  template <typename Loop>
  void Alongside(Loop&& loop) {
    double* row = nullptr;
    if (!busy_.exchange(true, std::memory_order_acquire)) {
      if (next_ < rows_ && done_[static_cast<size_t>(next_)].load(std::memory_order_acquire)) {
        row = values_ + static_cast<size_t>(next_) * width_;
      } else {
        busy_.store(false, std::memory_order_release);
      }
    }
    if (row == nullptr) {
      for (int32_t x = 0; x < width_; ++x) loop(x);
      return;
    }
    double sum = sum_;
    for (int32_t x = 0; x < width_; ++x) {
      loop(x);
      row[x] = sum = sum + row[x];
    }
    sum_ = sum;
    summed_.store(++next_, std::memory_order_release);
    busy_.store(false, std::memory_order_release);
  }
  // Returns once the first `rows` rows are summed, adding them up here unless another thread
  // is; every one of them must be done.
  void Ready(int32_t rows) {
    while (summed_.load(std::memory_order_acquire) < rows) {
      // Waiting reads the flag and only tries to take it once it is free, so that the waiter
      // does not keep pulling the line away from the thread that sums.
      if (busy_.load(std::memory_order_relaxed) ||
          busy_.exchange(true, std::memory_order_acquire)) {
        SpinPause();
        continue;
      }
      while (next_ < rows) SumRow();
      busy_.store(false, std::memory_order_release);
    }
  }

 private:
  static void SpinPause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }
  void SumRow() {
    double* row = values_ + static_cast<size_t>(next_) * width_;
    // The sum is carried in a local: a member could be the very double a store to the row
    // writes, so it would be stored and read back at every pixel.
    double sum = sum_;
    for (int32_t x = 0; x < width_; ++x) row[x] = sum = sum + row[x];
    sum_ = sum;
    summed_.store(++next_, std::memory_order_release);
  }

  double* values_;
  int32_t rows_, width_;
  std::vector<std::atomic<uint8_t>> done_;
  // What waiting threads read, on a line of its own, apart from what the summing thread writes.
  alignas(64) std::atomic<bool> busy_{false};
  std::atomic<int32_t> summed_{0};  // rows summed, for the threads that wait on them
  alignas(64) int32_t next_ = 0;  // the rows before it are summed; both belong to the busy thread
  double sum_ = 0;
};
}  // namespace

void TransformManager::WavySpiral() {
  const int32_t w = mapWidth, h = mapHeight;
  const double cx = RandomInt(3 * w / 4) + 0.125 * w;
  const double cy = RandomInt(3 * h / 4) + 0.125 * h;
  const double zoom = 1 + (RandomInt(5) - 2) * 0.005;
  const double freq = (RandomInt(20) + 1) * 3.14;
  const double k0 = (RandomInt(10) - 4.7) * 0.006666666666666667;
  const double wave = (RandomInt(10) - 5) * k0 * 0.2;
  const double twist = RandomInt(5) == 0 ? 5 * k0 : k0;
  struct Terms {
    double ripple, twist;
  };
  ForEachPolarPixel(
      cx, cy,
      [=](double r) {
        const double u = r / w;
        return Terms{wave * std::cos(u * freq), twist * ((1 - u) * (1 - u))};
      },
      [=](const Polar& p, const Terms& t) {
        return PolarPlace{p.r * zoom, p.phi + t.ripple + t.twist};
      });
  SetFlags(RandomInt(4) == 0 ? 0 : 1, 0, 0);
}

void TransformManager::ParabolicZoomer() {
  const double cx = 0.5 * mapWidth, cy = 0.5 * mapHeight;
  const double turn = (RandomInt(5) - 2.7) * 0.016666666666666666;
  const int32_t zoomOn = RandomInt(1);
  const int32_t zoomDivisor = RandomInt(3) + 1;
  const double p = zoomOn * 5.0 / zoomDivisor;
  const double c = RandomInt(5) * 0.2 + p;
  const double inverseWidth = 1.0 / mapWidth;
  ForEachPolarPixel(
      cx, cy, [=](double r) { return r * (1 - r * inverseWidth * c); },
      [=](const Polar& q, double rho) { return PolarPlace{rho, q.phi + turn}; });
  SetFlags(RandomInt(2) == 1 ? 1 : 0, 1, 0);
}

void TransformManager::Bubble() {
  const double cx = 0.5 * mapWidth, cy = 0.5 * mapHeight;
  const double a = (RandomInt(10) - 2) * 0.16666666666666666 + 0.2;
  const double f = RandomInt(2) * 3.0 + 1.0;
  const double inverseWidth = 1.0 / mapWidth;
  ForEachPolarPixel(
      cx, cy, [=](double r) { return r - (0.5 * std::sin(r * inverseWidth * f) + a); },
      [](const Polar& q, double rho) { return PolarPlace{rho, q.phi}; });
  SetFlags(RandomInt(2) == 1 ? 1 : 0, 0, 0);
}

void TransformManager::TranslateAndSpin() {
  const double cx = RandomInt(mapWidth) / 2 + 0.25 * mapWidth;
  const double cy = RandomInt(mapHeight) / 2 + 0.25 * mapHeight;
  const double spin = (5 * RandomInt(6) - 14) * 0.02;
  const double drift = RandomInt(1) == 0 ? 0.9 : -0.9;
  const double inverseWidth = 1.0 / mapWidth;
  ForEachPolarPixel(
      cx, cy, [=](double r) { return spin * std::pow(1 - r * inverseWidth, 8.0); },
      [](const Polar& q, double turn) { return PolarPlace{q.r, q.phi + turn}; }, drift);
  SetFlags(RandomInt(2) == 0 ? 0 : 1, 0, 0);
}

void TransformManager::FastReverseSpiral() {
  const double cx = CentreNearMiddle(mapWidth);
  const double cy = CentreNearMiddle(mapHeight);
  const double spin = (4 * RandomInt(4) + 4) * 0.02;
  const double q = 2.0 / (2 * RandomInt(1) + 1);
  const double k = (1.0 / mapWidth) * q;
  // On the ring where the base is 0 the power is infinite and the source not a number,
  // which the sampling rule counts as outside: that ring stays black.
  ForEachPolarPixel(
      cx, cy, [=](double r) { return spin * std::pow(1 - std::fabs(r * k - 0.4), -2.0); },
      [](const Polar& p, double turn) { return PolarPlace{p.r, p.phi + turn}; });
  SetFlags(RandomInt(3) == 0 ? 0 : 1, 0, 0);
}

void TransformManager::WhatYouGetWithATypo() {
  const double cx = CentreNearMiddle(mapWidth);
  const double cy = CentreNearMiddle(mapHeight);
  const int32_t lobes = DrawLobes();
  const int32_t waves = RandomInt(8) + 6;
  const double g = 0.00008 / mapWidth * 320;
  const auto step = [=](double phi) { return g * std::sin(waves * phi); };
  const auto place = [](double r, double phi, double cosine, double offset) {
    return PolarPlace{r * (1 + 0.02 * cosine), phi + offset};
  };
  // The angular offset runs on over the pixels in build order, never reset within a build,
  // so it drifts across the picture; it starts again at 0 with every build. The angles and
  // steps are computed on all threads, the running sum in order behind them, and the entries
  // on all threads again: the same additions in the same order as one pass.
  const size_t count = static_cast<size_t>(mapPixelCount);
  std::unique_ptr<double[]> offsets(new (std::nothrow) double[count]);
  if (offsets == nullptr) {
    // Without the memory for them: one pass in order on this thread.
    double offset = 0;
    ForEachPixel(
        [&](double x, double y) {
          const Polar p = PolarAbout(x, y, cx, cy);
          offset = offset + step(p.phi);
          const PolarPlace q = place(p.r, p.phi, std::cos(lobes * p.phi), offset);
          return PolarSource(cx, cy, q.radius, q.angle);
        },
        1);
  } else {
    const int32_t w = mapWidth;
    // The mirror image's angle is the negative, and so is its step where the sine is odd.
    TrailingSum sum(offsets.get(), mapHeight, w);
    // A row's angles first, then the sines of their multiples: calls that do not wait for each
    // other. A mirrored row's angles are not kept: its pair's are read, negated, in their stead.
    ForEachMirroredRowBand(cy, [&](const RowPair* first, const RowPair* end) {
      std::vector<double> buffers(static_cast<size_t>(w));
      double* const angles = buffers.data();
      double* const steps = offsets.get();
      uint32_t* const entryOffsets = sourceOffsets;
      uint8_t* const entryWeights = sourceWeights;
      for (const RowPair* pair = first; pair != end; ++pair) {
        const double dy = pair->y - cy;
        const size_t row = static_cast<size_t>(pair->y) * w;
        sum.Alongside([=](int32_t x) { angles[x] = std::atan2(dy, x - cx); });
        // The stores go out to memory while the calls run.
        double* const mirrored =
            pair->mirror >= 0 ? &steps[static_cast<size_t>(pair->mirror) * w] : nullptr;
        sum.Alongside([=](int32_t x) {
          const double phi = angles[x];
          const double value = g * std::sin(waves * phi);
          KeepInEntry(entryOffsets, entryWeights, row + x, phi);
          steps[row + x] = value;
          if (mirrored != nullptr) mirrored[x] = kSineOddCosineEven ? -value : step(-phi);
        });
        if (mirrored != nullptr) sum.RowDone(pair->mirror);
        sum.RowDone(pair->y);
      }
    });
    // Each row's angles are read before its entries are written over them.
    ForEachPolarRow(
        cx, cy,
        KeptAngles{sourceOffsets, sourceWeights, w},
        [](double) { return NoTerms{}; },
        [=](double phi) { return AngularCosine{std::cos(lobes * phi)}; },
        [place, sums = offsets.get()](const Polar& p, NoTerms, AngularCosine c, int64_t i) {
          return place(p.r, p.phi, c.cos, sums[i]);
        },
        sum);
  }
  SetFlags(RandomInt(3) == 0 ? 0 : 1, 0, 0);
}

void TransformManager::Flower() {
  const double cx = CentreNearMiddle(mapWidth);
  const double cy = CentreNearMiddle(mapHeight);
  const double turn = (RandomInt(4) - 1.5) * 4.0 * 0.002;
  const int32_t lobes = DrawLobes();
  NoPace pace{mapWidth};
  ForEachPolarRow(
      cx, cy, [=](int32_t x, int32_t, double dy) { return std::atan2(dy, x - cx); },
      [](double) { return NoTerms{}; },
      SineCosineOfMultiple{lobes},
      [=](const Polar& p, NoTerms, AngularSineCosine t, int64_t) {
        return PolarPlace{p.r * (1 + 0.02 * t.cos), p.phi + 0.0008 * t.sin + turn};
      },
      pace);
  SetFlags(RandomInt(3) == 0 ? 0 : 1, 0, 0);
}

}  // namespace corvex
