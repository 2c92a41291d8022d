#pragma once
#include <cstdint>

#include "scene/scene_manager.h"

namespace corvex {

// The 14 renderer slots in order: the name the user sees and the operation that draws.
struct RendererSlot {
  const char* name;
  void (*render)(SceneManager& scene);
};

extern const RendererSlot kRendererSlots[kRendererCount];

}  // namespace corvex
