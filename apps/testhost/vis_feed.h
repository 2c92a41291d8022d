#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "vis_blocks.h"

namespace testhost {

// The audio the host plays, cut into the blocks a visualization plug-in gets per frame and
// analysed by the code the Linux host uses (vis_blocks.h), with the transform done directly.
class VisFeed {
 public:
  // A 16-bit PCM WAV file (mono or stereo), or with an empty name a generated tone: a low
  // sweep on the left, a pulsing higher note on the right, so both channels move.
  bool Open(const std::string& wavFile);
  int32_t SampleRate() const { return sampleRate_; }
  // Fills the 2 x 576 spectrum and waveform bytes of block `block` (wrapping at the end).
  void Block(int64_t block, uint8_t spectrum[2][576], uint8_t waveform[2][576]) const;

 private:
  corvex::visblocks::DirectBlockAnalysis analysis_;
  std::vector<int16_t> stereo_;  // interleaved left, right
  int32_t sampleRate_ = 44100;
};

}  // namespace testhost
