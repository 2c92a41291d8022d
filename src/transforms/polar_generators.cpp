// The transforms built around a centre point: each pixel's distance r and angle phi from the
// centre are turned and stretched into a radius and an angle, and the pixel is taken from the
// point so found. Parameters are drawn in a fixed order and every expression keeps its order,
// so that a seed gives the same map on every build.
#include <cmath>

#include "base/random.h"
#include "transforms/generator_loop.h"

namespace corvex {

void TransformManager::SetPolarSource(double centerX, double centerY, double radius,
                                      double angle) {
  sourceX = centerX + radius * std::cos(angle);
  sourceY = centerY + radius * std::sin(angle);
}

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
  ForEachPixel([&] {
    const Polar p = PolarAbout(pixelX, pixelY, cx, cy);
    const double u = p.r / w;
    const double theta = p.phi + wave * std::cos(u * freq) + twist * std::pow(1 - u, 2.0);
    SetPolarSource(cx, cy, p.r * zoom, theta);
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
  ForEachPixel([&] {
    const Polar q = PolarAbout(pixelX, pixelY, cx, cy);
    SetPolarSource(cx, cy, q.r * (1 - q.r * inverseWidth * c), q.phi + turn);
  });
  SetFlags(RandomInt(2) == 1 ? 1 : 0, 1, 0);
}

void TransformManager::Bubble() {
  const double cx = 0.5 * mapWidth, cy = 0.5 * mapHeight;
  const double a = (RandomInt(10) - 2) * 0.16666666666666666 + 0.2;
  const double f = RandomInt(2) * 3.0 + 1.0;
  const double inverseWidth = 1.0 / mapWidth;
  ForEachPixel([&] {
    const Polar q = PolarAbout(pixelX, pixelY, cx, cy);
    SetPolarSource(cx, cy, q.r - (0.5 * std::sin(q.r * inverseWidth * f) + a), q.phi);
  });
  SetFlags(RandomInt(2) == 1 ? 1 : 0, 0, 0);
}

void TransformManager::TranslateAndSpin() {
  const double cx = RandomInt(mapWidth) / 2 + 0.25 * mapWidth;
  const double cy = RandomInt(mapHeight) / 2 + 0.25 * mapHeight;
  const double spin = (5 * RandomInt(6) - 14) * 0.02;
  const double drift = RandomInt(1) == 0 ? 0.9 : -0.9;
  const double inverseWidth = 1.0 / mapWidth;
  ForEachPixel([&] {
    const Polar q = PolarAbout(pixelX, pixelY, cx, cy);
    const double theta = q.phi + spin * std::pow(1 - q.r * inverseWidth, 8.0);
    SetPolarSource(cx, cy, q.r, theta);
    sourceY = sourceY - drift;
  });
  SetFlags(RandomInt(2) == 0 ? 0 : 1, 0, 0);
}

void TransformManager::FastReverseSpiral() {
  const double cx = CentreNearMiddle(mapWidth);
  const double cy = CentreNearMiddle(mapHeight);
  const double spin = (4 * RandomInt(4) + 4) * 0.02;
  const double q = 2.0 / (2 * RandomInt(1) + 1);
  const double k = (1.0 / mapWidth) * q;
  ForEachPixel([&] {
    const Polar p = PolarAbout(pixelX, pixelY, cx, cy);
    // On the ring where the base is 0 the power is infinite and the source not a number,
    // which the sampling rule counts as outside: that ring stays black.
    const double theta = p.phi + spin * std::pow(1 - std::fabs(p.r * k - 0.4), -2.0);
    SetPolarSource(cx, cy, p.r, theta);
  });
  SetFlags(RandomInt(3) == 0 ? 0 : 1, 0, 0);
}

void TransformManager::WhatYouGetWithATypo() {
  const double cx = CentreNearMiddle(mapWidth);
  const double cy = CentreNearMiddle(mapHeight);
  const int32_t lobes = DrawLobes();
  const int32_t waves = RandomInt(8) + 6;
  const double g = 0.00008 / mapWidth * 320;
  // The angular offset runs on over the pixels in build order, never reset within a build,
  // so it drifts across the picture; it starts again at 0 with every build.
  double offset = 0;
  ForEachPixel([&] {
    const Polar p = PolarAbout(pixelX, pixelY, cx, cy);
    offset = offset + g * std::sin(waves * p.phi);
    SetPolarSource(cx, cy, p.r * (1 + 0.02 * std::cos(lobes * p.phi)), p.phi + offset);
  });
  SetFlags(RandomInt(3) == 0 ? 0 : 1, 0, 0);
}

void TransformManager::Flower() {
  const double cx = CentreNearMiddle(mapWidth);
  const double cy = CentreNearMiddle(mapHeight);
  const double turn = (RandomInt(4) - 1.5) * 4.0 * 0.002;
  const int32_t lobes = DrawLobes();
  ForEachPixel([&] {
    const Polar p = PolarAbout(pixelX, pixelY, cx, cy);
    const double theta = p.phi + 0.0008 * std::sin(lobes * p.phi) + turn;
    SetPolarSource(cx, cy, p.r * (1 + 0.02 * std::cos(lobes * p.phi)), theta);
  });
  SetFlags(RandomInt(3) == 0 ? 0 : 1, 0, 0);
}

}  // namespace corvex
