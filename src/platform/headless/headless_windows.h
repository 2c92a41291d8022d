#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/failure_injector.h"
#include "platform/window_object.h"
#include "platform/window_system.h"

namespace corvex::platform::headless {

// Thrown by ExitProcess on the headless backend (unless the owner replaced onExit), so a test
// can assert the exit and go on in the same process.
struct ProcessExit : std::runtime_error {
  explicit ProcessExit(int32_t exitStatus)
      : std::runtime_error("process exit " + std::to_string(exitStatus)), status(exitStatus) {}
  int32_t status;
};

struct MessageBoxRecord {
  WindowHandle owner;
  std::string text;
  std::string caption;
  uint32_t type;
};

// Windows, messages and the desktop in memory. Message boxes are recorded instead of shown,
// the clock is set by whoever drives it, and any call can be made to fail (the operation's
// name, e.g. "RegisterClass" or "CreateWindow", with the FailureInjector).
class HeadlessWindows final : public WindowSystem {
 public:
  struct Window final : WindowObject {
    Window(Backend& owner, WindowProcedure proc) : WindowObject(owner), procedure(proc) {}
    std::string className;
    std::string title;
    WindowProcedure procedure;
    uint32_t style = 0;
    Rect rect;
    bool visible = false;
    bool minimized = false;
    WindowHandle owner = nullptr;
    InstanceHandle instance = nullptr;
    intptr_t userData = 0;
  };

  explicit HeadlessWindows(Backend& backend);
  ~HeadlessWindows() override;

  bool RegisterWindowClass(const char* className, WindowProcedure procedure,
                           InstanceHandle instance) override;
  bool UnregisterWindowClass(const char* className, InstanceHandle instance) override;
  WindowHandle CreateClassWindow(const char* className, const char* title, uint32_t style,
                                 int32_t x, int32_t y, int32_t width, int32_t height,
                                 WindowHandle owner, InstanceHandle instance) override;
  bool DestroyWindow(WindowHandle window) override;
  bool SetWindowPos(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t flags) override;
  bool ShowWindow(WindowHandle window, int32_t command) override;
  void SetActiveWindow(WindowHandle window) override { activeWindow = window; }
  void SetFocus(WindowHandle window) override { focusWindow = window; }
  bool GetWindowRect(WindowHandle window, Rect* rect) override;
  void SetUserData(WindowHandle window, intptr_t value) override;
  intptr_t GetUserData(WindowHandle window) override;

  intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) override;
  bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override;
  void PostQuitMessage(int32_t code) override;
  bool PeekWindowMessage(Message* message) override;
  void TranslateMessage(const Message&) override {}
  intptr_t DispatchWindowMessage(const Message& message) override;
  intptr_t DefaultWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) override { return 0; }

  int32_t ShowCursor(bool show) override { return show ? ++cursorCounter : --cursorCounter; }
  bool SetWallpaper(const char* path) override;
  bool NotifyIcon(uint32_t action, const TrayIconRecord& record) override;
  IconHandle LoadIconResource(InstanceHandle instance, int32_t resourceId) override;

  int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                         uint32_t type) override;
  [[noreturn]] void ExitProcess(int32_t status) override;
  uint32_t Milliseconds() override { return clock; }
  size_t GetModulePath(InstanceHandle instance, char* buffer, size_t size) override;

  // Inspection and control for tests and hosts.
  Window* Find(WindowHandle window) const;  // null for a handle that is not a live window
  std::vector<Window*> LiveWindows() const;
  size_t QueuedMessages() const { return queue_.size(); }

  FailureInjector failures;
  std::vector<MessageBoxRecord> messageBoxes;
  std::function<void(const MessageBoxRecord&)> onMessageBox;  // called as each box is shown
  std::function<void(int32_t)> onExit;  // default: throw ProcessExit
  // Called whenever PeekWindowMessage finds the queue empty: a test's chance to act like a user
  // while the plug-in pumps messages itself (Config waiting for the About box).
  std::function<void()> onIdle;
  std::vector<int32_t> exits;           // every status ExitProcess was called with
  int32_t cursorCounter = 0;
  std::string wallpaper;                // empty: the user's own wallpaper
  std::vector<std::string> wallpaperHistory;
  std::vector<TrayIconRecord> trayIcons;  // icons currently shown
  WindowHandle activeWindow = nullptr;
  WindowHandle focusWindow = nullptr;
  uint32_t clock = 0;
  std::string moduleFileName = "C:\\Corvex\\vis_corvex.dll";

 private:
  Backend& backend_;
  std::map<std::string, WindowProcedure> classes_;
  std::vector<std::unique_ptr<Window>> windows_;
  std::deque<Message> queue_;
};

}  // namespace corvex::platform::headless
