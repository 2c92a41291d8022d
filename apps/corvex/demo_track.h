#pragma once
#include <cstdint>

#include "audio_file.h"

namespace corvex::host {

inline constexpr const char* kDemoTitle = "Corvex - Demo Track";

// About a minute of music made in code, so a first run needs no audio file: 120 beats per
// minute, eight sections of four bars with drums, bass, a melody and pads coming and going,
// loud and quiet passages, a rising and a falling tonal sweep, and a fade at the end. The same
// samples every time.
AudioTrack SynthesizeDemoTrack(int32_t sampleRate = 44100);

}  // namespace corvex::host
