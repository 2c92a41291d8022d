#include "vis_session.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace testhost {

namespace {

constexpr int32_t kBlockFrames = 576;

BOOL CALLBACK MatchPluginWindow(HWND window, LPARAM found) {
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, corvex::kPluginTitle) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The plug-in's own window is the one of its title's class on this thread.
HWND FindPluginWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &MatchPluginWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

void Say(const char* format, int32_t value) {
  std::printf(format, value);
  std::fflush(stdout);
}

}  // namespace

VisSession::VisSession(const HostOptions& options, corvex::VisModule* module, HINSTANCE library,
                       HWND player, PlayerState* state, const VisFeed& feed)
    : options_(options), module_(module), library_(library), player_(player), state_(state),
      feed_(feed) {}

int32_t VisSession::Run() {
  module_->hwndParent = player_;
  module_->hDllInstance = library_;
  module_->sRate = feed_.SampleRate();
  module_->nCh = 2;
  FeedFrame(0);
  const int32_t initResult = module_->Init(module_);
  Say("init %d\n", initResult);
  if (initResult != 0) return initResult;  // a player never renders after a failed Init
  HWND pluginWindow = FindPluginWindow();
  const int32_t frames = options_.renderOnOtherThread ? RenderFramesOnOtherThread(pluginWindow)
                                                       : RenderFrames(pluginWindow);
  Say("frames %d\n", frames);
  module_->Quit(module_);
  Say("quit %d\n", 0);
  return 0;
}

bool VisSession::PumpUntilQuit() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      Say("quit message %d\n", static_cast<int32_t>(message.wParam));
      // A careless host goes on calling Render until its own reasons to stop.
      if (!options_.ignoreQuit) return false;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

void VisSession::PostScriptedKeys(int32_t frame, HWND pluginWindow) {
  for (const ScriptedKey& key : options_.keys) {
    if (key.frame != frame || pluginWindow == nullptr) continue;
    // Repeat count 1; bit 29 says Alt is held; bits 30 and 31 mark the key coming up.
    const LPARAM alt = key.alt ? LPARAM{1} << 29 : 0;
    const LPARAM up = LPARAM{3} << 30;
    PostMessageA(pluginWindow, key.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.virtualKey, 1 | alt);
    PostMessageA(pluginWindow, key.alt ? WM_SYSKEYUP : WM_KEYUP, key.virtualKey, 1 | alt | up);
  }
  if (frame == options_.destroyHostAtFrame) {
    // The player's window goes away on its own thread, as when the player is closed.
    PostMessageA(player_, WM_CLOSE, 0, 0);
    Say("host window closing at frame %d\n", frame);
  }
  if (frame == options_.closePluginAtFrame) {
    PostMessageA(pluginWindow, WM_CLOSE, 0, 0);
    Say("plug-in window closing at frame %d\n", frame);
  }
  if (frame == options_.quitAtFrame) PostQuitMessage(0);
}

void VisSession::FeedFrame(int32_t frame) {
  // Each song lasts half the run, so the second one starts with its position back at 0.
  const int32_t songFrames = options_.frames / kPlaylistLength + 1;
  const int32_t song = (frame / songFrames) % kPlaylistLength;
  const int64_t inSong = frame % songFrames;
  state_->playlistIndex = song;
  state_->positionMs = static_cast<int32_t>(inSong * kBlockFrames * 1000 / feed_.SampleRate());
  feed_.Block(frame, module_->spectrumData, module_->waveformData);
}

int32_t VisSession::RenderFrames(HWND pluginWindow) {
  int32_t frame = 0;
  for (; frame < options_.frames; ++frame) {
    PostScriptedKeys(frame, pluginWindow);
    if (!PumpUntilQuit()) break;
    FeedFrame(frame);
    module_->Render(module_);
    if (frame % 100 == 0) Say("frame %d\n", frame);
    if (module_->delayMs > 0) Sleep(static_cast<DWORD>(module_->delayMs));
  }
  return frame;
}

int32_t VisSession::RenderFramesOnOtherThread(HWND pluginWindow) {
  // A careless host: Render comes from a thread of its own while Init's thread only pumps the
  // plug-in window's messages.
  std::atomic<bool> stop{false};
  std::atomic<int32_t> rendered{0};
  std::thread renderer([&] {
    for (int32_t frame = 0; frame < options_.frames && !stop; ++frame) {
      FeedFrame(frame);
      module_->Render(module_);
      rendered = frame + 1;
      if (frame % 100 == 0) Say("frame %d\n", frame);
      if (module_->delayMs > 0) Sleep(static_cast<DWORD>(module_->delayMs));
    }
  });
  int32_t keysPostedUpTo = -1;
  while (rendered < options_.frames) {
    const int32_t now = rendered;
    for (; keysPostedUpTo < now; ++keysPostedUpTo) PostScriptedKeys(keysPostedUpTo + 1, pluginWindow);
    if (!PumpUntilQuit()) break;
    Sleep(1);
  }
  stop = true;
  renderer.join();
  return rendered;
}

}  // namespace testhost
