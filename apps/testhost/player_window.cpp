#include "player_window.h"

#include <cstdio>

namespace testhost {

namespace {

constexpr const char* kClassName = "TestHostPlayer";
constexpr const char* kTitles[kPlaylistLength] = {"Sweep and Pulse", "The Second Song"};

LRESULT CALLBACK PlayerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PlayerState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_USER:
      if (state == nullptr || state->silent) return 0;
      if (lParam == 105) return state->positionMs.load();
      if (lParam == 125) return state->playlistIndex.load();
      if (lParam == 212) return reinterpret_cast<LRESULT>(PlaylistTitle(static_cast<int32_t>(wParam)));
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      std::printf("host key %u %u\n", message, static_cast<unsigned>(wParam));
      std::fflush(stdout);
      return 0;
    case WM_DESTROY:
      std::printf("host window destroyed\n");
      std::fflush(stdout);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

const char* PlaylistTitle(int32_t index) {
  return index >= 0 && index < kPlaylistLength ? kTitles[index] : "";
}

HWND CreatePlayerWindow(PlayerState* state) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &PlayerProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, kClassName, "Test Host Player", WS_OVERLAPPEDWINDOW, 700, 20,
                                300, 120, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window != nullptr) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  return window;
}

}  // namespace testhost
