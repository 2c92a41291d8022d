#pragma once
#include <SDL.h>

#include <cstdint>

namespace corvex::host {

// What the live player asks of a sound device, for playing and for recording alike: 16-bit
// stereo at the rate given, in callbacks of `frames` frames.
inline SDL_AudioSpec StereoSpec(int32_t rate, uint16_t frames, SDL_AudioCallback callback,
                                void* userdata) {
  SDL_AudioSpec spec{};
  spec.freq = rate;
  spec.format = AUDIO_S16SYS;
  spec.channels = 2;
  spec.samples = frames;
  spec.callback = callback;
  spec.userdata = userdata;
  return spec;
}

}  // namespace corvex::host
