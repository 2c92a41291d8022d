#include "platform/backend.h"
#include "platform/win32/win32_backend.h"

namespace corvex::platform {

// In the Windows library every handle is the system's: the backend is the system itself.
Backend& DefaultBackend() { return win32::SystemBackend(); }
Backend& BackendOf(WindowHandle) { return DefaultBackend(); }

}  // namespace corvex::platform
