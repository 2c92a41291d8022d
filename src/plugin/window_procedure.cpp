#include "plugin/window_procedure.h"

#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/window_system.h"

namespace corvex {

// The window's lifecycle messages; the key table arrives with the keys and settings work.
intptr_t CORVEX_CALLBACK WindowProcedure(platform::WindowHandle window, uint32_t message,
                                         uintptr_t wParam, intptr_t lParam) {
  platform::WindowSystem& windows = platform::BackendOf(window).Windows();
  switch (message) {
    case platform::WM_CREATE:
    case platform::WM_ERASEBKGND:
      return 0;
    case platform::WM_DESTROY:
      windows.PostQuitMessage(0);
      return 0;
    case platform::WM_KEYDOWN:
      if (wParam == platform::VK_ESCAPE) {
        windows.PostQuitMessage(0);
        return 1;
      }
      return 0;
    default:
      return windows.DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace corvex
