#include "support/plugin_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace corvex::testing {

namespace {

// Every test process gets a temporary folder of its own (TMPDIR, which programs it starts
// inherit); whatever a test or a program leaves in it fails the run, and is then removed.
class TemporaryFilesLeftBehind : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvex-tests-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    const char* before = std::getenv("TMPDIR");
    if (before != nullptr) saved_ = before;
    ::setenv("TMPDIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    if (folder_.empty()) return;
    std::string left;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      left += ' ';
      left += entry.path().filename().string();
    }
    EXPECT_EQ(left, "") << "left in the temporary folder";
    if (saved_) ::setenv("TMPDIR", saved_->c_str(), 1); else ::unsetenv("TMPDIR");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::filesystem::path folder_;
  std::optional<std::string> saved_;
};

[[maybe_unused]] const auto* const kTemporaryFilesCheck =
    ::testing::AddGlobalTestEnvironment(new TemporaryFilesLeftBehind);

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
