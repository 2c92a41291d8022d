#pragma once
#include <cstdint>

namespace corvex {

namespace platform {
class WindowSystem;
}

// The display code's one way of reporting trouble: a message box with the caption "Error", no
// owner and an OK button, then, with exitAfter set, the end of the process with status 0.
// ShowDirectDrawError appends the name of the DirectDraw result code (or the code in
// hexadecimal) to text; dderr::SurfaceBusy shows nothing and returns.
void ShowDirectDrawError(platform::WindowSystem& windows, const char* text, int32_t result,
                         int32_t exitAfter);
void ShowError(platform::WindowSystem& windows, const char* text, int32_t exitAfter);

}  // namespace corvex
