#include "video/error_reporting.h"

#include "platform/messages.h"
#include "platform/window_system.h"
#include "video/portable/direct_draw_errors.h"

namespace corvex {

void ShowDirectDrawError(platform::WindowSystem& windows, const char* text, int32_t result,
                         int32_t exitAfter) {
  char message[kErrorTextSize];
  if (!FormatDirectDrawError(text, result, message)) return;
  ShowError(windows, message, exitAfter);
}

void ShowError(platform::WindowSystem& windows, const char* text, int32_t exitAfter) {
  windows.ShowMessageBox(nullptr, text, "Error", platform::mb::Ok);
  if (exitAfter != 0) windows.ExitProcess(0);
}

}  // namespace corvex
