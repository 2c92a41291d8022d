#include "renderers/renderer_rules.h"

#include "base/random.h"
#include "renderers/particle.h"
#include "transforms/transform_manager.h"
#include "video/portable/video_core.h"

namespace corvex {

bool CenterDetail(const SceneManager& scene) {
  const TransformManager* transform = scene.video.transformManager;
  return transform != nullptr && transform->centerDetail != 0;
}

void ClearSustainIfOptional(SceneManager& scene) {
  TransformManager* transform = scene.video.transformManager;
  if (transform != nullptr && transform->sustainOptional == 1) transform->sustain = 0;
}

void ClearSustain(SceneManager& scene) {
  TransformManager* transform = scene.video.transformManager;
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
