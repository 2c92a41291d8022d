// The renderers that draw the waveform or the volume as lines and rings: Plain-Vanilla
// Waveforms, Wavy Circle, Moving Volume Cicle, Shivering Lines and Volume Lines.
//
// Each keeps its state in a function-local static: built at its first call (the cyclers draw
// their first targets then, in declaration order), kept across scenes and across runs of the
// plug-in, destroyed when the library is unloaded.
#include <cmath>
#include <cstdint>

#include "base/random.h"
#include "renderers/canvas.h"
#include "renderers/color_cycler.h"
#include "renderers/renderer_frame.h"
#include "renderers/renderer_rules.h"

namespace corvex {

namespace {

struct PlainVanillaState {
  ColorCycler c1, c2, c3;
  bool singleWave = false;
  double phase = 0.0;
};

struct WavyCircleState {
  ColorCycler ring, left, right, below, above;
  int32_t whiteRing = 0;
  double markPhase = 0.0;
};

struct MovingVolumeCircleState {
  ColorCycler ring, column;
  double ringX = 0.0;
  bool movingRight = true;
};

constexpr int32_t kMostPathEntries = 20;

struct ShiveringLinesState {
  ColorCycler pathColour[2];
  // Until its first scene start the paths are all 0: every segment is empty and nothing shows.
  int32_t cornerCount = 7;
  int32_t paths[2][kMostPathEntries] = {};
};

struct VolumeLinesState {
  ColorCycler a, b;
  double speed = 0.0;
  bool drawWithOr = false;
  bool secondOwnColour = false;
  double phase = 0.0;
};

// One of the two Shivering Lines paths in its drawing: its pen, its colours and its walk over
// the samples. `off`, the wobble of the latest point, belongs to the whole frame: a corner takes
// in whatever point came last, even one of the other path.
class ShiveringPen {
 public:
  ShiveringPen(RendererFrame& frame, ColorCycler& cycler, const int32_t* entries, int32_t path,
               const double* samples, int32_t& off)
      : frame_(frame),
        entries_(entries),
        samples_(samples),
        off_(off),
        vertical_(path == 0),
        x_(path == 0 ? entries[0] : 0),
        y_(path == 0 ? 0 : entries[0]) {
    c0_ = cycler.Step();
    c1_ = cycler.ScaledColor(0.8);
    c2_ = cycler.ScaledColor(0.2);
  }

  // Walks the segments up to the last corner; false when a segment ran over the step limit,
  // which ends the renderer's drawing for this frame.
  bool Draw(int32_t cornerCount) {
    for (int32_t j = 1; j < cornerCount; ++j) {
      const int32_t target = entries_[j];
      const int32_t dir = m_ > target ? -1 : 1;
      int32_t steps = 0;
      while (dir > 0 ? m_ < target : m_ > target) {
        if (++steps > kMostStepsPerSegment) return false;
        w_ = w_ >= 1151 ? 0 : w_ + 1;
        off_ = static_cast<int32_t>(samples_[MirroredSample(w_)] * frame_.heightF * 0.00048828125);
        m_ += dir;
        if (vertical_) {
          y_ += dir;
          Plot(x_ + off_, y_, 1, 0);
        } else {
          x_ += dir;
          Plot(x_, y_ + off_, 0, 1);
        }
      }
      // The coordinate that starts moving takes in the last wobble; the other one gives it
      // back, because from now on the wobble is added to it.
      if (vertical_) {
        x_ += off_;
        y_ -= off_;
        m_ = x_;
      } else {
        y_ += off_;
        x_ -= off_;
        m_ = y_;
      }
      vertical_ = !vertical_;
    }
    return true;
  }

 private:
  static constexpr int32_t kMostStepsPerSegment = 1000;

  // A point 5 pixels thick across the direction of travel (dx, dy), drawn only when all five
  // lie inside a margin of 3 pixels.
  void Plot(int32_t px, int32_t py, int32_t dx, int32_t dy) {
    if (!(px > 2 && px < frame_.innerMaxX && py > 2 && py < frame_.innerMaxY)) return;
    frame_.PutPixel(px, py, c0_);
    frame_.PutPixel(px - dx, py - dy, c1_);
    frame_.PutPixel(px + dx, py + dy, c1_);
    frame_.PutPixel(px - 2 * dx, py - 2 * dy, c2_);
    frame_.PutPixel(px + 2 * dx, py + 2 * dy, c2_);
  }

