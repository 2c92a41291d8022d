// Placeholder until the renderers land: each keeps the feedback running and draws nothing.
#include "scene/scene_manager.h"

namespace corvex {
void SceneManager::PlainVanillaWaveforms() { useFeedback = 1; }
void SceneManager::WavyCircle() { useFeedback = 1; }
void SceneManager::MovingVolumeCircle() { useFeedback = 1; }
void SceneManager::ShiveringLines() { useFeedback = 1; }
void SceneManager::SpectralSpheres() { useFeedback = 1; }
void SceneManager::Hypnotizer() { useFeedback = 1; }
void SceneManager::VolumeLines() { useFeedback = 1; }
void SceneManager::Sparkles() { useFeedback = 1; }
void SceneManager::PaintDrops() { useFeedback = 1; }
void SceneManager::OrbitingParticlesBeat() { useFeedback = 1; }
void SceneManager::OrbitingParticlesVolume() { useFeedback = 1; }
void SceneManager::Snow() { useFeedback = 1; }
void SceneManager::SpectrumSplash() { useFeedback = 1; }
void SceneManager::FloatingTriangle() { useFeedback = 1; }
}  // namespace corvex
