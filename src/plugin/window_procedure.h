#pragma once
#include <cstdint>

#include "platform/handles.h"

namespace corvex {

// The plug-in window's procedure: keys, display toggles, the icon click, window moves.
intptr_t CORVEX_CALLBACK WindowProcedure(platform::WindowHandle window, uint32_t message,
                                         uintptr_t wParam, intptr_t lParam);

}  // namespace corvex
