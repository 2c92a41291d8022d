#pragma once
#include <cstdint>

namespace corvex {

// An enabled set of slots as the settings file keeps it: one bit per slot, the first slot in
// the most significant used bit. Shared by the renderers' and the transforms' sets.

inline int32_t PackSlotMask(const int32_t* enabled, int32_t count) {
  int32_t mask = 0;
  for (int32_t slot = 0; slot < count; ++slot) mask = mask * 2 + (enabled[slot] != 0 ? 1 : 0);
  return mask;
}

inline int32_t AllSlotsMask(int32_t count) {
  return count < 1 ? 0 : static_cast<int32_t>((1u << count) - 1);
}

// Signed remainder and division: bits above the last slot are ignored and a negative value
// enables the slots of its magnitude.
inline void UnpackSlotMask(int32_t value, int32_t* enabled, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    enabled[count - 1 - i] = (value % 2 != 0) ? 1 : 0;
    value = value / 2;
  }
}

}  // namespace corvex
