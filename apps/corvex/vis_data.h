#pragma once
#include <cstdint>

struct kiss_fftr_state;

namespace corvex::host {

// The audio a media player hands a visualization plug-in per frame: 576 frames of the song
// turned into bytes the way the module record carries them.
inline constexpr int32_t kBlockFrames = 576;
inline constexpr int32_t kFftSize = 512;

struct VisBlock {
  uint8_t spectrum[2][kBlockFrames];  // magnitudes 0..255, left first
  uint8_t waveform[2][kBlockFrames];  // signed 8-bit samples, left first
};

// Turns one block of 16-bit stereo audio into waveform and spectrum bytes:
// - waveform: the top byte of each sample, as a signed byte;
// - spectrum: the first 512 of those bytes through a DC blocker (y = x - x1 + 0.99 y1, started
//   afresh in every block with x1 = the first byte and y1 = 0) and a periodic Hann window, a real FFT, magnitude / 16 capped at 255; the 256 bins
//   spread over 512 entries (odd entry 2k+1 = bin k, even entry 2k = rounded mean of bins k
//   and k-1), and entries 512..575 keep halving the one before.
class VisAnalyzer {
 public:
  VisAnalyzer();
  ~VisAnalyzer();
  VisAnalyzer(const VisAnalyzer&) = delete;
  VisAnalyzer& operator=(const VisAnalyzer&) = delete;

  // stereo: interleaved frames, frameCount of them (0..576); the rest of the block is silence.
  void Analyze(const int16_t* stereo, int32_t frameCount, VisBlock* block);

 private:
  void Spectrum(const uint8_t* wave, uint8_t* spectrum);

  kiss_fftr_state* fft_;
  float window_[kFftSize];
};

// Index of the block (576 frames each, block b starting at frame 576 b) whose start is nearest
// to the given time; never negative.
int64_t NearestBlock(double seconds, int32_t sampleRate);

}  // namespace corvex::host
