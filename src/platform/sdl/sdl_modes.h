#pragma once
#include <cstdint>
#include <vector>

#include "platform/headless/headless_display.h"

namespace corvex::platform::sdl {

struct Size {
  int32_t width;
  int32_t height;
};

// The display modes the plug-in is offered on a monitor: every size the monitor reports, and
// the common picture sizes that fit on its desktop (a full screen at such a size is a
// desktop-sized window with the picture scaled up), all at 32 bits, smallest first, each size
// once. With none reported, the desktop's own size.
std::vector<headless::DisplayModeInfo> OfferedModes(Size desktop,
                                                    const std::vector<Size>& monitorModes);

// The monitor's modes and desktop as SDL reports them for display 0.
Size DesktopSize();
std::vector<Size> MonitorModes();

}  // namespace corvex::platform::sdl
