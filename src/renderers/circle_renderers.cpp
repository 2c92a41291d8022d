// The renderers built from circles and rays: Spectral Spheres, Hypnotizer, Sparkles and Paint
// Drops. State lives in function-local statics, built at the first call and kept for the life
// of the library.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/random.h"
#include "renderers/canvas.h"
#include "renderers/color_cycler.h"
#include "renderers/renderer_frame.h"
#include "renderers/renderer_rules.h"

namespace corvex {

namespace {

struct SpectralSpheresState {
  ColorCycler s[5];
};

struct HypnotizerState {
  ColorCycler a, b;
  double speed = 0.0;  // 0 until the first scene start, so the rings stay put before it
  double phase = 0.0;
  int32_t ringOffset = 0;
};

struct SparklesState {
  ColorCycler a, b;
  double speed = 0.0;
  double phase = 0.0;
};

constexpr uint32_t kPaintPalette[3] = {0x0F0FFF, 0x0FFF0F, 0xFF0F0F};

// A drop's distance from the centre along one axis: a random share of up to half the size,
// denser near the centre, on a random side. Draws the share, the distance, then the side.
int32_t DropOffset(int32_t size) {
  const int32_t reach = static_cast<int32_t>(RandomInt(10) * size * 0.05);
  const int32_t distance = RandomInt(reach);
  return RandomInt(1) == 1 ? distance : -distance;
}

}  // namespace

void RendererFrame::SpectralSpheres() {
  static SpectralSpheresState st;
  useFeedback = 1;
  for (int32_t k = 4; k > 0; --k) st.s[k].SetLeader(&st.s[k - 1]);
  uint32_t colours[5];
  for (int32_t k = 0; k < 5; ++k) colours[k] = st.s[k].Step();

  // Energy of the lowest 144 bins, weighted by the bin number, in five bands of 29 or 28 bins.
  double band[5] = {};
  double total = 0.0;
  for (int32_t i = 0; i < 144; ++i) {
    const double w = i * spectrumSum[i];
    total += w;
    band[(5 * i) / 144] += w;
  }
  // Each circle is as wide as its band's share of the width; silence gives every share 0, so
  // the last circle spans the whole width.
  int32_t edges[6] = {0, 0, 0, 0, 0, width};
  double cumulative = 0.0;
  for (int32_t b = 0; b < 4; ++b) {
    cumulative += total != 0.0 ? band[b] / total : 0.0;
    edges[b + 1] = static_cast<int32_t>(width * cumulative);
  }
  for (int32_t k = 0; k < 5; ++k) {
    const int32_t r = (edges[k + 1] - edges[k]) / 2;
    DrawCircle(edges[k] + r, centerY, r, colours[k], false);
  }
}

void RendererFrame::Hypnotizer() {
  static HypnotizerState s;
  useFeedback = 1;
  s.b.SetLeader(&s.a);
  const int32_t h = height;
  const int32_t w = width;
  const double halfW = w * 0.5;
  const double halfH = h * 0.5;
  if (sceneJustStarted != 0) {
    // k = 0 gives a step within 0.0002 of a full turn: the ring sets barely move.
    const int32_t k = RandomInt(6) - 3;
    s.speed = 6.283 / (k * 60.0 + 1.0);
  }
  const double rA = h * levelLeft * 0.015625;
  const double rB = h * levelRight * 0.015625;
  const double c = std::cos(s.phase);
  const double sn = std::sin(s.phase);
  const double ax = halfW + c * rA, ay = halfH + sn * rA;
  const double bx = halfW - c * rB, by = halfH - sn * rB;  // on the opposite side
  s.a.Step();
  s.b.Step();

  // About ten rings per centre, d pixels apart, growing a pixel a frame and jumping back by d
  // every d frames, so they seem to flow outwards without end. Frames under 30 pixels high
  // would give a spacing of 0; they keep a spacing of 1 pixel, as frames of 30 to 59 pixels
  // have, so a small window still shows its (tightly packed) rings.
  const int32_t n = h / 3;
  const int32_t d = std::max(n / 10, 1);
  s.ringOffset = (s.ringOffset + 1) % d;
  if (n > 1) {
    int32_t m = 2 * n - 1;
    for (int32_t j = 1; j < n; j += d, m -= d) {
      const double f = m * 0.6 / n;  // from about 1.2 inside to about 0.6 outside
      const double radius = s.ringOffset + j;
      const uint32_t colourA = s.a.ScaledColor(f);
      DrawCircle(ax, ay, radius, colourA, false);
      const uint32_t colourB = s.b.ScaledColor(f);
      DrawCircle(bx, by, radius, colourB, false);
    }
  }
  s.phase += s.speed;
}

void RendererFrame::Sparkles() {
  static SparklesState s;
  useFeedback = 1;
  const double orbitX = std::cos(s.phase) * widthF * 0.25;
  const double orbitY = std::sin(s.phase) * widthF * 0.25;
  if (sceneJustStarted != 0) s.speed = 6.283 / ((RandomInt(6) - 3) * 60.0 + 1.01);
  const double lenL = levelLeft * heightF * 0.0078125;
  const double lenR = levelRight * heightF * 0.0078125;
  s.a.Step();
  s.b.Step();
  // Two bursts on opposite points of the orbit, each 3 rays and 3 x 39 branch rays: three
  // levels of three rays, each level half as long as the one before.
  DrawBurst(widthF * 0.5 + orbitX, heightF * 0.5 + orbitY, lenL, 3, 3, s.a);
  DrawBurst(widthF * 0.5 - orbitX, heightF * 0.5 - orbitY, lenR, 3, 3, s.b);
  s.phase += s.speed;
}

void RendererFrame::PaintDrops() {
  useFeedback = 1;
  ClearSustain(*this);
  // A drop needs the mix level above about 0.2236 of the peak; at the peak there are 115.
  // The ratio only passes 16 when the fields are set by hand; the cap keeps the count a
  // well-defined integer then.
  const double ratio = RelativeToPeak(levelMix, peakLevel);
  const double q = std::min(120.0 * ratio * ratio, 1e6);
  const int32_t drops = static_cast<int32_t>(std::floor(q)) - 5;
  for (int32_t drop = 0; drop < drops; ++drop) {
    const uint32_t colour = kPaintPalette[RandomInt(2)];
    const int32_t x = width / 2 + DropOffset(width);
    const int32_t y = height / 2 + DropOffset(height);
    // Ten rings up to radius 4.5, nearly white in the middle and tinted at the rim.
    for (int32_t k = 0; k < 10; ++k) {
      DrawCircle(x, y, k * 0.5, ScaleColor(std::cos(k * 0.15) * 8.0, colour), true);
    }
  }
}

}  // namespace corvex
