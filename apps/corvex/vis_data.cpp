#include "vis_data.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace corvex::host {

VisAnalyzer::VisAnalyzer() : fft_(kiss_fftr_alloc(kFftSize, 0, nullptr, nullptr)) {
  if (fft_ == nullptr) throw std::bad_alloc();
  // The periodic Hann window: its 512 points tile a 512-point transform without a seam.
  const double pi = std::acos(-1.0);
  for (int32_t n = 0; n < kFftSize; ++n) {
    window_[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * n / kFftSize));
  }
}

VisAnalyzer::~VisAnalyzer() { kiss_fftr_free(fft_); }

void VisAnalyzer::Analyze(const int16_t* stereo, int32_t frameCount, VisBlock* block) {
  frameCount = std::clamp(frameCount, 0, kBlockFrames);
  std::memset(block->waveform, 0, sizeof block->waveform);
  for (int32_t frame = 0; frame < frameCount; ++frame) {
    for (int32_t channel = 0; channel < 2; ++channel) {
      // The arithmetic shift keeps the sign: -1 stays -1 (0xFF), -32768 becomes -128.
      const int32_t sample = stereo[frame * 2 + channel];
      block->waveform[channel][frame] = static_cast<uint8_t>(static_cast<int8_t>(sample >> 8));
    }
  }
  Spectrum(block->waveform[0], block->spectrum[0]);
  Spectrum(block->waveform[1], block->spectrum[1]);
}

void VisAnalyzer::Spectrum(const uint8_t* wave, uint8_t* spectrum) {
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
  kiss_fft_cpx output[kFftSize / 2 + 1];
  kiss_fftr(fft_, input, output);

  constexpr int32_t kBins = kFftSize / 2;
  int32_t bins[kBins];
  for (int32_t k = 0; k < kBins; ++k) {
    const double magnitude = std::hypot(static_cast<double>(output[k].r),
                                        static_cast<double>(output[k].i));
    bins[k] = std::min(255, static_cast<int32_t>(magnitude / 16.0));
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

int64_t NearestBlock(double seconds, int32_t sampleRate) {
  if (!(seconds > 0.0) || sampleRate <= 0) return 0;
  return static_cast<int64_t>(std::llround(seconds * sampleRate / kBlockFrames));
}

}  // namespace corvex::host
