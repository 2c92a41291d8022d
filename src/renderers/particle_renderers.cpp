// The renderers that move pools of particles: Orbiting Particles - Beat, Orbiting Particles -
// Volume, Snow, Spectrum Splash and Floating Triangle. The pools live in function-local statics,
// built at the first call and kept, with their particles where they were, for the life of the
// library; they are scattered again only when a scene of their renderer begins.
#include <cmath>
#include <cstdint>

#include "base/random.h"
#include "renderers/canvas.h"
#include "renderers/color_cycler.h"
#include "renderers/particle.h"
#include "renderers/renderer_frame.h"
#include "renderers/renderer_rules.h"

namespace corvex {

namespace {

struct OrbitingBeatState {
  Particle particles[500];
  ColorCycler cyc[2];
  double attractorX = 0.0;
  double attractorY = 0.0;
};

constexpr int32_t kOrbitingGroupSize = 200;

struct OrbitingVolumeState {
  Particle particles[2 * kOrbitingGroupSize];
  ColorCycler cyc[2];
  double speed = 0.0;
  double phase = 0.0;
};

struct SnowState {
  Particle flakes[1000];
  ColorCycler cycler;
};

constexpr int32_t kPlatforms = 3;

struct SpectrumSplashState {
  Particle drops[1000];
  ColorCycler cyc[kPlatforms];
  double platformTop[kPlatforms] = {};
  double previousTop[kPlatforms] = {};
  int32_t lastPlatform[1000] = {};
};

struct FloatingTriangleState {
  Particle corners[3];
  ColorCycler cyc[2];
  int32_t colourIndex = 0;
};

// The pull of the orbiting renderers grows with the square of the width: 4000 at 640 pixels.
double OrbitPull(const RendererFrame& frame) {
  const double scale = frame.widthF * 0.003125;
  return scale * scale * 1000.0;
}

// One frame of an orbiting particle: pulled towards the attractor, slowed, moved, plotted.
void Orbit(RendererFrame& frame, Particle& p, double ax, double ay, double pull, uint32_t colour) {
  p.Attract(ax, ay, pull, 2.0);
  p.Damp(true, true);
  p.Move(false, frame);
  frame.PutPixel(p.x, p.y, colour);
}

}  // namespace

void RendererFrame::OrbitingParticlesBeat() {
  static OrbitingBeatState s;
  useFeedback = 1;
  ClearSustainIfOptional(*this);
  const double pull = OrbitPull(*this);
  if (sceneJustStarted != 0) {
    for (Particle& p : s.particles) Scatter(p, *this, 10, 0.1, 0.05);
    s.cyc[1].SetLeader(&s.cyc[0]);
  }
  if (sceneJustStarted != 0 || IsBeat(*this, 0.8)) {
    // A random point in the middle half of the frame.
    s.attractorX = widthF * 0.25 + RandomInt(maxX) * 0.5;
    s.attractorY = heightF * 0.25 + RandomInt(maxY) * 0.5;
  }
  s.cyc[0].Step();
  s.cyc[1].Step();
  int32_t i = 0;
  for (Particle& p : s.particles) {
    Orbit(*this, p, s.attractorX, s.attractorY, pull, s.cyc[i++ % 2].Color());
  }
}

void RendererFrame::OrbitingParticlesVolume() {
  static OrbitingVolumeState s;
  useFeedback = 1;
  s.cyc[1].SetLeader(&s.cyc[0]);
  const double pull = OrbitPull(*this);
  // Two attractors orbit the centre on opposite sides, their distances following the channel
  // levels relative to the running peak.
  const double rL = RelativeToPeak(levelLeft, peakLevel) * heightF * 0.5;
  const double rR = RelativeToPeak(levelRight, peakLevel) * heightF * 0.5;
  const double c = std::cos(s.phase);
  const double sn = std::sin(s.phase);
  const double attractors[2][2] = {{centerXF + c * rL, centerYF + sn * rL},
                                   {centerXF - c * rR, centerYF - sn * rR}};
  if (sceneJustStarted != 0) {
    s.speed = 6.283 / ((RandomInt(6) - 3) * 120.0 + 1.01);
    for (Particle& p : s.particles) Scatter(p, *this, 10, 0.1, 0.05);
  }
  s.cyc[0].Step();
  s.cyc[1].Step();
  for (int32_t g = 0; g < 2; ++g) {
    const uint32_t colour = s.cyc[g].Color();
    for (int32_t i = g * kOrbitingGroupSize; i < (g + 1) * kOrbitingGroupSize; ++i) {
      Orbit(*this, s.particles[i], attractors[g][0], attractors[g][1], pull, colour);
    }
  }
  s.phase += s.speed;
}

void RendererFrame::Snow() {
  static SnowState s;
  useFeedback = 1;
  ClearSustainIfOptional(*this);
  if (sceneJustStarted != 0) {
    int32_t i = 0;
    for (Particle& flake : s.flakes) Scatter(flake, *this, 100, 0.01, i++ % 2 == 0 ? 0.05 : 0.03);
  }
  // A scene start is no beat of its own here.
  if (IsBeat(*this, 0.7)) {
    for (Particle& flake : s.flakes) {
      const double kickX = (RandomInt(100) - 50) * 0.05;
      const double kickY = (RandomInt(100) - 50) * 0.05;
      flake.Push(kickX, kickY);
    }
  }
  s.cycler.Step();
  // The flakes drift left when it is quiet and right when it is loud; 0.05 is gravity.
  const double wind = RelativeToPeak(levelMix, peakLevel) * 0.2 - 0.03;
  for (Particle& flake : s.flakes) {
    flake.Push(wind, 0.05);
    flake.Damp(true, true);
    flake.Move(true, *this);
    PutPixel(flake.x, flake.y, s.cycler.Color());
  }
}

void RendererFrame::SpectrumSplash() {
  static SpectrumSplashState s;
  useFeedback = 1;
  ClearSustain(*this);
  s.cyc[2].SetLeader(&s.cyc[1]);
  s.cyc[1].SetLeader(&s.cyc[0]);
  uint32_t colours[kPlatforms];
  double left[kPlatforms];
  double right[kPlatforms];
  for (int32_t b = 0; b < kPlatforms; ++b) colours[b] = s.cyc[b].Step();
  for (int32_t b = 0; b < kPlatforms; ++b) {
    // Side by side across the width; the third ends 0.2 % past the right edge.
    left[b] = b * widthF * 0.334;
    right[b] = (b + 1) * widthF * 0.334;
    // Each platform rises with the weighted energy of its third of the lowest 144 bins;
    // silence leaves it 5 pixels above the bottom.
    double band = 0.0;
    for (int32_t i = 48 * b; i < 48 * b + 48; ++i) band += i * spectrumSum[i];
    s.platformTop[b] = (heightF - 5.0) - std::pow(band * 0.015, 0.7);
  }
  if (sceneJustStarted != 0) {
    for (int32_t b = 0; b < kPlatforms; ++b) s.previousTop[b] = s.platformTop[b];
    for (Particle& drop : s.drops) {
      const double x = RandomInt(maxX);
      const double vx = (RandomInt(100) - 50) * 0.05;
      const double vy = RandomInt(100) * -0.05;  // upwards
      drop.Set(x, heightF * 0.5, vx, vy, 0.03);
    }
    for (int32_t& platform : s.lastPlatform) platform = 0;
  }
  int32_t i = 0;
  for (Particle& drop : s.drops) {
    drop.Push(0.0, 0.4);
    drop.Damp(true, true);
    const int32_t landed =
        drop.MoveOverPlatforms(kPlatforms, left, right, s.platformTop, s.previousTop, *this);
    if (landed >= 0) s.lastPlatform[i] = landed;
    PutPixel(drop.x, drop.y, colours[s.lastPlatform[i]]);
    ++i;
  }
  // Each platform at its old and its new height.
  for (int32_t b = 0; b < kPlatforms; ++b) {
    DrawLine(left[b], s.previousTop[b], right[b], s.previousTop[b], colours[b], false);
    DrawLine(left[b], s.platformTop[b], right[b], s.platformTop[b], colours[b], false);
    s.previousTop[b] = s.platformTop[b];
  }
}

void RendererFrame::FloatingTriangle() {
  static FloatingTriangleState s;
  useFeedback = 1;
  ClearSustainIfOptional(*this);
  if (sceneJustStarted != 0) s.cyc[1].SetLeader(&s.cyc[0]);
  if (sceneJustStarted != 0 || IsBeat(*this, 0.7)) {
    s.colourIndex = (s.colourIndex + 1) % 2;
    for (Particle& corner : s.corners) Scatter(corner, *this, 10, 0.1, 0.02);
  }
  const double ratio = RelativeToPeak(levelMix, peakLevel);
  const double pull = ratio * ratio * 5000.0;
  s.cyc[0].Step();
  s.cyc[1].Step();
  // The corners are drawn towards the fixed pixel (160, 120), whatever the frame size.
  for (Particle& corner : s.corners) {
    corner.Attract(160.0, 120.0, pull, 6.0);
    corner.Damp(true, true);
    corner.Move(false, *this);
  }
  const uint32_t colour = s.cyc[s.colourIndex].Color();
  for (int32_t k = 0; k < 3; ++k) {
    const Particle& from = s.corners[k];
    const Particle& to = s.corners[(k + 1) % 3];
    DrawLine(from.x, from.y, to.x, to.y, colour, false);
  }
}

}  // namespace corvex
