#include "settings_stage.h"

// Narrow text only: the settings file holds ASCII keys and numbers.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "host_error.h"
#include "plugin/vis_module.h"

namespace corvex::host {

namespace {

constexpr const char* kSettingsName = "vis_corvex.ini";

// A settings file holds a few hundred bytes; anything far beyond is not one.
constexpr std::uintmax_t kMaxSettingsBytes = 1 << 20;

std::string ReadWhole(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) {
    throw HostError(ExitStatus::kInput, path + ": no such settings file");
  }
  if (std::filesystem::is_directory(status)) {
    throw HostError(ExitStatus::kInput, path + ": cannot read: it is a folder, not a file");
  }
  // A pipe or a device (/dev/zero) would be read without end, or wait for a writer for ever.
  if (!std::filesystem::is_regular_file(status)) {
    throw HostError(ExitStatus::kInput, path + ": not a settings file: it is not a regular file");
  }
  if (std::filesystem::file_size(path, error) > kMaxSettingsBytes) {
    throw HostError(ExitStatus::kInput, path + ": not a settings file: larger than 1 MB");
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw HostError(ExitStatus::kInput, path + ": cannot read the settings file");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

std::optional<std::string> DefaultSettingsFile() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::nullopt;
  const std::filesystem::path beside = program.parent_path() / kSettingsName;
  if (!std::filesystem::is_regular_file(beside, error)) return std::nullopt;
  return beside.string();
}

void StageSettings(const std::optional<std::string>& userFile, const SettingsOverrides& overrides,
                   const std::string& stagedPath) {
  CSimpleIniA ini(/*isUtf8=*/false, /*multiKey=*/false, /*multiLine=*/false);
  if (userFile) {
    const std::string text = ReadWhole(*userFile);
    if (ini.LoadData(text.data(), text.size()) < 0) {
      throw HostError(ExitStatus::kInput, *userFile + ": not a settings file that can be read");
    }
  }
  const char* section = kPluginTitle;
  ini.SetLongValue(section, "Display_Mode", overrides.displayMode);
  ini.SetLongValue(section, "Resolution_Mode", overrides.resolutionMode);
  ini.SetLongValue(section, "Window_Pos_X", overrides.windowX);
  ini.SetLongValue(section, "Window_Pos_Y", overrides.windowY);
  if (overrides.framesPerScene) {
    ini.SetLongValue(section, "Frames_Per_Scene", *overrides.framesPerScene);
  }
  if (overrides.lockedRenderer) {
    ini.SetLongValue(section, "Prefered_Renderer", *overrides.lockedRenderer);
  }
  if (overrides.lockedTransform) {
    ini.SetLongValue(section, "Prefered_Transform", *overrides.lockedTransform);
  }
  if (ini.SaveFile(stagedPath.c_str()) < 0) {
    throw HostError(ExitStatus::kOutput, stagedPath + ": cannot write the settings for this run");
  }
}

}  // namespace corvex::host