  RendererFrame& frame_;
  const int32_t* entries_;
  const double* samples_;
  int32_t& off_;
  bool vertical_;
  int32_t x_;
  int32_t y_;
  int32_t m_ = 0;   // the moving coordinate
  int32_t w_ = -1;  // walk position over the samples, running on across segments
  uint32_t c0_ = 0, c1_ = 0, c2_ = 0;
};

}  // namespace

void RendererFrame::PlainVanillaWaveforms() {
  static PlainVanillaState s;
  useFeedback = 1;
  s.c3.SetLeader(&s.c2);
  s.c2.SetLeader(&s.c1);
  if (sceneJustStarted != 0) s.singleWave = RandomInt(1) == 0;

  // The two outer traces swing apart and together, at most 5/11 of the height from the centre.
  const int32_t offset = static_cast<int32_t>(std::sin(s.phase) * heightF * 0.45454545454545453);
  const double xScale = 575.0 / widthF;
  const double yScale = heightF * 0.0009765625;  // a full-scale sample moves a trace by 1/8
  const uint32_t col1 = s.c1.Step();
  const uint32_t col2 = s.c2.Step();
  const uint32_t col3 = s.c3.Step();

  const double leftBase = centerY + offset;
  const double rightBase = centerY - offset;
  const double mixBase = centerY;
  double prevL = yScale * waveLeft[0] + leftBase;
  double prevR = yScale * waveRight[0] + rightBase;
  double prevM = yScale * waveMix[0] + mixBase;
  // The last column is never reached: segments end at column width - 2.
  for (int32_t x = 1; x <= width - 2; ++x) {
    const int32_t i = static_cast<int32_t>(x * xScale);
    const double yM = yScale * waveMix[i] + mixBase;
    if (s.singleWave) {
      DrawLine(x - 1, prevM, x, yM, col3, false);
    } else {
      const double yL = yScale * waveLeft[i] + leftBase;
      const double yR = yScale * waveRight[i] + rightBase;
      DrawLine(x - 1, prevL, x, yL, col1, false);
      DrawLine(x - 1, prevR, x, yR, col2, false);
      DrawLine(x - 1, prevM, x, yM, col3, true);
      prevL = yL;
      prevR = yR;
    }
    prevM = yM;
  }
  s.phase += 0.01;
}

void RendererFrame::WavyCircle() {
  static WavyCircleState s;
  useFeedback = 1;
  ClearSustainIfOptional(*this);
  if (sceneJustStarted != 0) s.whiteRing = RandomInt(1);

  const double r0 = heightF * levelMix * 0.015625;
  const uint32_t colour = s.whiteRing == 1 ? 0xFFFFFFu : s.ring.Step();
  const bool detail = CenterDetail(*this);
  // 1152 points make one turn, reading the samples forwards and back so the ends meet; point 0
  // lies straight below the centre.
  for (int32_t p = 0; p < 1152; ++p) {
    const double sample = waveMix[MirroredSample(p)];
    const double a = p * 0.005454166666666666;
    const double radius = sample * 0.125 + r0;
    const double x = centerXF + std::sin(a) * radius;
    const double y = centerYF + std::cos(a) * radius;
    if (detail) {
      PutPixel(x, y, colour);
    } else {
      OrPixel(x, y, colour);
    }
  }
  if (detail) {
    s.left.Step();
    s.right.Step();
    s.below.Step();
    s.above.Step();
    const double f = std::fabs(2.0 * std::sin(s.markPhase));
    // Four pulsing marks beside the centre. They are clipped like every other point: on frames
    // under 3 x 3 pixels some fall outside and are skipped, while the cyclers still take their
    // steps, so the colours run on as on a larger frame.
    PutPixel(centerX - 1, centerY, s.left.ScaledColor(f));
    PutPixel(centerX + 1, centerY, s.right.ScaledColor(f));
    PutPixel(centerX, centerY + 1, s.below.ScaledColor(f));
    PutPixel(centerX, centerY - 1, s.above.ScaledColor(f));
    s.markPhase += 1.0;
  }
}

void RendererFrame::MovingVolumeCircle() {
  static MovingVolumeCircleState s;
  useFeedback = 1;
  // The centre bounces between the left and right edges, one pixel a frame, and runs on
  // across scenes.
  if (s.movingRight) {
    s.ringX += 1.0;
    if (s.ringX > widthF - 1) {
      s.movingRight = false;
      s.ringX = widthF - 1;
    }
  } else {
    s.ringX -= 1.0;
    if (s.ringX < 0) {
      s.movingRight = true;
      s.ringX = 0;
    }
  }
  const uint32_t colour = s.ring.Step();
  const double radius = heightF * levelMix * levelMix * 0.00048828125;
  for (int32_t k = 0; k < 360; ++k) {
    const double a = k * 0.017453333333333335;
    PutPixel(std::trunc(std::cos(a) * radius + s.ringX),
             std::trunc(std::sin(a) * radius + centerYF), colour);
  }
  if (CenterDetail(*this)) {
    // The mix waveform drawn down through the centre, one sample and one colour step per row.
    // On frames narrower than 256 pixels a sample can reach past the side of the frame; such
    // a pixel is clipped like any other rather than spilling into a neighbouring row.
    s.column.Step();
    for (int32_t y = 0; y < height; ++y) {
      const uint32_t rowColour = s.column.Step();
      OrPixel(centerX + std::trunc(waveMix[y % kAudioLength]), y, rowColour);
    }
  }
}

void RendererFrame::ShiveringLines() {
  static ShiveringLinesState s;
  if (sceneJustStarted != 0) {
    peakLevel *= 0.5;  // before this frame's beat test
    // A scene of this renderer keeps its trails one time in four and is wiped every frame in
    // the others; the flag is left alone for the rest of the frame.
    useFeedback = RandomInt(3) == 0 ? 1 : 0;
    s.cornerCount = RandomInt(2) * 3 + 7;
  }
  if (sceneJustStarted != 0 || IsBeat(*this, 0.8)) {
    // Entries alternate between x and y coordinates; the last one is the right or bottom edge.
    for (int32_t path = 0; path < 2; ++path) {
      for (int32_t j = 0; j < s.cornerCount; ++j) {
        const bool isX = (j + path) % 2 == 0;
        const bool last = j == s.cornerCount - 1;
        if (isX) {
          s.paths[path][j] = last ? width : RandomInt(width);
        } else {
          s.paths[path][j] = last ? height : RandomInt(height);
        }
      }
    }
  }
  int32_t off = 0;
  ShiveringPen first(*this, s.pathColour[0], s.paths[0], 0, waveLeft, off);
  if (!first.Draw(s.cornerCount)) return;
  ShiveringPen second(*this, s.pathColour[1], s.paths[1], 1, waveRight, off);
  second.Draw(s.cornerCount);
}

void RendererFrame::VolumeLines() {
  static VolumeLinesState s;
  useFeedback = 1;
  s.b.SetLeader(&s.a);
  if (sceneJustStarted != 0) {
    // k = 0 turns the hands just under a full turn per frame; negative k turns them backwards.
    const int32_t k = RandomInt(6) - 3;
    s.speed = 6.283 / (k * 60 + 1.01);
    s.drawWithOr = RandomInt(1) == 0;
    s.secondOwnColour = RandomInt(1) == 0;
  }
  const double lenL = levelLeft * heightF * 0.015625;
  const double lenR = levelRight * heightF * 0.015625;
  const uint32_t colA = s.a.Step();
  const uint32_t colB = s.b.Step();
  const double c = std::cos(s.phase);
  const double sn = std::sin(s.phase);
  DrawLine(centerXF, centerYF, centerXF + c * lenL, centerYF + sn * lenL, colA, s.drawWithOr);
  DrawLine(centerXF, centerYF, centerXF - c * lenR, centerYF - sn * lenR,
           s.secondOwnColour ? colB : colA, s.drawWithOr);
  s.phase += s.speed;
}

}  // namespace corvex
