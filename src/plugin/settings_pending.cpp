// Placeholder until the settings file lands: every run starts from the defaults.
#include "plugin/settings.h"

namespace corvex {
std::string SettingsPath(const VisModule&) { return "vis_corvex.ini"; }
void LoadSettings(const VisModule&) {}
void SaveSettings(const VisModule&) {}
}  // namespace corvex
