#pragma once
#include <SDL.h>

#include <cstdint>

namespace corvex::host {

// What the live player asks of a sound device, for playing and for recording alike: 16-bit
// stereo at the rate given, in callbacks of `frames` frames.
inline SDL_AudioSpec StereoFormat(int32_t rate, uint16_t frames, SDL_AudioCallback callback,
                                  void* userdata) {
  SDL_AudioSpec wanted{};
  wanted.freq = rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = frames;
  wanted.callback = callback;
  wanted.userdata = userdata;
  return wanted;
}

}  // namespace corvex::host
