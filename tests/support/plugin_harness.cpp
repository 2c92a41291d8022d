#include "support/plugin_harness.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvex::testing {

namespace {

std::filesystem::path MakeFreshFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvex-player-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no folder for the player");
  return pattern;
}
}  // namespace

PluginHarness::PluginHarness()
    : folder_(MakeFreshFolder()),
      backend_(std::make_unique<platform::headless::HeadlessBackend>()),
      host_(std::make_unique<platform::headless::HostWindow>(*backend_)) {
  module_ = winampVisGetHeader()->getModule(0);
  if (module_ == nullptr) throw std::runtime_error("the plug-in offers no module 0");
  module_->hwndParent = host_->handle();
  module_->hDllInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  backend_->windows.moduleFileName = FileBesidePlugin("vis_corvex.so");
  FillAudio(0, 0);
}

PluginHarness::~PluginHarness() {
  module_->hwndParent = nullptr;
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void PluginHarness::UseSmallDisplay() {
  using platform::headless::StandardMode;
  platform::headless::HeadlessDisplay& screen = display();
  screen.modes = {StandardMode(64, 48, 32), StandardMode(48, 480, 16), StandardMode(80, 60, 16),
                  StandardMode(80, 60, 32)};
  screen.desktop = StandardMode(128, 96, 32);
  screen.videoMemory = 1u << 20;
}

void PluginHarness::FillAudio(uint8_t wave, uint8_t spectrum) {
  std::memset(module_->waveformData, wave, sizeof module_->waveformData);
  std::memset(module_->spectrumData, spectrum, sizeof module_->spectrumData);
}

std::string PluginHarness::ReadFile(const std::string& path) {
  std::stringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

void PluginHarness::WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace corvex::testing
