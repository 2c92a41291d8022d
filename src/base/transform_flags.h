#pragma once
#include <cstdint>

namespace corvex {

// The flags a transform's generator sets once its map is built, shared by the two sides of a
// frame: the feedback pass adds sustain to every colour channel it carries over, and the
// renderers draw finer detail at the centre when centerDetail is set and clear sustain for
// fading trails (only when sustainOptional allows it, or whatever it says).
struct TransformFlags {
  uint8_t sustain = 0;
  uint8_t sustainOptional = 0;
  uint8_t centerDetail = 0;
};

}  // namespace corvex
