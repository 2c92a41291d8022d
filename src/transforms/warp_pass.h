#pragma once
#include <cstdint>
#include <vector>

namespace corvex {

// The feedback pass over one picture: for every destination pixel i, the 2 x 2 source block at
// byte offset offsets[i] of `previous` blended with the four weights of pixel i (plus one each
// in the colour channels when sustain is set), saturated to 16 bits, top byte 0.
// `previous` must hold width * (height + 1) + 1 pixels.
struct WarpPassArgs {
  const uint32_t* previous;
  uint32_t* destination;
  const uint32_t* offsets;
  const uint8_t* weights;
  int32_t width;
  int32_t height;
  bool sustain;
  // Lets the AVX2 and AVX-512 versions store the new picture past the caches, for pictures
  // whose pass outgrows them (WarpPassOutgrowsTheCache); the bits are the same either way.
  bool streamStores = false;
};

// Whether the pass over a picture of this size moves more bytes than the last-level cache holds
// (8 a pixel of map, 4 of the previous picture, 4 of the new one).
bool WarpPassOutgrowsTheCache(int32_t width, int32_t height);

using WarpPassFunction = void (*)(const WarpPassArgs&);

void WarpPassScalar(const WarpPassArgs& args);  // the reference
void WarpPassSse2(const WarpPassArgs& args);
void WarpPassAvx2(const WarpPassArgs& args);    // only where the CPU has AVX2
void WarpPassAvx512(const WarpPassArgs& args);  // only where the CPU has AVX-512 F and BW

// The fastest version this CPU runs.
WarpPassFunction BestWarpPass();

struct WarpPassVersion {
  const char* name;
  WarpPassFunction pass;
};
// Every version this CPU runs, the reference first and the fastest last.
std::vector<WarpPassVersion> WarpPassVersions();

}  // namespace corvex
