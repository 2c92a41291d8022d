#pragma once
#include <functional>

#include "platform/headless/headless_windows.h"

namespace corvex::platform::sdl {

class SdlBackend;

// The window system of the SDL backend. Windows, their procedures and the message queue are
// the in-memory ones of the headless backend (so the plug-in's windows behave the same live
// and offline); what a user does reaches them here: the host's message loop first turns SDL's
// pending events into messages (keys, moves, the close button), message boxes are SDL's, the
// cursor counter shows and hides SDL's cursor, and the clock is SDL's.
class SdlWindows final : public WindowSystem {
 public:
  SdlWindows(headless::HeadlessWindows& store, SdlBackend& backend);

  bool RegisterWindowClass(const char* className, WindowProcedure procedure,
                     InstanceHandle instance) override {
    return store_.RegisterWindowClass(className, procedure, instance);
  }
  bool UnregisterWindowClass(const char* className, InstanceHandle instance) override {
    return store_.UnregisterWindowClass(className, instance);
  }
  WindowHandle CreateClassWindow(const char* className, const char* title, uint32_t style,
                            int32_t x, int32_t y, int32_t width, int32_t height,
                            WindowHandle owner, InstanceHandle instance) override {
    return store_.CreateClassWindow(className, title, style, x, y, width, height, owner, instance);
  }
  bool DestroyWindow(WindowHandle window) override { return store_.DestroyWindow(window); }
  bool SetWindowPos(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t flags) override {
    return store_.SetWindowPos(window, x, y, width, height, flags);
  }
  bool ShowWindow(WindowHandle window, int32_t command) override {
    return store_.ShowWindow(window, command);
  }
  void SetActiveWindow(WindowHandle window) override { store_.SetActiveWindow(window); }
  void SetFocus(WindowHandle window) override { store_.SetFocus(window); }
  bool GetWindowRect(WindowHandle window, Rect* rect) override {
    return store_.GetWindowRect(window, rect);
  }
  void SetUserData(WindowHandle window, intptr_t value) override {
    store_.SetUserData(window, value);
  }
  intptr_t GetUserData(WindowHandle window) override { return store_.GetUserData(window); }

  intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override {
    return store_.SendWindowMessage(window, message, wParam, lParam);
  }
  bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override {
    return store_.PostWindowMessage(window, message, wParam, lParam);
  }
  void PostQuitMessage(int32_t code) override { store_.PostQuitMessage(code); }
  // Takes SDL's pending events first, so what the user did is in the queue.
  bool PeekWindowMessage(Message* message) override;
  void TranslateMessage(const Message& message) override { store_.TranslateMessage(message); }
  intptr_t DispatchWindowMessage(const Message& message) override {
    return store_.DispatchWindowMessage(message);
  }
  // As on Windows, closing a window (WM_CLOSE) destroys it.
  intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override;

  int32_t ShowCursor(bool show) override;
  // There is no desktop wallpaper to set here.
  bool SetWallpaper(const char*) override { return false; }
  bool NotifyIcon(uint32_t action, const TrayIconRecord& record) override {
    return store_.NotifyIcon(action, record);
  }
  IconHandle LoadIconResource(InstanceHandle instance, int32_t resourceId) override {
    return store_.LoadIconResource(instance, resourceId);
  }
  int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t type) override;
  [[noreturn]] void ExitProcess(int32_t status) override { store_.ExitProcess(status); }
  uint32_t Milliseconds() override;
  size_t GetModulePath(InstanceHandle instance, char* buffer, size_t size) override {
    return store_.GetModulePath(instance, buffer, size);
  }

 private:
  headless::HeadlessWindows& store_;
  SdlBackend& backend_;
};

}  // namespace corvex::platform::sdl
