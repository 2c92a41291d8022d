#pragma once
#include <cstdint>

namespace corvex::platform {

// Opaque handles, pointer-sized as on Windows. On Windows they are the system's own handles;
// on the other backends a window handle is a WindowObject's address. Either way a handle is
// compared, never read through (window_registry.h).
using WindowHandle = void*;
using InstanceHandle = void*;
using IconHandle = void*;

#if defined(_WIN32) && !defined(_WIN64)
#define CORVEX_CALLBACK __stdcall
#else
#define CORVEX_CALLBACK
#endif

// A window procedure with the platform's calling convention, so on Windows it is a WNDPROC.
using WindowProcedure = intptr_t(CORVEX_CALLBACK*)(WindowHandle window, uint32_t message,
                                                   uintptr_t wParam, intptr_t lParam);

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct Message {
  WindowHandle window = nullptr;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// The record wm::WindowPosChanged points to (the layout of the Windows record).
struct WindowPosition {
  WindowHandle window;
  WindowHandle insertAfter;
  int32_t x;
  int32_t y;
  int32_t cx;
  int32_t cy;
  uint32_t flags;
};

}  // namespace corvex::platform
