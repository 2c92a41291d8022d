#include "renderers/renderer_rules.h"

#include "base/random.h"
#include "base/transform_flags.h"
#include "renderers/particle.h"

namespace corvex {

bool CenterDetail(const SceneManager& scene) {
  const TransformFlags* transform = scene.CurrentTransformFlags();
  return transform != nullptr && transform->centerDetail != 0;
}

void ClearSustainIfOptional(SceneManager& scene) {
  TransformFlags* transform = scene.CurrentTransformFlags();
  if (transform != nullptr && transform->sustainOptional == 1) transform->sustain = 0;
}

void ClearSustain(SceneManager& scene) {
  TransformFlags* transform = scene.CurrentTransformFlags();
  if (transform != nullptr) transform->sustain = 0;
}

void Scatter(Particle& particle, const SceneManager& scene, int32_t n, double spread,
             double damping) {
  // Separate statements fix the order of the draws.
  const double x = RandomInt(scene.maxX);
  const double y = RandomInt(scene.maxY);
  const double vx = (RandomInt(n) - n / 2) * spread;
  const double vy = (RandomInt(n) - n / 2) * spread;
  particle.Set(x, y, vx, vy, damping);
}

}  // namespace corvex
