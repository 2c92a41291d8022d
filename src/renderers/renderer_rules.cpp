#include "renderers/renderer_rules.h"

#include "base/random.h"
#include "base/transform_flags.h"
#include "renderers/particle.h"

namespace corvex {

bool CenterDetail(const RendererFrame& frame) {
  const TransformFlags* transform = frame.CurrentTransformFlags();
  return transform != nullptr && transform->centerDetail != 0;
}

void ClearSustainIfOptional(RendererFrame& frame) {
  TransformFlags* transform = frame.CurrentTransformFlags();
  if (transform != nullptr && transform->sustainOptional == 1) transform->sustain = 0;
}

void ClearSustain(RendererFrame& frame) {
  TransformFlags* transform = frame.CurrentTransformFlags();
  if (transform != nullptr) transform->sustain = 0;
}

void Scatter(Particle& particle, const RendererFrame& frame, int32_t n, double spread,
             double damping) {
  // Separate statements fix the order of the draws.
  const double x = RandomInt(frame.maxX);
  const double y = RandomInt(frame.maxY);
  const double vx = (RandomInt(n) - n / 2) * spread;
  const double vy = (RandomInt(n) - n / 2) * spread;
  particle.Set(x, y, vx, vy, damping);
}

}  // namespace corvex
