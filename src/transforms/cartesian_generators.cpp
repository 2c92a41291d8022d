// The transforms that take a pixel's source from its column and row directly: a zoom, slides,
// shifts, tiles, blurs and a fold. Parameters are drawn in a fixed order and every expression
// keeps its order, so that a seed gives the same map on every build.
#include <cmath>
#include <vector>

#include "base/random.h"
#include "transforms/generator_loop.h"

namespace corvex {

namespace {
// 0.5 - 2 * tile on the even tiles of a row or column, its negative on the odd ones.
double TileShift(int32_t position, int32_t tile) {
  return (position / tile) % 2 == 0 ? 0.5 - 2 * tile : 2 * tile - 0.5;
}

// value(i) for i = 0 to count - 1: what a generator computes once per column or row for
// all the pixels that share it.
template <typename Value>
std::vector<double> PerLine(int32_t count, Value value) {
  std::vector<double> values(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) values[static_cast<size_t>(i)] = value(i);
  return values;
}
}  // namespace

void TransformManager::FastZoomer() {
  const double s = 1 / (RandomInt(7) * 0.03571428571428571 + 1.1);
  const double halfWidth = 0.5 * mapWidth, halfHeight = 0.5 * mapHeight;
  ForEachPixel([&](double x, double y) {
    return SourcePoint{(x - halfWidth) * s + halfWidth, (y - halfHeight) * s + halfHeight};
  });
  SetFlags(0, 1, 1);
}

void TransformManager::UndulatingSlider() {
  const int32_t w = mapWidth;
  const double f = RandomInt(3) * 0.5 * 0.04;
  const double m = RandomInt(5) + 0.9;
  const double d = RandomInt(1) == 0 ? 1 : -1;
  const double c = RandomInt(3) * 0.1 + 0.4;
  // The slide depends on the column alone: one cosine per column, not per pixel.
  const std::vector<double> columnSource = PerLine(w, [&](int32_t x) -> double {
    // The 11 columns at the edge the picture slides away from are whole columns copied from
    // near the other edge: W - 12 to W - 2 on the left, 2 to 12 on the right.
    if (d == 1 && x < 11) return x + w - 12;
    if (d == -1 && x > w - 12) return x + 13 - w;
    const double px = x;
    return px - d * m * (1 + c * std::cos(f * px));
  });
  ForEachPixel([&](int32_t x, double y) { return SourcePoint{columnSource[x], y}; });
  SetFlags(RandomInt(2) == 0 ? 0 : 1, 1, 1);
}

void TransformManager::FuzzyFade() {
  ForEachPixel([&](int32_t x, int32_t y) {
    const double d = (x + y) % 2 == 0 ? 0.5 : -0.5;
    return SourcePoint{x + d, y + d};
  });
  SetFlags(0, 0, 1);
}

void TransformManager::ShinyTiles() {
  const int32_t tile = RandomInt(3) * 5 + 1;
  ForEachPixel([&](int32_t x, int32_t y) {
    return SourcePoint{x + TileShift(x, tile), y + TileShift(y, tile)};
  });
  SetFlags(1, 0, 0);
}

void TransformManager::DiagonalFade() {
  const double a = RandomInt(10) * 0.2;
  double ux = RandomInt(10) * 0.2 * a + 0.1;
  const double b = RandomInt(10) * 0.2;
  double uy = RandomInt(10) * 0.2 * b + 0.1;
  if (RandomInt(1) != 0) ux = -ux;
  if (RandomInt(1) != 0) uy = -uy;
  ForEachPixel([&](double x, double y) { return SourcePoint{x + ux, y + uy}; });
  SetFlags(1, 0, 0);
}

void TransformManager::Kaleidoscope() {
  const double w = mapWidth, h = mapHeight;
  const double k = (RandomInt(2) * 0.5 + 1.7) / mapWidth;
  ForEachPixel([&](double x, double y) {
    const double cx = (x - 0.5 * w) * k;  // the centred, scaled position
    const double cy = (y - 0.5 * h) * k;
    const double fold = std::fabs(cx * cx - cy * cy);
    return SourcePoint{(std::sqrt(fold) * 0.5 + 0.505) * w,
                       (std::sqrt(std::fabs(cx * cy)) - 0.01 + 1.0) * 0.5 * h};
  });
  SetFlags(0, 1, 1);
}

void TransformManager::SpiralTiles() {
  const double a = 320.0 / (static_cast<int64_t>(mapWidth) * mapWidth);
  const double b = 240.0 / (static_cast<int64_t>(mapHeight) * mapHeight);
  const int32_t c1 = 8 * RandomInt(8) + 32;
  const int32_t c2 = c1 + 8 * RandomInt(4) - 16;
  const int32_t form = RandomInt(1);
  // Each cosine depends on the row or the column alone: one per row and one per column.
  const std::vector<double> across =
      PerLine(mapHeight, [&](int32_t y) { return std::cos(static_cast<double>(y) * c1 * b); });
  const std::vector<double> down =
      PerLine(mapWidth, [&](int32_t x) { return std::cos(static_cast<double>(x) * c2 * a); });
  ForEachPixel([&](int32_t x, int32_t y) {
    const double px = x, py = y;
    if (form == 0) {
      // Stepped: every source 0.8 pixel off in both directions.
      return SourcePoint{across[y] > 0 ? px - 0.8 : px + 0.8, down[x] > 0 ? py - 0.8 : py + 0.8};
    }
    return SourcePoint{px + across[y], py + down[x]};
  });
  SetFlags(1, 0, 0);
}

void TransformManager::PlainSineWave() {
  const double h = RandomInt(8) - 3.9;
  const double phase = RandomInt(10000) * 0.01;
  const double f = 4.8 / mapWidth;
  const double amplitude = (RandomInt(4) - 1.5) * 1280 / mapWidth;
  // The wave depends on the column alone: one cosine per column.
  const std::vector<double> wave = PerLine(mapWidth, [&](int32_t x) {
    return amplitude * std::cos(static_cast<double>(x) * f + phase);
  });
  ForEachPixel([&](int32_t x, double y) { return SourcePoint{x - h, y + wave[x]}; });
  SetFlags(1, 0, 0);
}

}  // namespace corvex
