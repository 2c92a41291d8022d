#include "render_session.h"

#include <cmath>
#include <memory>
#include <optional>

#include "base/random.h"
#include "display_setup.h"
#include "frame_sink.h"
#include "host_error.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/host_window.h"
#include "platform/messages.h"
#include "player.h"
#include "plugin/vis_module.h"
#include "platform/headless/headless_pixels.h"
#include "progress_line.h"

namespace corvex::host {

namespace {

using platform::headless::HeadlessBackend;
using platform::headless::HeadlessWindows;
using platform::headless::HostWindow;
using platform::headless::ProcessExit;

// Keys go to the plug-in's own window, found by the title it gives it (the module's
// description), as keyboard input goes to the window in front.
platform::WindowHandle PluginWindow(HeadlessWindows& windows, const VisModule& module) {
  for (HeadlessWindows::Window* window : windows.LiveWindows()) {
    if (window->title == module.description && window != module.hwndParent) return window;
  }
  return nullptr;
}

void PostKey(HeadlessWindows& windows, const VisModule& module, uint32_t message,
             uint32_t virtualKey) {
  platform::WindowHandle window = PluginWindow(windows, module);
  if (window == nullptr) return;
  // lParam: a repeat count of 1, and for a system key the context bit (Alt held down).
  const intptr_t lParam = message == platform::wm::SysKeyDown ? 0x20000001 : 1;
  windows.PostWindowMessage(window, message, virtualKey, lParam);
}

std::string Describe(const std::vector<platform::headless::MessageBoxRecord>& boxes) {
  if (boxes.empty()) return "no message";
  const auto& box = boxes.back();
  return "\"" + box.text + "\" (" + box.caption + ")";
}

// Leaves the module record as a player leaves it when the run ends, whatever happened.
struct ModuleRelease {
  VisModule* module;
  ~ModuleRelease() {
    module->hwndParent = nullptr;
    module->hDllInstance = nullptr;
  }
};

}  // namespace

RenderSession::RenderSession(Playlist& playlist, SessionConfig config)
    : playlist_(playlist), config_(std::move(config)) {}

SessionResult RenderSession::Run(FrameSink& sink) {
  auto backend = std::make_unique<HeadlessBackend>();
  HeadlessWindows& windows = backend->windows;
  windows.moduleFileName = config_.pluginFolder + "/vis_corvex.dll";
  OfferOnlySize(backend->display, config_.width, config_.height);
  HostWindow host(*backend);
  Player player(playlist_);
  player.AnswerThrough(host);

  VisModule* module = winampVisGetHeader()->getModule(0);
  module->hwndParent = host.handle();
  module->hDllInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  ModuleRelease release{module};
  if (prepareBackend) prepareBackend(*backend);
  if (config_.seed) SeedRandom(*config_.seed);

  const double latency = module->latencyMs / 1000.0;
  SessionResult result;
  bool running = false;  // Init succeeded and Quit has not run yet
  try {
    player.SetTime(config_.startSeconds);
    player.FillVisData(config_.startSeconds + latency, *module);
    if (module->Init(module) != 0) {
      throw HostError(ExitStatus::kPlugin,
                      "the plug-in refused to start: " + Describe(windows.messageBoxes));
    }
    running = true;
    if (config_.showInfo) PostKey(windows, *module, platform::wm::KeyDown, platform::vk::F4);

    size_t nextKey = 0;
    for (int64_t n = 0; n < config_.frameCount; ++n) {
      if (betweenFrames) betweenFrames();
      const double moment = config_.startSeconds + static_cast<double>(n) / config_.fps;
      // Keys at or before this frame's moment reach the window before the frame is made.
      while (nextKey < config_.keys.size() && config_.keys[nextKey].seconds <= moment + 1e-9) {
        const ScriptedKey& key = config_.keys[nextKey++];
        PostKey(windows, *module, key.message, key.virtualKey);
      }
      if (!host.PumpMessages()) {
        result.quitByPlugin = true;
        break;
      }
      windows.clock = static_cast<uint32_t>(std::llround((moment - config_.startSeconds) * 1000.0));
      player.SetTime(moment);
      player.FillVisData(moment + latency, *module);
      if (beforeRender) beforeRender(n);
      module->Render(module);
      // A live player would wait delayMs now; offline the frame clock is fixed by the frame
      // rate, so the pause is only recorded.
      result.lastDelayMs = module->delayMs;
      if (afterRender) afterRender(n);
      // What the screen shows, overlays included: read where it lies, or copied when it must be
      // converted or stretched first.
      const platform::headless::HeadlessDisplay& display = backend->display;
      std::optional<PictureRows> picture = display.PresentedRows();
      platform::headless::Picture converted;
      if (!picture) {
        converted = display.PresentedPicture();
        picture = platform::headless::ContiguousRows(converted.pixels.data(), converted.width,
                                                     converted.height);
      }
      if (picture->width <= 0 || picture->height <= 0) {
        throw HostError(ExitStatus::kPlugin, "the plug-in presented no picture in frame " +
                                                 std::to_string(n + 1));
      }
      if (picture->width != config_.width || picture->height != config_.height) {
        throw HostError(ExitStatus::kPlugin,
                        "the display shows " + std::to_string(picture->width) + "x" +
                            std::to_string(picture->height) + " instead of " +
                            std::to_string(config_.width) + "x" + std::to_string(config_.height));
      }
      sink.Write(*picture);
      ++result.frames;
      if (progress != nullptr) {
        progress->Update(result.frames, static_cast<double>(result.frames) / config_.fps);
      }
    }
    running = false;
    module->Quit(module);
    for (const auto& box : windows.messageBoxes) result.messages.push_back(box.caption + ": " + box.text);
  } catch (const ProcessExit& exit) {
    const std::string message = "the plug-in ended the run with status " +
                                std::to_string(exit.status) + " after " +
                                Describe(windows.messageBoxes);
    // Under a player the process would be gone now. Here the plug-in is asked to let go of what
    // it made while its windows and display still exist; should that fail too, corvex ends
    // the process itself.
    try {
      module->Quit(module);
    } catch (const ProcessExit&) {
    }
    throw HostError(ExitStatus::kPlugin, message);
  } catch (...) {
    // The output failed: the run ends as when the user stops the player, with Quit.
    if (running) {
      try {
        module->Quit(module);
      } catch (const ProcessExit&) {
      }
    }
    throw;
  }
  return result;
}

}  // namespace corvex::host
