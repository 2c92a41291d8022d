#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/handles.h"

namespace corvex::platform {

// The notification-area icon record the plug-in fills (88 bytes in the 32-bit layout).
struct TrayIconRecord {
  uint32_t size;
  WindowHandle window;
  uint32_t id;
  uint32_t flags;
  uint32_t callbackMessage;
  IconHandle icon;
  char tip[64];
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(TrayIconRecord) == 88, "the 32-bit notification-icon record is 88 bytes");
#endif

// Windows, messages, message boxes, the process and the desktop: the user-interface services
// the plug-in uses, shaped after the Windows calls of the same names.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  virtual bool RegisterClass(const char* className, WindowProcedure procedure,
                             InstanceHandle instance) = 0;
  virtual bool UnregisterClass(const char* className, InstanceHandle instance) = 0;
  // Sends WM_CREATE to the new window before returning; null on failure.
  virtual WindowHandle CreateWindow(const char* className, const char* title, uint32_t style,
                                    int32_t x, int32_t y, int32_t width, int32_t height,
                                    WindowHandle owner, InstanceHandle instance) = 0;
  // Sends WM_DESTROY to the window, then forgets it.
  virtual bool DestroyWindow(WindowHandle window) = 0;
  // Sends WM_WINDOWPOSCHANGED with the new position record.
  virtual bool SetWindowPos(WindowHandle window, int32_t x, int32_t y, int32_t width,
                            int32_t height, uint32_t flags) = 0;
  virtual bool ShowWindow(WindowHandle window, int32_t command) = 0;
  virtual void SetActiveWindow(WindowHandle window) = 0;
  virtual void SetFocus(WindowHandle window) = 0;
  virtual bool GetWindowRect(WindowHandle window, Rect* rect) = 0;
  virtual void SetUserData(WindowHandle window, intptr_t value) = 0;
  virtual intptr_t GetUserData(WindowHandle window) = 0;

  // Messages of the calling thread. SendMessage calls the window procedure at once; posted
  // messages wait in the queue until the host's loop takes them with PeekMessage and
  // dispatches them. A quit message arrives as a message WM_QUIT with the code in wParam.
  virtual intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) = 0;
  virtual bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) = 0;
  virtual void PostQuitMessage(int32_t code) = 0;
  virtual bool PeekMessage(Message* message) = 0;  // takes the message out of the queue
  virtual void TranslateMessage(const Message& message) = 0;
  virtual intptr_t DispatchMessage(const Message& message) = 0;
  virtual intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) = 0;

  // The cursor's display counter: shown while it is 0 or more. Returns the new counter.
  virtual int32_t ShowCursor(bool show) = 0;
  // Sets the desktop wallpaper to the bitmap at path, or back to the user's own with null.
  virtual bool SetWallpaper(const char* path) = 0;
  virtual bool NotifyIcon(uint32_t action, const TrayIconRecord& record) = 0;
  virtual IconHandle LoadIcon(InstanceHandle instance, int32_t resourceId) = 0;

  // Waits until the box is closed; returns the button pressed.
  virtual int32_t MessageBox(WindowHandle owner, const char* text, const char* caption,
                             uint32_t type) = 0;
  // Ends the process with status; does not return.
  [[noreturn]] virtual void ExitProcess(int32_t status) = 0;
  // The millisecond clock (timeGetTime).
  virtual uint32_t Milliseconds() = 0;
  // The full file name of the module into buffer (size bytes, zero-terminated, cut to fit);
  // returns the length written.
  virtual size_t GetModuleFileName(InstanceHandle instance, char* buffer, size_t size) = 0;
};

}  // namespace corvex::platform
