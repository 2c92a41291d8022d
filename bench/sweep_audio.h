#pragma once
// The audio the frame benchmarks play: a tone sweeping up and down with a burst every twelve
// frames, its spectrum peak following.
#include <cmath>
#include <cstdint>
#include <vector>

#include "scene/scene_manager.h"

namespace corvex {

constexpr int32_t kAudioFrames = 64;

struct AudioFrame {
  uint8_t spectrum[2][kAudioLength];
  uint8_t waveform[2][kAudioLength];
};

inline std::vector<AudioFrame> SweepAudio() {
  std::vector<AudioFrame> frames(kAudioFrames);
  for (int32_t f = 0; f < kAudioFrames; ++f) {
    const double cycles = 1.0 + 10.0 * (0.5 - 0.5 * std::cos(f * 6.283185307179586 / kAudioFrames));
    const double loud = f % 12 < 3 ? 110.0 : 45.0;
    for (int32_t i = 0; i < kAudioLength; ++i) {
      const double t = 6.283185307179586 * cycles * i / kAudioLength + f * 0.7;
      frames[f].waveform[0][i] =
          static_cast<uint8_t>(static_cast<int32_t>(loud * std::sin(t)) & 0xFF);
      frames[f].waveform[1][i] =
          static_cast<uint8_t>(static_cast<int32_t>(0.8 * loud * std::sin(1.6 * t)) & 0xFF);
      const double x = (i - 4.0 - 12.0 * cycles) / 8.0;
      const auto bump = static_cast<uint8_t>(200.0 * std::exp(-x * x));
      frames[f].spectrum[0][i] = bump;
      frames[f].spectrum[1][i] = bump;
    }
  }
  return frames;
}

}  // namespace corvex
