#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/headless/headless_backend.h"
#include "platform/headless/host_window.h"
#include "plugin/vis_module.h"

namespace corvex::testing {

// A media player on the headless backend with the plug-in loaded through winampVisGetHeader.
// Its display is the headless default, so a run without settings starts full screen at
// 640 x 480 x 32; describe another through display() before Init.
class PluginHarness {
 public:
  PluginHarness();
  ~PluginHarness();

  VisModule& module() { return *module_; }
  platform::headless::HeadlessBackend& backend() { return *backend_; }
  platform::headless::HeadlessWindows& windows() { return backend_->windows; }
  platform::headless::HeadlessDisplay& display() { return backend_->display; }
  platform::headless::HostWindow& host() { return *host_; }
  // An empty folder of this player's own, where the library "lies"; removed with the player.
  const std::filesystem::path& folder() const { return folder_; }
  std::string FileBesidePlugin(const char* name) const { return (folder_ / name).string(); }

  int32_t Init() { return module_->Init(module_); }
  int32_t Render() { return module_->Render(module_); }
  void Quit() { module_->Quit(module_); }
  bool Pump() { return host_->PumpMessages(); }  // false once the plug-in asked to end

  // Makes the display offer only small modes, so runs with many display changes stay quick:
  // 64x48x32, 48x480x16 (the 480-line mode a run with no chosen resolution starts with) and
  // 80x60 at 16 and 32 bits, on a 128x96x32 desktop.
  void UseSmallDisplay();

  // Both channels' waveform get one byte value, the spectrum another.
  void FillAudio(uint8_t wave, uint8_t spectrum);

  static std::string ReadFile(const std::string& path);  // empty when missing
  static void WriteFile(const std::string& path, const std::string& bytes);

 private:
  std::filesystem::path folder_;
  std::unique_ptr<platform::headless::HeadlessBackend> backend_;
  std::unique_ptr<platform::headless::HostWindow> host_;
  VisModule* module_;
};

}  // namespace corvex::testing
