#pragma once
#include <SDL.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace corvex::host {

// The sound the computer is playing, recorded live: the monitor of the default output where
// the sound server offers one, else the default recording device.
class CaptureInput {
 public:
  // Opens and starts the recording (SDL's audio must be initialised). Throws HostError (input)
  // when there is nothing to record from.
  CaptureInput();
  ~CaptureInput();
  CaptureInput(const CaptureInput&) = delete;
  CaptureInput& operator=(const CaptureInput&) = delete;

  // The device recorded from, as the sound server names it, and whether it is a monitor.
  const std::string& deviceName() const { return deviceName_; }
  bool IsMonitor() const { return monitor_; }
  int32_t rate() const { return rate_; }

  // Seconds of sound recorded so far: the playing position.
  double RecordedSeconds() const;
  // The latest frames recorded (16-bit stereo, oldest first), up to `frames` of them.
  int32_t Latest(int16_t* stereo, int32_t frames) const;

 private:
  static void Callback(void* self, Uint8* stream, int length);
  // Opens the monitor of the default output where there is one, else the default recording
  // device; device_ stays 0 when neither opens.
  void OpenDevice(SDL_AudioSpec& want, SDL_AudioSpec& have);

  SDL_AudioDeviceID device_ = 0;
  std::string deviceName_;
  bool monitor_ = false;
  int32_t rate_ = 44100;
  mutable std::mutex lock_;
  std::vector<int16_t> ring_;  // the last second, as a ring of stereo frames
  int64_t recorded_ = 0;       // frames recorded since the start
};

}  // namespace corvex::host
