#pragma once
#include <cstdint>

#include "renderers/canvas.h"

namespace corvex {

struct TransformFlags;

inline constexpr int32_t kRendererCount = 14;
inline constexpr int32_t kAudioLength = 576;

// A frame as the renderers see it: the Canvas they draw on, the audio analysis the frame step
// has made of it, whether a scene has just started, the choice of feedback they make, and the
// current transform's flags. The renderers are its operations. The SceneManager is one and
// fills it every frame; the renderers see nothing else of the scene.
class RendererFrame : public Canvas {
 public:
  RendererFrame() = default;
  virtual ~RendererFrame() = default;
  RendererFrame(const RendererFrame&) = delete;
  RendererFrame& operator=(const RendererFrame&) = delete;

  // The flags of the current transform; none before a warp map exists.
  virtual TransformFlags* CurrentTransformFlags() const = 0;

  // The renderers, by slot.
  void PlainVanillaWaveforms();    // 0
  void WavyCircle();               // 1
  void MovingVolumeCircle();       // 2
  void ShiveringLines();           // 3
  void SpectralSpheres();          // 4
  void Hypnotizer();               // 5
  void VolumeLines();              // 6
  void Sparkles();                 // 7
  void PaintDrops();               // 8
  void OrbitingParticlesBeat();    // 9
  void OrbitingParticlesVolume();  // 10
  void Snow();                     // 11
  void SpectrumSplash();           // 12
  void FloatingTriangle();         // 13

  // The audio analysis: samples as signed values, spectra as magnitudes, levels as the mean
  // absolute sample, and the running peak of the mix level.
  double spectrumLeft[kAudioLength] = {};
  double spectrumRight[kAudioLength] = {};
  double spectrumSum[kAudioLength] = {};
  double waveLeft[kAudioLength] = {};
  double waveRight[kAudioLength] = {};
  double waveMix[kAudioLength] = {};
  double levelLeft = 0.0;
  double levelRight = 0.0;
  double levelMix = 0.0;
  double peakLevel = 0.0;
  int32_t sceneJustStarted = 1;
  // 1: the next frame starts from this picture carried through the warp map; 0: from black.
  // The renderers choose it.
  int32_t useFeedback = 0;
};

}  // namespace corvex
