#pragma once
#include "platform/handles.h"

namespace corvex::platform {

class Backend;

// The live windows of every backend in the process, by handle value. A backend registers each
// window it makes and removes it when the window goes, so a handle is only ever compared, never
// read through: a handle nobody registered (the real system's, a destroyed window's, garbage)
// is simply not found. Safe to use from any thread.
void RegisterWindow(WindowHandle window, Backend& backend);
void UnregisterWindow(WindowHandle window);
// The backend that made window, or null when no live window has that handle.
Backend* FindWindowBackend(WindowHandle window);

}  // namespace corvex::platform
