#pragma once
#include <cstdint>

namespace corvex::platform::headless {
class HeadlessDisplay;
}

namespace corvex::host {

// Makes the simulated display offer exactly one mode, width x height at 32 bits, as both the
// full-screen mode and the desktop, with video memory to spare. The plug-in's resolution lists
// then hold that one entry (index 0) in every display mode, and full screen, a window at 0,0
// and the background overlay all show the same picture.
void OfferOnlySize(platform::headless::HeadlessDisplay& display, int32_t width, int32_t height);

}  // namespace corvex::host
