#pragma once
#include <memory>

#include "platform/backend.h"

namespace corvex::platform::win32 {

// The real system: DirectDraw 6, user32, GDI, the Shell, winmm and private-profile files. In
// the Windows library every handle is the system's, so this is the one backend there.
Backend& SystemBackend();

// The parts, each made in its own file.
std::unique_ptr<WindowSystem> MakeWindowSystem();
std::unique_ptr<DialogSystem> MakeDialogSystem();
std::unique_ptr<DisplaySystem> MakeDisplaySystem();
std::unique_ptr<GraphicsSystem> MakeGraphicsSystem();
std::unique_ptr<ProfileStore> MakeProfileStore();
std::unique_ptr<FileSystem> MakeFileSystem();

}  // namespace corvex::platform::win32
