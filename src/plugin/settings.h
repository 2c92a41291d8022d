#pragma once
#include <string>

namespace corvex {

struct VisModule;

// The settings file vis_corvex.ini beside the plug-in library: loaded once by Init into the
// Video and the SceneManager, saved once by Quit.
std::string SettingsPath(const VisModule& module);
void LoadSettings(const VisModule& module);
void SaveSettings(const VisModule& module);

}  // namespace corvex
