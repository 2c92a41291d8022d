#pragma once
// The audio a media player hands a visualization plug-in per frame, made the same way by every
// host: 576 frames of the song turned into the waveform and spectrum bytes of the module record.
#include <cstdint>

namespace corvex::visblocks {

inline constexpr int32_t kBlockFrames = 576;
inline constexpr int32_t kFftSize = 512;
inline constexpr int32_t kBins = kFftSize / 2;

// Turns one block of 16-bit stereo audio into waveform and spectrum bytes:
// - waveform: the top byte of each sample, as a signed byte;
// - spectrum: the first 512 of those bytes through a DC blocker (y = x - x1 + 0.99 y1, started
//   afresh in every block with x1 = the first byte and y1 = 0) and a periodic Hann window, a
//   real transform, magnitude / 16 capped at 255; the 256 bins spread over 512 entries (odd
//   entry 2k+1 = bin k, even entry 2k = rounded mean of bins k and k-1), and entries 512..575
//   keep halving the one before.
// The transform is the host's: a library where it has one, DirectBlockAnalysis where not.
class BlockAnalysis {
 public:
  virtual ~BlockAnalysis() = default;
  BlockAnalysis(const BlockAnalysis&) = delete;
  BlockAnalysis& operator=(const BlockAnalysis&) = delete;

  // stereo: interleaved frames, frameCount of them (0..576); the rest of the block is silence.
  void Analyze(const int16_t* stereo, int32_t frameCount, uint8_t spectrum[2][kBlockFrames],
               uint8_t waveform[2][kBlockFrames]) const;

 protected:
  BlockAnalysis();
  // The real transform of kFftSize windowed samples: bins 0 .. kBins - 1.
  virtual void Transform(const float* input, double* real, double* imaginary) const = 0;

 private:
  void Spectrum(const uint8_t* wave, uint8_t* spectrum) const;

  float window_[kFftSize];
};

// The transform as plain sums over a table of sines: no library to link, and 256 bins of 512
// points are little work for one frame.
class DirectBlockAnalysis final : public BlockAnalysis {
 public:
  DirectBlockAnalysis();

 protected:
  void Transform(const float* input, double* real, double* imaginary) const override;

 private:
  double cosine_[kFftSize];
  double sine_[kFftSize];
};

}  // namespace corvex::visblocks
