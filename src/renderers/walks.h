#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "renderers/repeated_addition.h"

namespace corvex {

// The point walks of the line and circle primitives, apart from plotting, so that what a
// primitive visits can be checked point by point. `visit(x, y)` receives each point as
// doubles, in drawing order, before clipping.

// A line's points are walked from the first one that can touch the frame: a line from far
// away skips the points before it in one go, to the same bits that adding step by step would
// give, so any line takes time in proportion to the frame, however long it is.
inline constexpr uint64_t kLiteralLinePoints = 4096;  // shorter lines are simply walked

// Adding 1 to a double of magnitude 2^53 or more rounds back to it (after at most one move to
// an even value), so the major coordinate either stops for good or reaches the frame within
// 2^53 + 2 steps and passes it soon after: no point after the 2^62nd can be drawn.
inline constexpr double kMostLinePoints = 0x1p62;

// One point per unit along the longer axis (ties step along y), by repeated addition; the
// last point may fall short of the far end by the fractional part of the length. Points whose
// major coordinate lies outside (-1, limit + 1) on the axis of (limitX, limitY) may be left
// out: they cannot be drawn.
template <typename Visit>
void WalkLine(double x1, double y1, double x2, double y2, double limitX, double limitY,
              Visit&& visit) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
  if (dx == 0.0 && dy == 0.0) {
    visit(x1, y1);
    return;
  }
  const bool alongY = std::fabs(dx) <= std::fabs(dy);
  const double n = alongY ? std::fabs(dy) : std::fabs(dx);
  const double xstep = alongY ? dx / std::fabs(dy) : (dx > 0 ? 1.0 : -1.0);
  const double ystep = alongY ? (dy > 0 ? 1.0 : -1.0) : dy / std::fabs(dx);
  const uint64_t count = static_cast<uint64_t>(std::min(n, kMostLinePoints)) + 1;
  double x = x1, y = y1;
  if (count <= kLiteralLinePoints) {
    for (uint64_t k = 0; k < count; ++k) {
      visit(x, y);
      x += xstep;
      y += ystep;
    }
    return;
  }
  // The major coordinate moves by whole steps of 1 towards one side and never turns back.
  const double major = alongY ? y1 : x1;
  const double majorStep = alongY ? ystep : xstep;
  const double beyond = (alongY ? limitY : limitX) + 1.0;
  auto notYetIn = [&](double m) { return majorStep > 0 ? !(m > -1.0) : !(m < beyond); };
  auto gone = [&](double m) { return majorStep > 0 ? !(m < beyond) : !(m > -1.0); };
  uint64_t k = 0;
  if (notYetIn(major)) {
    // The first point in, found by halving between a point known to be out and one in.
    if (notYetIn(AddRepeatedly(major, majorStep, count - 1))) return;
    uint64_t out = 0, in = count - 1;
    while (in - out > 1) {
      const uint64_t middle = out + (in - out) / 2;
      (notYetIn(AddRepeatedly(major, majorStep, middle)) ? out : in) = middle;
    }
    k = in;
    x = AddRepeatedly(x1, xstep, k);
    y = AddRepeatedly(y1, ystep, k);
  }
  for (; k < count && !gone(alongY ? y : x); ++k) {
    visit(x, y);
    x += xstep;
    y += ystep;
  }
}

// A circle with more points than this is far larger than any frame and is not walked.
inline constexpr int64_t kMostCirclePoints = int64_t{1} << 24;

// 1 + floor(6.283 r) points one pixel of arc apart, the angle advancing by 1 / r each point;
// a radius of 0 is the centre alone.
template <typename Visit>
void WalkCircle(double cx, double cy, double r, Visit&& visit) {
  if (r == 0.0) {
    visit(cx, cy);
    return;
  }
  const double span = r * -6.283;
  if (!(std::fabs(span) < static_cast<double>(kMostCirclePoints))) return;  // NaN or huge
  const int64_t points = 1 - static_cast<int64_t>(span);
  const double angleStep = 1.0 / r;
  double angle = 0.0;
  for (int64_t k = 0; k < points; ++k) {
    visit(cx + r * std::cos(angle), cy + r * std::sin(angle));
    angle += angleStep;
  }
}

}  // namespace corvex
