#pragma once
#include <cstdint>

#include "renderers/renderer_frame.h"

namespace corvex {

// The 14 renderer slots in order: the name the user sees and the operation that draws.
struct RendererSlot {
  const char* name;
  void (*render)(RendererFrame& frame);
};

extern const RendererSlot kRendererSlots[kRendererCount];

}  // namespace corvex
