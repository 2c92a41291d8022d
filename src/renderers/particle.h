#pragma once
#include <cstdint>

namespace corvex {

class Canvas;

// A moving point with damping and attraction. The frame size it wraps and bounces within is
// passed in, so a particle needs no process-wide object and can be tested on its own.
class Particle {
 public:
  Particle() = default;
  virtual ~Particle() = default;

  void Set(double newX, double newY, double newVx, double newVy, double newDamping);
  void Move(bool wrap, const Canvas& frame);
  void Damp(bool alongX, bool alongY);
  void Attract(double px, double py, double k, double cap);
  void Push(double ax, double ay);
  // Returns the index of the platform landed on, or -1.
  int32_t MoveOverPlatforms(int32_t count, const double* left, const double* right,
                            const double* top, const double* previousTop, const Canvas& frame);

  double x = 0.0;
  double y = 0.0;
  double vx = 0.0;
  double vy = 0.0;
  double damping = 0.0;
};

}  // namespace corvex
