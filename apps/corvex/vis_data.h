#pragma once
#include <cstdint>

#include "vis_blocks.h"

struct kiss_fftr_state;

namespace corvex::host {

using visblocks::kBlockFrames;
using visblocks::kFftSize;

// The audio of one frame as the module record carries it (vis_blocks.h says how it is made).
struct VisBlock {
  uint8_t spectrum[2][kBlockFrames];  // magnitudes 0..255, left first
  uint8_t waveform[2][kBlockFrames];  // signed 8-bit samples, left first
};

// The block analysis with KissFFT's real transform.
class VisAnalyzer final : public visblocks::BlockAnalysis {
 public:
  VisAnalyzer();
  ~VisAnalyzer() override;

  // stereo: interleaved frames, frameCount of them (0..576); the rest of the block is silence.
  void Analyze(const int16_t* stereo, int32_t frameCount, VisBlock* block) const {
    BlockAnalysis::Analyze(stereo, frameCount, block->spectrum, block->waveform);
  }

 protected:
  void Transform(const float* input, double* real, double* imaginary) const override;

 private:
  kiss_fftr_state* fft_;
};

// Index of the block (576 frames each, block b starting at frame 576 b) whose start is nearest
// to the given time; never negative.
int64_t NearestBlock(double seconds, int32_t sampleRate);

}  // namespace corvex::host
