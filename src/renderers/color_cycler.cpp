#include "renderers/color_cycler.h"

#include <algorithm>
#include <cmath>

#include "base/random.h"

namespace corvex {

namespace {
// A channel as a byte; the walk can end a hair outside 0..255 through rounding.
uint32_t Channel(double value) {
  if (!(value > 0.0)) return 0;
  return value >= 255.0 ? 255u : static_cast<uint32_t>(value);
}

uint32_t Pack(double r, double g, double b) {
  return Channel(r) << 16 | Channel(g) << 8 | Channel(b);
}
}  // namespace

ColorCycler::ColorCycler() { PickTarget(); }

void ColorCycler::PickTarget() {
  bool firstPass = true;
  for (;;) {
    if (leader != nullptr && firstPass) {
      FollowLeader();
    } else if (RandomInt(4) != 0) {
      targetRed = RandomInt(3) * 64 + 63;
      targetGreen = RandomInt(3) * 64 + 63;
      targetBlue = RandomInt(3) * 64 + 63;
    } else {
      targetRed = targetGreen = targetBlue = 0;
      switch (RandomInt(2)) {
        case 0: targetRed = 255; break;
        case 1: targetGreen = 255; break;
        default: targetBlue = 255; break;
      }
    }
    firstPass = false;
    const double dRed = targetRed - red;
    const double dGreen = targetGreen - green;
    const double dBlue = targetBlue - blue;
    const double m = std::max({std::fabs(dRed), std::fabs(dGreen), std::fabs(dBlue)});
    if (m == 0) continue;  // the target is the current colour: pick again, at random
    stepsLeft = static_cast<int32_t>(m);
    stepRed = dRed / m;
    stepGreen = dGreen / m;
    stepBlue = dBlue / m;
    return;
  }
}

void ColorCycler::FollowLeader() {
  const int32_t k = RandomInt(2);
  targetRed = leader->targetRed;
  targetGreen = leader->targetGreen;
  targetBlue = leader->targetBlue;
  int32_t& brightened = k == 0 ? targetRed : (k == 1 ? targetGreen : targetBlue);
  brightened = std::clamp(brightened + RandomInt(32), 0, 255);
}

uint32_t ColorCycler::Step() {
  red += stepRed;
  green += stepGreen;
  blue += stepBlue;
  stepsLeft -= 1;
  if (stepsLeft < 1) PickTarget();
  color = Pack(red, green, blue);
  return color;
}

uint32_t ColorCycler::ScaledColor(double factor) {
  auto scaled = [factor](double channel) { return std::min(channel * factor, 255.0); };
  const uint32_t result = Pack(scaled(red), scaled(green), scaled(blue));
  stepsLeft -= 1;
  if (stepsLeft < 1) PickTarget();
  return result;
}

}  // namespace corvex
