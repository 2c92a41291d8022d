#include "renderers/repeated_addition.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace corvex {

namespace {

// A stretch of evenly spaced doubles, in whole units of its spacing 2^unitExponent, and the
// part of it that lies at least one unit inside its ends. A sum that rounds to a value in that
// inner part was exactly inside the stretch, so it was rounded to this spacing and no other.
struct EvenStretch {
  int32_t unitExponent;
  int64_t innerLow;
  int64_t innerHigh;
};

constexpr int64_t kBinadeStart = int64_t{1} << 52;  // 2^e in units of its spacing 2^(e - 52)
constexpr int64_t kBinadeEnd = int64_t{1} << 53;

EvenStretch StretchAround(double value) {
  // The subnormals and the lowest normal binade share the spacing 2^-1074, across zero.
  if (value == 0.0 || std::ilogb(value) <= -1022) {
    return {-1074, -(kBinadeEnd - 1), kBinadeEnd - 1};
  }
  const int32_t exponent = std::ilogb(value) - 52;
  if (value > 0) return {exponent, kBinadeStart + 1, kBinadeEnd - 1};
  return {exponent, -(kBinadeEnd - 1), -(kBinadeStart + 1)};
}

// Far outside the stretch (and so outside its inner part) a value is clamped to 2^62 units.
int64_t InUnits(double value, int32_t unitExponent) {
  const double units = std::clamp(std::ldexp(value, -unitExponent), -0x1p62, 0x1p62);
  return static_cast<int64_t>(units);
}

}  // namespace

double AddRepeatedly(double value, double step, uint64_t count) {
  while (count > 0) {
    // Three plain steps: they carry the walk over the end of a stretch, and inside one they
    // settle a tie (a step of an odd number of half units lands on an even number of units,
    // and from an even value every later step adds the same amount).
    double plain[3];
    for (double& next : plain) {
      next = value + step;
      // A step that rounds back to where it started does so for ever.
      if (--count == 0 || next == value) return next;
      value = next;
    }
    if (!std::isfinite(value)) return value + step;  // infinity or NaN stays as it is
    const EvenStretch stretch = StretchAround(value);
    const int64_t first = InUnits(plain[0], stretch.unitExponent);
    const int64_t settled = InUnits(plain[1], stretch.unitExponent);
    const int64_t at = InUnits(plain[2], stretch.unitExponent);
    const bool inner =
        std::min(first, at) >= stretch.innerLow && std::max(first, at) <= stretch.innerHigh;
    if (!inner) continue;
    // Every further step inside the inner part adds the same whole number of units.
    const int64_t units = at - settled;
    const int64_t room = units > 0 ? stretch.innerHigh - at : at - stretch.innerLow;
    const uint64_t run = std::min(static_cast<uint64_t>(room / (units > 0 ? units : -units)),
                                  count);
    value = std::ldexp(static_cast<double>(at + static_cast<int64_t>(run) * units),
                       stretch.unitExponent);
    count -= run;
  }
  return value;
}

}  // namespace corvex
