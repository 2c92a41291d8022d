#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace corvex::host {

// What a render sets in the plug-in's settings over whatever the user's file says.
struct SettingsOverrides {
  int32_t displayMode = 0;      // Display_Mode: full screen, so the screen is the picture
  int32_t resolutionMode = 0;   // Resolution_Mode: the index of the render size
  int32_t windowX = 0;          // Window_Pos_X and _Y: a window (F2) covers the whole desktop
  int32_t windowY = 0;
  std::optional<int32_t> framesPerScene;   // Frames_Per_Scene
  std::optional<int32_t> lockedRenderer;   // Prefered_Renderer
  std::optional<int32_t> lockedTransform;  // Prefered_Transform
};

// The settings file a render reads: beside the corvex program (where the plug-in keeps it), if
// there is one; none otherwise.
std::optional<std::string> DefaultSettingsFile();

// Writes the settings file the plug-in will read in this run to stagedPath: the user's file
// (when given; every section, key and comment kept) with the overrides written into the
// plug-in's section. The user's file itself is only read: the plug-in saves its settings when
// it quits, and in an offline run that save lands in the staged copy, so scripted keys (a lock,
// the title switch) never change the user's settings behind their back. Throws HostError
// (input) for a user file that cannot be read, (output) when the copy cannot be written.
void StageSettings(const std::optional<std::string>& userFile, const SettingsOverrides& overrides,
                   const std::string& stagedPath);

}  // namespace corvex::host
