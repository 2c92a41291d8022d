#pragma once

#include "platform/handles.h"

namespace corvex {

// The Configuration Panel and the About box as the rest of the plug-in opens and closes them.
void OpenConfigPanel();   // nothing when it is open already
void CloseConfigPanel();  // drops what was not confirmed with Done
// Over the host's window, from the library loaded as `library`; nothing when it is open already.
void OpenAboutBox(platform::WindowHandle hostWindow, platform::InstanceHandle library);
void CloseAboutBox();

}  // namespace corvex
