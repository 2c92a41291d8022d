// The transforms that take a pixel's source from its column and row directly: a zoom, slides,
// shifts, tiles, blurs and a fold. Parameters are drawn in a fixed order and every expression
// keeps its order, so that a seed gives the same map on every build.
#include <cmath>

#include "base/random.h"
#include "transforms/generator_loop.h"

namespace corvex {

namespace {
// 0.5 - 2 * tile on the even tiles of a row or column, its negative on the odd ones.
double TileShift(int32_t position, int32_t tile) {
  return (position / tile) % 2 == 0 ? 0.5 - 2 * tile : 2 * tile - 0.5;
}
}  // namespace

void TransformManager::FastZoomer() {
  const double s = 1 / (RandomInt(7) * 0.03571428571428571 + 1.1);
  const double halfWidth = 0.5 * mapWidth, halfHeight = 0.5 * mapHeight;
  ForEachPixel([&] {
    sourceX = (pixelX - halfWidth) * s + halfWidth;
    sourceY = (pixelY - halfHeight) * s + halfHeight;
  });
  SetFlags(0, 1, 1);
}

void TransformManager::UndulatingSlider() {
  const int32_t w = mapWidth;
  const double f = RandomInt(3) * 0.5 * 0.04;
  const double m = RandomInt(5) + 0.9;
  const double d = RandomInt(1) == 0 ? 1 : -1;
  const double c = RandomInt(3) * 0.1 + 0.4;
  ForEachPixel([&] {
    const int32_t x = pixelIndex % w;
    sourceX = pixelX - d * m * (1 + c * std::cos(f * pixelX));
    sourceY = pixelY;
    // The 11 columns at the edge the picture slides away from are whole columns copied from
    // near the other edge: W - 12 to W - 2 on the left, 2 to 12 on the right.
    if (d == 1 && x < 11) sourceX = x + w - 12;
    if (d == -1 && x > w - 12) sourceX = x + 13 - w;
  });
  SetFlags(RandomInt(2) == 0 ? 0 : 1, 1, 1);
}

void TransformManager::FuzzyFade() {
  ForEachPixel([&] {
    const int32_t x = pixelIndex % mapWidth, y = pixelIndex / mapWidth;
    const double d = (x + y) % 2 == 0 ? 0.5 : -0.5;
    sourceX = pixelX + d;
    sourceY = pixelY + d;
  });
  SetFlags(0, 0, 1);
}

void TransformManager::ShinyTiles() {
  const int32_t tile = RandomInt(3) * 5 + 1;
  ForEachPixel([&] {
    sourceX = pixelX + TileShift(pixelIndex % mapWidth, tile);
    sourceY = pixelY + TileShift(pixelIndex / mapWidth, tile);
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
  ForEachPixel([&] {
    sourceX = pixelX + ux;
    sourceY = pixelY + uy;
  });
  SetFlags(1, 0, 0);
}

void TransformManager::Kaleidoscope() {
  const double w = mapWidth, h = mapHeight;
  const double k = (RandomInt(2) * 0.5 + 1.7) / mapWidth;
  ForEachPixel([&] {
    // The centred, scaled position stays in pixelX and pixelY.
    pixelX = (pixelX - 0.5 * w) * k;
    pixelY = (pixelY - 0.5 * h) * k;
    const double fold = std::fabs(pixelX * pixelX - pixelY * pixelY);
    sourceX = (std::sqrt(fold) * 0.5 + 0.505) * w;
    sourceY = (std::sqrt(std::fabs(pixelX * pixelY)) - 0.01 + 1.0) * 0.5 * h;
  });
  SetFlags(0, 1, 1);
}

void TransformManager::SpiralTiles() {
  const double a = 320.0 / (static_cast<int64_t>(mapWidth) * mapWidth);
  const double b = 240.0 / (static_cast<int64_t>(mapHeight) * mapHeight);
  const int32_t c1 = 8 * RandomInt(8) + 32;
  const int32_t c2 = c1 + 8 * RandomInt(4) - 16;
  const int32_t form = RandomInt(1);
  ForEachPixel([&] {
    const double across = std::cos(pixelY * c1 * b);
    const double down = std::cos(pixelX * c2 * a);
    if (form == 0) {
      // Stepped: every source 0.8 pixel off in both directions.
      sourceX = across > 0 ? pixelX - 0.8 : pixelX + 0.8;
      sourceY = down > 0 ? pixelY - 0.8 : pixelY + 0.8;
    } else {
      sourceX = pixelX + across;
      sourceY = pixelY + down;
    }
  });
  SetFlags(1, 0, 0);
}

void TransformManager::PlainSineWave() {
  const double h = RandomInt(8) - 3.9;
  const double phase = RandomInt(10000) * 0.01;
  const double f = 4.8 / mapWidth;
  const double amplitude = (RandomInt(4) - 1.5) * 1280 / mapWidth;
  ForEachPixel([&] {
    sourceX = pixelX - h;
    sourceY = pixelY + amplitude * std::cos(pixelX * f + phase);
  });
  SetFlags(1, 0, 0);
}

}  // namespace corvex
