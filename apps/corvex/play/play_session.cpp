#include "play/play_session.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "host_error.h"
#include "platform/messages.h"
#include "platform/sdl/sdl_backend.h"
#include "play/capture_input.h"
#include "play/media_keys.h"
#include "play/playback.h"
#include "play/quiet_standard_error.h"
#include "play/player_window.h"
#include "player.h"
#include "plugin_guard.h"
#include "plugin/vis_module.h"
#include "base/random.h"
#include "taken_signals.h"
#include "vis_data.h"

namespace corvex::host {

namespace {

constexpr double kFallbackRefresh = 60.0;
// The median of the last few measures: one frame held up by a busy machine moves it little.
class RecentMedian {
 public:
  double Add(double value) {
    values_[next_++ % values_.size()] = value;
    // A vector of just the filled entries: sorting part of the array makes GCC 12 at -O3
    // warn about bounds it cannot see are kept.
    const size_t count = std::min(next_, values_.size());
    std::vector<double> filled(values_.begin(), values_.begin() + static_cast<ptrdiff_t>(count));
    std::nth_element(filled.begin(), filled.begin() + static_cast<ptrdiff_t>(count / 2),
                     filled.end());
    return filled[count / 2];
  }

 private:
  std::array<double, 15> values_{};
  size_t next_ = 0;
};

double Now() {
  return static_cast<double>(SDL_GetPerformanceCounter()) /
         static_cast<double>(SDL_GetPerformanceFrequency());
}

void WaitUntil(double moment) {
  const double left = moment - Now();
  if (left > 0.0) SDL_Delay(static_cast<Uint32>(std::lround(left * 1000.0)));
}

double DisplayRefresh(SDL_Window* window) {
  SDL_DisplayMode mode;
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  if (SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
    return mode.refresh_rate;
  }
  return kFallbackRefresh;
}

// SDL's audio for the length of a run; its absence is not an error (the run is silent).
struct AudioSubsystem {
  AudioSubsystem() {
    {
      QuietStandardError quiet;
      ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    if (!ok) reason = SDL_GetError();
  }
  ~AudioSubsystem() {
    if (ok) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  bool ok = false;
  std::string reason;
};

}  // namespace

PlaySession::PlaySession(std::function<Playlist()> openPlaylist, PlayConfig config)
    : openPlaylist_(std::move(openPlaylist)), config_(std::move(config)) {}

PlaySession::~PlaySession() = default;

void PlaySession::SetUpSettings() {
  platform::headless::HeadlessDisplay& display = backend_->display;
  if (!config_.width && !config_.fullScreen) return;
  const int32_t width = config_.width.value_or(display.desktop.width);
  const int32_t height = config_.height.value_or(display.desktop.height);
  if (width > display.desktop.width || height > display.desktop.height) {
    throw HostError(ExitStatus::kUsage,
                    "--size " + std::to_string(width) + "x" + std::to_string(height) +
                        " does not fit on the display (" + std::to_string(display.desktop.width) +
                        "x" + std::to_string(display.desktop.height) + ")");
  }
  // Any size that fits is offered, so a window can have the size asked for.
  auto offered = std::find_if(display.modes.begin(), display.modes.end(), [&](const auto& m) {
    return m.width == width && m.height == height;
  });
  if (offered == display.modes.end()) {
    display.modes.push_back(platform::headless::StandardMode(width, height, 32));
    offered = display.modes.end() - 1;
  }
  const std::string path = config_.pluginFolder + "/vis_corvex.ini";
  const std::string mode = config_.fullScreen ? "0" : "1";
  const std::string index = std::to_string(offered - display.modes.begin());
  backend_->profiles.WritePrivateProfileValue(kPluginTitle, "Display_Mode", mode.c_str(),
                                               path.c_str());
  backend_->profiles.WritePrivateProfileValue(kPluginTitle, "Resolution_Mode", index.c_str(),
                                               path.c_str());
}

PlayResult PlaySession::Run() {
  AudioSubsystem audio;
  try {
    // Quiet while SDL looks for a display: the libraries it tries print lines of their own
    // when there is none (Wayland's without a runtime folder), and SDL's error, which the note
    // quotes, says the same.
    QuietStandardError quiet;
    backend_ = std::make_unique<platform::sdl::SdlBackend>(kPluginTitle);
  } catch (const platform::sdl::NoDisplay& error) {
    throw HostError(ExitStatus::kOutput,
                    std::string("no display to play on (") + error.what() +
                        "); corvex render makes a video of the same pictures without one");
  }
  platform::sdl::SdlBackend& backend = *backend_;
  // SDL turns Ctrl-C and SIGTERM into a quit, which a live run takes as the closing of its
  // window: the plug-in quits and saves its settings. A closed terminal and Ctrl-\ would end the
  // process at once, the settings unsaved and a settings copy left in its temporary folder;
  // they are passed on as SIGTERM (raise is safe in a handler), to end the run the same way.
  const TakenSignals terminalSignals({SIGHUP, SIGQUIT}, [](int) { raise(SIGTERM); });
  backend.showMessageBoxes = config_.showMessageBoxes;
  backend.store.moduleFileName = config_.pluginFolder + "/vis_corvex.dll";
  SetUpSettings();

  PlayerWindow host(backend.Windows());
  if (config_.capture) {
    if (!audio.ok) throw HostError(ExitStatus::kInput, "--capture: no sound system (" + audio.reason + ")");
    capture_ = std::make_unique<CaptureInput>();
    if (config_.notes != nullptr) {
      std::fprintf(config_.notes, "corvex: recording %s%s\n", capture_->deviceName().c_str(),
                   capture_->IsMonitor() ? " (what the computer plays)"
                                         : " (no monitor of the output was found)");
    }
    const std::string title = "System audio: " + capture_->deviceName();
    host.playingPosition = [this] {
      return static_cast<int32_t>(std::min(capture_->RecordedSeconds() * 1000.0, 2147483647.0));
    };
    host.title = [title](int32_t index) {
      return index == 0 ? std::optional<std::string>(title) : std::nullopt;
    };
    analyzer_ = std::make_unique<VisAnalyzer>();
  } else {
    soundList_.emplace(openPlaylist_());
    pictureList_.emplace(openPlaylist_());
    player_ = std::make_unique<Player>(*pictureList_);
    host.playingPosition = [this] { return player_->PositionMs(); };
    host.playlistIndex = [this] { return player_->Index(); };
    host.title = [this](int32_t index) { return player_->Title(index); };
    playback_ = std::make_unique<Playback>(*soundList_);
    if (!playback_->HasSound() && config_.notes != nullptr) {
      std::fprintf(config_.notes, "corvex: no sound device (%s); the visualization runs silent\n",
                   audio.ok ? playback_->noSoundReason().c_str() : audio.reason.c_str());
    }
  }

  module_ = winampVisGetHeader()->getModule(0);
  VisModule* module = module_;
  module->hwndParent = host.handle();
  module->hDllInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  ModuleRelease release{module};
  host.onKey = [this, module, &backend](uint32_t message, uint32_t virtualKey) {
    const std::optional<MediaAction> action = MediaActionOf(message, virtualKey);
    if (!action) return;
    if (action->command == MediaCommand::About) {
      // Config waits in its own message loop until the box is closed; the window keeps
      // being drawn meanwhile.
      backend.redrawWhenIdle = true;
      module->Config(module);
      backend.redrawWhenIdle = false;
    } else if (playback_) {
      Apply(*action, *playback_);
    }
  };
  if (config_.seed) SeedRandom(*config_.seed);

  const double latency = config_.latencyMs.value_or(module->latencyMs) / 1000.0;
  bool running = false;
  return GuardPluginRun(*module, backend.store.messageBoxes, running, [&] {
    PlayResult result;
    FillVisData(latency);
    if (module->Init(module) != 0) {
      throw HostError(ExitStatus::kPlugin,
                      "the plug-in refused to start: " + DescribeLastBox(backend.store.messageBoxes));
    }
    running = true;
    if (config_.showInfo) {
      platform::WindowHandle window = backend.display.CooperativeWindow();
      if (window != nullptr) backend.Windows().PostWindowMessage(window, platform::wm::KeyDown, platform::vk::F4, 1);
    }
    const double refresh =
        config_.refreshHz.value_or(DisplayRefresh(backend.window()));
    const double interval = refresh > 0.0 ? 1.0 / refresh : 0.0;
    const double start = Now();
    double next = start;
    double makingTime = 0.0;
    RecentMedian makingTimes;
    while (config_.maxFrames == 0 || result.frames < config_.maxFrames) {
      if (!host.PumpMessages()) {
        result.quitByPlugin = true;
        break;
      }
      if (playback_) {
        playback_->Feed();
        if (playback_->Finished()) break;
      }
      // The frame appears only once it is drawn and shown, so it gets the sound of that
      // moment: what is heard now, plus the time the last frames took to make and show.
      const double made = Now();
      FillVisData(latency + makingTime);
      module->Render(module);
      backend.Present();
      makingTime = makingTimes.Add(Now() - made);
      ++result.frames;
      if (afterFrame) afterFrame(result.frames - 1);
      // The next frame at the next refresh, and no sooner than the pause the plug-in asked for.
      next = std::max(next + interval, Now() - interval);
      WaitUntil(std::max(next, Now() + module->delayMs / 1000.0));
    }
    result.seconds = Now() - start;
    running = false;
    module->Quit(module);
    for (const auto& box : backend.store.messageBoxes) result.messages.push_back(box.caption + ": " + box.text);
    return result;
  });
}

void PlaySession::FillVisData(double aheadSeconds) {
  VisModule& module = *module_;
  if (capture_) {
    // Recorded sound cannot be looked ahead of: the latest block is the one heard now.
    int16_t latest[kBlockFrames * 2];
    const int32_t frames = capture_->Latest(latest, kBlockFrames);
    VisBlock block{};
    analyzer_->Analyze(latest, frames, &block);
    std::memcpy(module.spectrumData, block.spectrum, sizeof block.spectrum);
    std::memcpy(module.waveformData, block.waveform, sizeof block.waveform);
    module.sRate = capture_->rate();
    module.nCh = 2;
    visSeconds_ = capture_->RecordedSeconds();
    return;
  }
  // The player answers for the moment heard; the picture shows a moment ahead of it.
  const double heard = playback_->HeardSeconds();
  player_->SetTime(heard);
  visSeconds_ = heard + aheadSeconds;
  if (playback_->state() == Playback::State::Playing) {
    player_->FillVisData(visSeconds_, module);
  } else {
    std::memset(module.spectrumData, 0, sizeof module.spectrumData);
    std::memset(module.waveformData, 0, sizeof module.waveformData);
  }
}

}  // namespace corvex::host
