#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/headless/headless_backend.h"
#include "platform/headless/host_window.h"
#include "plugin/vis_module.h"

namespace corvex::testing {

// A media player on the headless backend: its own backend and main window, the plug-in loaded
// through winampVisGetHeader, and the audio it writes into the module record each frame.
// The display is the headless default (640 x 480, 800 x 600 and 1024 x 768 at 16 and 32 bits,
// a 1024 x 768 x 32 desktop, 16 MiB of video memory, an RGB overlay), so a run without
// settings starts full screen at 640 x 480 x 32; describe another through display() before
// Init.
class PluginHarness {
 public:
  PluginHarness();
  ~PluginHarness();

  VisModule& module() { return *module_; }
  platform::headless::HeadlessBackend& backend() { return *backend_; }
  platform::headless::HeadlessWindows& windows() { return backend_->windows; }
  platform::headless::HeadlessDisplay& display() { return backend_->display; }
  platform::headless::HostWindow& host() { return *host_; }
  // The player's own folder, where the plug-in library "lies": the settings file and the
  // readme are looked for here. Made empty for each player and removed with it.
  const std::filesystem::path& folder() const { return folder_; }
  std::string FileBesidePlugin(const char* name) const { return (folder_ / name).string(); }

  int32_t Init() { return module_->Init(module_); }
  int32_t Render() { return module_->Render(module_); }
  void Quit() { module_->Quit(module_); }
  // Pumps the host's messages; false once the plug-in asked to end.
  bool Pump() { return host_->PumpMessages(); }

  // Fills both channels' waveform with one byte value and the spectrum with another.
  void FillAudio(uint8_t wave, uint8_t spectrum);

 private:
  std::filesystem::path folder_;
  std::unique_ptr<platform::headless::HeadlessBackend> backend_;
  std::unique_ptr<platform::headless::HostWindow> host_;
  VisModule* module_;
};

}  // namespace corvex::testing
