#include "vis_blocks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvex::visblocks {

BlockAnalysis::BlockAnalysis() {
  // The periodic Hann window: its 512 points tile a 512-point transform without a seam.
  const double pi = std::acos(-1.0);
  for (int32_t n = 0; n < kFftSize; ++n) {
    window_[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * n / kFftSize));
  }
}

void BlockAnalysis::Analyze(const int16_t* stereo, int32_t frameCount,
                            uint8_t spectrum[2][kBlockFrames],
                            uint8_t waveform[2][kBlockFrames]) const {
  frameCount = std::clamp(frameCount, 0, kBlockFrames);
  std::memset(waveform[0], 0, kBlockFrames);
  std::memset(waveform[1], 0, kBlockFrames);
  for (int32_t frame = 0; frame < frameCount; ++frame) {
    for (int32_t channel = 0; channel < 2; ++channel) {
      // The arithmetic shift keeps the sign: -1 stays -1 (0xFF), -32768 becomes -128.
      const int32_t sample = stereo[frame * 2 + channel];
      waveform[channel][frame] = static_cast<uint8_t>(static_cast<int8_t>(sample >> 8));
    }
  }
  Spectrum(waveform[0], spectrum[0]);
  Spectrum(waveform[1], spectrum[1]);
}

void BlockAnalysis::Spectrum(const uint8_t* wave, uint8_t* spectrum) const {
  float input[kFftSize];
  // The blocker starts each block as if the signal had been at its first value for ever, so a
  // constant offset gives no output at all rather than a decaying step.
  double previousIn = static_cast<int8_t>(wave[0]);
  double previousOut = 0.0;
  for (int32_t n = 0; n < kFftSize; ++n) {
    const double x = static_cast<int8_t>(wave[n]);
    const double y = x - previousIn + 0.99 * previousOut;
    previousIn = x;
    previousOut = y;
    input[n] = static_cast<float>(y) * window_[n];
  }
  double real[kBins], imaginary[kBins];
  Transform(input, real, imaginary);

  int32_t bins[kBins];
  for (int32_t k = 0; k < kBins; ++k) {
    bins[k] = std::min(255, static_cast<int32_t>(std::hypot(real[k], imaginary[k]) / 16.0));
  }
  // Entry 0 has no bin before it: it is the mean of bin 0 with itself.
  for (int32_t k = 0; k < kBins; ++k) {
    const int32_t before = k > 0 ? bins[k - 1] : bins[0];
    spectrum[2 * k] = static_cast<uint8_t>((bins[k] + before + 1) / 2);
    spectrum[2 * k + 1] = static_cast<uint8_t>(bins[k]);
  }
  for (int32_t entry = 2 * kBins; entry < kBlockFrames; ++entry) {
    spectrum[entry] = static_cast<uint8_t>(spectrum[entry - 1] / 2);
  }
}

DirectBlockAnalysis::DirectBlockAnalysis() {
  const double pi = std::acos(-1.0);
  for (int32_t n = 0; n < kFftSize; ++n) {
    cosine_[n] = std::cos(2.0 * pi * n / kFftSize);
    sine_[n] = std::sin(2.0 * pi * n / kFftSize);
  }
}

void DirectBlockAnalysis::Transform(const float* input, double* real, double* imaginary) const {
  for (int32_t k = 0; k < kBins; ++k) {
    double re = 0.0, im = 0.0;
    for (int32_t n = 0; n < kFftSize; ++n) {
      const int32_t at = (n * k) % kFftSize;
      re += input[n] * cosine_[at];
      im -= input[n] * sine_[at];
    }
    real[k] = re;
    imaginary[k] = im;
  }
}

}  // namespace corvex::visblocks
