// Windows, messages, message boxes, the cursor, the wallpaper, the notification icon, the
// clock and the module name, on user32, the Shell and winmm.
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/win32/win32_backend.h"
#include "platform/window_system.h"
#include "platform/win32/windows_api.h"

namespace corvex::platform::win32 {

// The record WM_WINDOWPOSCHANGED points to is the system's WINDOWPOS: the plug-in reads it
// through WindowPosition, so the two must be the same bytes on both builds.
static_assert(sizeof(WindowPosition) == sizeof(WINDOWPOS));
static_assert(offsetof(WindowPosition, window) == offsetof(WINDOWPOS, hwnd));
static_assert(offsetof(WindowPosition, insertAfter) == offsetof(WINDOWPOS, hwndInsertAfter));
static_assert(offsetof(WindowPosition, x) == offsetof(WINDOWPOS, x));
static_assert(offsetof(WindowPosition, y) == offsetof(WINDOWPOS, y));
static_assert(offsetof(WindowPosition, cx) == offsetof(WINDOWPOS, cx));
static_assert(offsetof(WindowPosition, cy) == offsetof(WINDOWPOS, cy));
static_assert(offsetof(WindowPosition, flags) == offsetof(WINDOWPOS, flags));
// A window procedure of the interface is a WNDPROC: same arguments, same calling convention.
static_assert(sizeof(uintptr_t) == sizeof(WPARAM) && sizeof(intptr_t) == sizeof(LPARAM) &&
              sizeof(intptr_t) == sizeof(LRESULT));

namespace {

HWND Window(WindowHandle handle) { return static_cast<HWND>(handle); }
HINSTANCE Instance(InstanceHandle handle) { return static_cast<HINSTANCE>(handle); }

MSG ToSystem(const Message& message) {
  MSG system = {};
  system.hwnd = Window(message.window);
  system.message = message.message;
  system.wParam = message.wParam;
  system.lParam = message.lParam;
  return system;
}

class SystemWindows final : public WindowSystem {
 public:
  bool RegisterWindowClass(const char* className, WindowProcedure procedure,
                     InstanceHandle instance) override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(procedure);
    windowClass.hInstance = Instance(instance);
    windowClass.lpszClassName = className;
    return RegisterClassA(&windowClass) != 0;
  }

  bool UnregisterWindowClass(const char* className, InstanceHandle instance) override {
    return UnregisterClassA(className, Instance(instance)) != 0;
  }

  WindowHandle CreateClassWindow(const char* className, const char* title, uint32_t style, int32_t x,
                            int32_t y, int32_t width, int32_t height, WindowHandle owner,
                            InstanceHandle instance) override {
    return CreateWindowExA(0, className, title, style, x, y, width, height, Window(owner),
                           nullptr, Instance(instance), nullptr);
  }

  bool DestroyWindow(WindowHandle window) override { return ::DestroyWindow(Window(window)) != 0; }

  bool SetWindowPos(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t flags) override {
    return ::SetWindowPos(Window(window), nullptr, x, y, width, height, flags) != 0;
  }

  bool ShowWindow(WindowHandle window, int32_t command) override {
    return ::ShowWindow(Window(window), command) != 0;
  }
  void SetActiveWindow(WindowHandle window) override { ::SetActiveWindow(Window(window)); }
  void SetFocus(WindowHandle window) override { ::SetFocus(Window(window)); }

  bool GetWindowRect(WindowHandle window, Rect* rect) override {
    RECT system = {};
    if (!::GetWindowRect(Window(window), &system)) return false;
    *rect = Rect{system.left, system.top, system.right, system.bottom};
    return true;
  }

  void SetUserData(WindowHandle window, intptr_t value) override {
    SetWindowLongPtrA(Window(window), GWLP_USERDATA, value);
  }
  intptr_t GetUserData(WindowHandle window) override {
    return GetWindowLongPtrA(Window(window), GWLP_USERDATA);
  }

  intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override {
    return SendMessageA(Window(window), message, wParam, lParam);
  }
  bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override {
    return PostMessageA(Window(window), message, wParam, lParam) != 0;
  }
  void PostQuitMessage(int32_t code) override { ::PostQuitMessage(code); }

  bool PeekWindowMessage(Message* message) override {
    MSG system;
    if (!PeekMessageA(&system, nullptr, 0, 0, PM_REMOVE)) return false;
    *message = Message{system.hwnd, system.message, system.wParam, system.lParam};
    return true;
  }
  void TranslateMessage(const Message& message) override {
    const MSG system = ToSystem(message);
    ::TranslateMessage(&system);
  }
  intptr_t DispatchWindowMessage(const Message& message) override {
    const MSG system = ToSystem(message);
    return DispatchMessageA(&system);
  }
  intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override {
    return DefWindowProcA(Window(window), message, wParam, lParam);
  }

  int32_t ShowCursor(bool show) override { return ::ShowCursor(show ? TRUE : FALSE); }

  bool SetWallpaper(const char* path) override {
    // The user's own wallpaper is read once, before the first change, and put back on null.
    if (path != nullptr && !userWallpaperKept_) {
      userWallpaperKept_ = SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof userWallpaper_,
                                                 userWallpaper_, 0) != 0;
    }
    if (path == nullptr && !userWallpaperKept_) return true;  // never changed: nothing to undo
    char* wanted = const_cast<char*>(path != nullptr ? path : userWallpaper_);
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, wanted, SPIF_SENDCHANGE) != 0;
  }

  bool NotifyIcon(uint32_t action, const TrayIconRecord& record) override {
    NOTIFYICONDATAA system = {};
    system.cbSize = sizeof system;
    system.hWnd = Window(record.window);
    system.uID = record.id;
    system.uFlags = record.flags;
    system.uCallbackMessage = record.callbackMessage;
    system.hIcon = static_cast<HICON>(record.icon);
    static_assert(sizeof system.szTip >= sizeof record.tip);
    std::memcpy(system.szTip, record.tip, sizeof record.tip);
    return Shell_NotifyIconA(action, &system) != 0;
  }

  IconHandle LoadIconResource(InstanceHandle instance, int32_t resourceId) override {
    return LoadIconA(Instance(instance), MAKEINTRESOURCEA(resourceId));
  }

  int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     uint32_t type) override {
    return MessageBoxA(Window(owner), text, caption, type);
  }

  // The runtime's exit: the normal exit handlers run, as the host's own would.
  [[noreturn]] void ExitProcess(int32_t status) override { std::exit(status); }

  uint32_t Milliseconds() override { return timeGetTime(); }

  size_t GetModulePath(InstanceHandle instance, char* buffer, size_t size) override {
    if (size == 0) return 0;
    // The system writes at most MAX_PATH characters however large the buffer is.
    const DWORD length = GetModuleFileNameA(Instance(instance), buffer,
                                            static_cast<DWORD>(size > MAX_PATH ? MAX_PATH : size));
    buffer[length < size ? length : size - 1] = '\0';
    return length < size ? length : size - 1;
  }

 private:
  char userWallpaper_[MAX_PATH] = {};
  bool userWallpaperKept_ = false;
};

}  // namespace

std::unique_ptr<WindowSystem> MakeWindowSystem() { return std::make_unique<SystemWindows>(); }

}  // namespace corvex::platform::win32
