#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

// The audio the host plays, cut into the blocks a visualization plug-in gets per frame, with
// the same recipe as the Linux host: waveform = the top byte of each 16-bit sample; spectrum =
// a 512-point transform of the first 512 of those bytes after a DC blocker and a Hann window,
// magnitude / 16 capped at 255, 256 bins spread over 512 entries, the last 64 halving.
class VisFeed {
 public:
  // A 16-bit PCM WAV file (mono or stereo), or with an empty name a generated tone: a low
  // sweep on the left, a pulsing higher note on the right, so both channels move.
  bool Open(const std::string& wavFile);
  int32_t SampleRate() const { return sampleRate_; }
  // Fills the 2 x 576 spectrum and waveform bytes of block `block` (wrapping at the end).
  void Block(int64_t block, uint8_t spectrum[2][576], uint8_t waveform[2][576]) const;

 private:
  void Spectrum(const uint8_t* wave, uint8_t* spectrum) const;

  std::vector<int16_t> stereo_;  // interleaved left, right
  int32_t sampleRate_ = 44100;
};

}  // namespace testhost
