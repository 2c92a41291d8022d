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
// the plug-in uses, shaped after the Windows calls. Where the system's name is a macro of
// <windows.h> the operation carries a longer name (SendWindowMessage for SendMessage,
// ShowMessageBox for MessageBox), so the interface compiles beside the system's headers.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  virtual bool RegisterWindowClass(const char* className, WindowProcedure procedure,
                                   InstanceHandle instance) = 0;
  virtual bool UnregisterWindowClass(const char* className, InstanceHandle instance) = 0;
  // Sends wm::Create to the new window before returning; null on failure.
  virtual WindowHandle CreateClassWindow(const char* className, const char* title, uint32_t style,
                                         int32_t x, int32_t y, int32_t width, int32_t height,
                                         WindowHandle owner, InstanceHandle instance) = 0;
  // Sends wm::Destroy to the window, then forgets it.
  virtual bool DestroyWindow(WindowHandle window) = 0;
  // Sends wm::WindowPosChanged with the new position record.
  virtual bool SetWindowPos(WindowHandle window, int32_t x, int32_t y, int32_t width,
                            int32_t height, uint32_t flags) = 0;
  virtual bool ShowWindow(WindowHandle window, int32_t command) = 0;
  virtual void SetActiveWindow(WindowHandle window) = 0;
  virtual void SetFocus(WindowHandle window) = 0;
  virtual bool GetWindowRect(WindowHandle window, Rect* rect) = 0;
  virtual void SetUserData(WindowHandle window, intptr_t value) = 0;
  virtual intptr_t GetUserData(WindowHandle window) = 0;

  // Messages of the calling thread. SendWindowMessage calls the window procedure at once; posted
  // messages wait in the queue until the host's loop takes them with PeekWindowMessage and
  // dispatches them. A quit message arrives as a message wm::Quit with the code in wParam.
  virtual intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) = 0;
  virtual bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) = 0;
  virtual void PostQuitMessage(int32_t code) = 0;
  virtual bool PeekWindowMessage(Message* message) = 0;  // takes the message out of the queue
  virtual void TranslateMessage(const Message& message) = 0;
  virtual intptr_t DispatchWindowMessage(const Message& message) = 0;
  virtual intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) = 0;

  // The cursor's display counter: shown while it is 0 or more. Returns the new counter.
  virtual int32_t ShowCursor(bool show) = 0;
  // Sets the desktop wallpaper to the bitmap at path, or back to the user's own with null.
  virtual bool SetWallpaper(const char* path) = 0;
  virtual bool NotifyIcon(uint32_t action, const TrayIconRecord& record) = 0;
  virtual IconHandle LoadIconResource(InstanceHandle instance, int32_t resourceId) = 0;

  // Waits until the box is closed; returns the button pressed.
  virtual int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                                 uint32_t type) = 0;
  // Ends the process with status; does not return.
  [[noreturn]] virtual void ExitProcess(int32_t status) = 0;
  // The millisecond clock (timeGetTime).
  virtual uint32_t Milliseconds() = 0;
  // The full file name of the module into buffer (size bytes, zero-terminated, cut to fit);
  // returns the length written.
  virtual size_t GetModulePath(InstanceHandle instance, char* buffer, size_t size) = 0;
};

}  // namespace corvex::platform
