#include "support/plugin_harness.h"

#include <cstring>
#include <stdexcept>

namespace corvex::testing {

PluginHarness::PluginHarness()
    : backend_(std::make_unique<platform::headless::HeadlessBackend>()),
      host_(std::make_unique<platform::headless::HostWindow>(*backend_)) {
  VisHeader* header = winampVisGetHeader();
  module_ = header->getModule(0);
  if (module_ == nullptr) throw std::runtime_error("the plug-in offers no module 0");
  module_->hwndParent = host_->handle();
  module_->hDllInstance = reinterpret_cast<platform::InstanceHandle>(0x400000);
  FillAudio(0, 0);
}

PluginHarness::~PluginHarness() { module_->hwndParent = nullptr; }

void PluginHarness::FillAudio(uint8_t wave, uint8_t spectrum) {
  std::memset(module_->waveformData, wave, sizeof module_->waveformData);
  std::memset(module_->spectrumData, spectrum, sizeof module_->spectrumData);
}

}  // namespace corvex::testing
