#pragma once
#include <SDL.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/backend.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_files.h"
#include "platform/headless/headless_profiles.h"
#include "platform/headless/headless_text.h"
#include "platform/headless/headless_windows.h"
#include "platform/sdl/imgui_dialogs.h"
#include "platform/sdl/sdl_windows.h"
#include "platform/sdl/x11_window_watch.h"

namespace corvex::platform::sdl {

// There is no display to open a window on; what() says why.
struct NoDisplay : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The live backend on a desktop: one SDL window shows what the plug-in presents. The plug-in's
// windows, surfaces and text are the headless backend's (real memory in the display's format,
// FreeType text), so a live frame is the same picture an offline render makes; this backend
// adds the monitor (its modes become the device's, a full screen at a size the monitor does not
// switch to is a desktop-sized window with the picture scaled to fit, and there is no overlay,
// so background mode is unsupported), the user's input, SDL message boxes and cursor, and the
// Configuration Panel and About box drawn with Dear ImGui from their control models.
class SdlBackend final : public Backend {
 public:
  // Opens SDL's video and a hidden window. Throws NoDisplay when SDL finds no display.
  explicit SdlBackend(const char* windowTitle);
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  WindowSystem& Windows() override { return windows_; }
  ProfileStore& Profiles() override { return profiles; }
  FileSystem& Files() override { return files; }
  DialogSystem& Dialogs() override { return dialogs; }
  DisplaySystem& Display() override { return display; }
  GraphicsSystem& Graphics() override { return graphics; }

  // Turns SDL's pending events into messages: keys to the plug-in's window (the one that holds
  // the display), moves of the window as position changes, the close button as WM_CLOSE. Mouse
  // input goes to the dialogs.
  void PumpEvents();
  // Shows the picture the plug-in presented last, scaled to fit in full screen, with the open
  // dialogs over it; then carries out what the user did in the dialogs.
  void Present();

  SDL_Window* window() const { return window_; }
  SDL_Renderer* renderer() const { return renderer_; }
  bool FullScreen() const { return fullScreen_; }
  int64_t PresentedFrames() const { return presentedFrames_; }
  const DialogPainter& painter() const { return painter_; }

  // False: message boxes are only recorded (store.messageBoxes) and written to stderr, for runs
  // nobody watches.
  bool showMessageBoxes = true;
  // True while the host waits in the plug-in's own message loop (the About box of Config):
  // the window keeps being drawn whenever the queue is empty.
  bool redrawWhenIdle = false;

  headless::HeadlessWindows store;
  headless::HeadlessProfiles profiles;
  headless::HeadlessFiles files;
  headless::HeadlessDialogs dialogs;
  headless::HeadlessGraphics graphics;
  headless::HeadlessDisplay display;

 private:
  void FollowDisplayMode(const headless::Picture& picture);
  void Upload(const headless::Picture& picture);
  SDL_Rect PictureArea(const headless::Picture& picture) const;
  // Asks the plug-in's window to close, once however many ways the user or the desktop ask.
  void CloseOnce(WindowHandle target);

  SdlWindows windows_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::unique_ptr<X11WindowWatch> windowWatch_;  // made once the window is, gone after it is
  int32_t textureWidth_ = 0;
  int32_t textureHeight_ = 0;
  bool shown_ = false;
  bool fullScreen_ = false;
  bool closeSent_ = false;
  Rect appliedRect_;
  int64_t presentedFrames_ = 0;
  DialogPainter painter_;
};

}  // namespace corvex::platform::sdl
