#pragma once
// The loop and the polar helpers that every generator shares.
#include <cmath>

#include "transforms/transform_manager.h"

namespace corvex {

// Builds the map in pixel order: for each pixel, pixelIndex, weightIndex, pixelX and pixelY
// are set, `source` sets sourceX and sourceY (and may replace pixelX and pixelY), and the
// sampling rule turns the position into the pixel's entry.
template <typename Source>
void TransformManager::ForEachPixel(Source&& source) {
  for (pixelIndex = 0; pixelIndex < mapPixelCount; ++pixelIndex) {
    weightIndex = 4 * pixelIndex;
    pixelX = pixelIndex % mapWidth;
    pixelY = pixelIndex / mapWidth;
    source();
    SampleSource();
  }
}

inline void TransformManager::SetFlags(uint8_t sustainFlag, uint8_t sustainOptionalFlag,
                                       uint8_t centerDetailFlag) {
  sustain = sustainFlag;
  sustainOptional = sustainOptionalFlag;
  centerDetail = centerDetailFlag;
}

// Distance and angle of a pixel from a centre. The distance is never 0: a tiny constant is
// always added.
struct Polar {
  double r;
  double phi;
};

inline Polar PolarAbout(double x, double y, double centerX, double centerY) {
  const double dx = x - centerX;
  const double dy = y - centerY;
  return {std::sqrt(dx * dx + dy * dy) + 0.00000001, std::atan2(dy, dx)};
}

}  // namespace corvex
