#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace corvex {

// The point walks of the line and circle primitives, apart from plotting, so that what a
// primitive visits can be checked point by point. `visit(x, y)` receives each point as
// doubles, in drawing order, before clipping.

// Lines longer than this many points only occur when particles fly far away; they are walked
// over the stretch that can touch the frame (0..limitX, 0..limitY) instead of from their start.
inline constexpr double kLongLinePoints = 1 << 20;
// A circle with more points than this is far larger than any frame and is not walked.
inline constexpr int64_t kMostCirclePoints = int64_t{1} << 24;

// One point per unit along the longer axis (ties step along y), by repeated addition; the
// last point may fall short of the far end by the fractional part of the length.
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
  const int64_t count = static_cast<int64_t>(n) + 1;
  if (n <= kLongLinePoints) {
    double x = x1, y = y1;
    for (int64_t k = 0; k < count; ++k) {
      visit(x, y);
      x += xstep;
      y += ystep;
    }
    return;
  }
  // Only where the major coordinate lies in -1 .. limit + 1 can a point be drawn; there the
  // points are placed by multiplication.
  const double start = alongY ? y1 : x1;
  const double step = alongY ? ystep : xstep;
  const double limit = (alongY ? limitY : limitX) + 1.0;
  double kFirst = step > 0 ? (-1.0 - start) : (start - limit);
  double kLast = step > 0 ? (limit - start) : (start + 1.0);
  kFirst = std::max(0.0, std::floor(kFirst));
  kLast = std::min(static_cast<double>(count - 1), std::ceil(kLast));
  for (double k = kFirst; k <= kLast; k += 1.0) visit(x1 + k * xstep, y1 + k * ystep);
}

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
