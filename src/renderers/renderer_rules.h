#pragma once
#include <cstdint>

#include "renderers/renderer_frame.h"

namespace corvex {

class Particle;

// What the renderers share beyond the drawing primitives: the beat rule, levels relative to the
// running peak, the current transform's flags, and the scattering of particles.

// A level relative to the running peak. The peak is 0.0 until the first sound or new song, and
// a ratio counts as 0 then, so that no position or count becomes undefined.
inline double RelativeToPeak(double level, double peak) {
  return peak != 0.0 ? level / peak : 0.0;
}

// A beat: the mix level strictly above factor times the running peak.
inline bool IsBeat(const RendererFrame& frame, double factor) {
  return frame.levelMix > factor * frame.peakLevel;
}

// The current transform's flags. Before any warp map exists there is no transform: no flag is
// set and clearing does nothing.
bool CenterDetail(const RendererFrame& frame);
// Renderers that want fading trails clear sustain when the transform allows it...
void ClearSustainIfOptional(RendererFrame& frame);
// ...and some clear it whatever the transform says.
void ClearSustain(RendererFrame& frame);

// Re-seeds a particle at a random pixel of the frame with a random velocity: each component is
// (RandomInt(n) - n / 2) * spread. Draws x, y, vx, vy in that order.
void Scatter(Particle& particle, const RendererFrame& frame, int32_t n, double spread,
             double damping);

}  // namespace corvex
