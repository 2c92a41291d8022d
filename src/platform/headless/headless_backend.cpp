#include "platform/headless/headless_backend.h"

namespace corvex::platform::headless {

HeadlessBackend::HeadlessBackend()
    : windows(*this),
      profiles(windows.failures),
      dialogs(*this, windows),
      display(windows, graphics) {}

HeadlessBackend::~HeadlessBackend() = default;

}  // namespace corvex::platform::headless
