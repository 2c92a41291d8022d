#include "play/capture_input.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "host_error.h"
#include "play/quiet_standard_error.h"
#include "play/stereo_format.h"

namespace corvex::host {

namespace {

// Sound servers name the monitor of an output "Monitor of <output>".
bool IsMonitorName(const char* name) {
  return name != nullptr && std::strncmp(name, "Monitor of ", 11) == 0;
}

std::string DefaultOutput() {
  char* output = nullptr;
  SDL_AudioSpec outputFormat;
  if (SDL_GetDefaultAudioInfo(&output, &outputFormat, 0) != 0 || output == nullptr) return "";
  std::string name = output;
  SDL_free(output);
  return name;
}

// The monitor of the default output, else any monitor; empty when there is none.
std::string MonitorDevice() {
  const std::string wanted = "Monitor of " + DefaultOutput();
  std::string anyMonitor;
  const int count = SDL_GetNumAudioDevices(1);
  for (int i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 1);
    if (!IsMonitorName(name)) continue;
    if (name == wanted) return name;
    if (anyMonitor.empty()) anyMonitor = name;
  }
  return anyMonitor;
}

// Restarts SDL's audio, so the sound server's client reads its settings from the environment
// afresh.
void RestartAudio() {
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  SDL_InitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

CaptureInput::CaptureInput() {
  SDL_AudioSpec want = StereoFormat(rate_, 512, &CaptureInput::Callback, this);
  SDL_AudioSpec have{};
  {
    QuietStandardError quiet;
    OpenDevice(want, have);
  }
  if (device_ == 0) {
    throw HostError(ExitStatus::kInput,
                    std::string("--capture: there is no sound to record from (") +
                        SDL_GetError() + ")");
  }
  ring_.assign(static_cast<size_t>(rate_) * 2, 0);
  SDL_PauseAudioDevice(device_, 0);
}

void CaptureInput::OpenDevice(SDL_AudioSpec& want, SDL_AudioSpec& have) {
  const char* driver = SDL_GetCurrentAudioDriver();
  if (driver != nullptr && std::strcmp(driver, "pulseaudio") == 0 &&
      std::getenv("PULSE_SOURCE") == nullptr) {
    // SDL lists no monitors of a PulseAudio (or PipeWire) server, but the server takes the
    // name of the default output's monitor as the source of a client that asks for no
    // particular one.
    setenv("PULSE_SOURCE", "@DEFAULT_MONITOR@", 1);
    RestartAudio();
    device_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    unsetenv("PULSE_SOURCE");
    if (device_ != 0) {
      monitor_ = true;
      deviceName_ = "the monitor of the default output (" + DefaultOutput() + ")";
      return;
    }
    RestartAudio();
  }
  const std::string monitor = MonitorDevice();
  monitor_ = !monitor.empty();
  deviceName_ = monitor_ ? monitor : "the default recording device";
  device_ = SDL_OpenAudioDevice(monitor_ ? monitor.c_str() : nullptr, 1, &want, &have, 0);
}

CaptureInput::~CaptureInput() { SDL_CloseAudioDevice(device_); }

void CaptureInput::Callback(void* self, Uint8* stream, int length) {
  auto* input = static_cast<CaptureInput*>(self);
  const auto* samples = reinterpret_cast<const int16_t*>(stream);
  const int64_t frames = length / 4;
  std::lock_guard<std::mutex> guard(input->lock_);
  const int64_t ringFrames = static_cast<int64_t>(input->ring_.size() / 2);
  for (int64_t i = 0; i < frames; ++i) {
    const int64_t at = (input->recorded_ + i) % ringFrames;
    input->ring_[at * 2] = samples[i * 2];
    input->ring_[at * 2 + 1] = samples[i * 2 + 1];
  }
  input->recorded_ += frames;
}

double CaptureInput::RecordedSeconds() const {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<double>(recorded_) / rate_;
}

int32_t CaptureInput::Latest(int16_t* stereo, int32_t frames) const {
  std::lock_guard<std::mutex> guard(lock_);
  const int64_t ringFrames = static_cast<int64_t>(ring_.size() / 2);
  const int64_t count = std::min<int64_t>({frames, recorded_, ringFrames});
  for (int64_t i = 0; i < count; ++i) {
    const int64_t at = (recorded_ - count + i) % ringFrames;
    stereo[i * 2] = ring_[at * 2];
    stereo[i * 2 + 1] = ring_[at * 2 + 1];
  }
  return static_cast<int32_t>(count);
}

}  // namespace corvex::host
