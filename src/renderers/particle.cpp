#include "renderers/particle.h"

#include <cmath>

#include "base/random.h"
#include "renderers/canvas.h"

namespace corvex {

void Particle::Set(double newX, double newY, double newVx, double newVy, double newDamping) {
  x = newX;
  y = newY;
  vx = newVx;
  vy = newVy;
  damping = newDamping;
}

void Particle::Move(bool wrap, const Canvas& frame) {
  x += vx;
  y += vy;
  if (!wrap) return;
  // One correction per call; a coordinate exactly at the size stays and is clipped when drawn.
  if (x < 0) {
    x += frame.widthF;
  } else if (x > frame.widthF) {
    x -= frame.widthF;
  }
  if (y < 0) {
    y += frame.heightF;
  } else if (y > frame.heightF) {
    y -= frame.heightF;
  }
}

void Particle::Damp(bool alongX, bool alongY) {
  if (alongX) vx *= (1 - damping);
  if (alongY) vy *= (1 - damping);
}

void Particle::Attract(double px, double py, double k, double cap) {
  const double dx = px - x;
  const double dy = py - y;
  const double distanceSquared = dx * dx + dy * dy;
  // At the attractor itself the pull is the cap (k / 0 is infinite), or nothing without pull.
  double f = distanceSquared > 0 ? k / distanceSquared : (k > 0 ? cap : 0.0);
  if (f > cap) f = cap;
  const double a = std::atan2(dy, dx);
  vx += f * std::cos(a);
  vy += f * std::sin(a);
}

void Particle::Push(double ax, double ay) {
  vx += ax;
  vy += ay;
}

int32_t Particle::MoveOverPlatforms(int32_t count, const double* left, const double* right,
                                    const double* top, const double* previousTop,
                                    const Canvas& frame) {
  const double yOld = y;
  x += vx;
  y += vy;
  if (x < 0 || x > frame.widthF - 1) {
    x = 0;
    vx = -vx;
  }
  if (y > frame.heightF - 1) {
    y = 0;
    vx = (RandomInt(100) - 50) * 0.03;
    return -1;
  }
  for (int32_t i = 0; i < count; ++i) {
    if (!(left[i] <= x && x <= right[i])) continue;
    const bool whollyAbove = y < previousTop[i] && yOld <= previousTop[i] && y < top[i] &&
                             yOld < top[i];
    const bool whollyBelow = y > top[i] && yOld >= top[i] && y > previousTop[i] &&
                             yOld > previousTop[i];
    if (whollyAbove || whollyBelow) continue;
    y = top[i];
    vy = ((RandomInt(100) - 50) * 4 - 3548) * 0.0022 - 0.2 * vy;
    vx = (RandomInt(100) - 50) * 0.05;
    return i;
  }
  return -1;
}

}  // namespace corvex
