#pragma once
#include <string>

#include "platform/handles.h"

namespace corvex::platform {

class WindowSystem;

// Files that lie beside a loaded library: the plug-in's settings file, readme and wallpaper.

// The folder part of a library's full file name: everything up to and including its last
// separator, or nothing when it has none. A backslash is a separator, as on Windows; so is a
// forward slash, because the other backends name their files with '/' and a user there
// expects the settings in the library's folder too. Backslashes alone give the Windows rule
// unchanged ("C:\a\b\vis_corvex.dll" gives "C:\a\b\").
std::string FolderOfModulePath(const std::string& moduleFileName);

// fileName in the folder of the library loaded as `library`.
std::string PathBesideLibrary(WindowSystem& windows, InstanceHandle library, const char* fileName);

}  // namespace corvex::platform
