#include "display_setup.h"

#include <algorithm>

#include "platform/headless/headless_display.h"

namespace corvex::host {

void OfferOnlySize(platform::headless::HeadlessDisplay& display, int32_t width, int32_t height) {
  using platform::headless::StandardMode;
  display.modes = {StandardMode(width, height, 32)};
  display.desktop = StandardMode(width, height, 32);
  // Room for every surface of every display mode many times over: a render is never refused
  // for lack of video memory, only for a size outside what corvex offers.
  const uint64_t picture = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
  display.videoMemory = static_cast<uint32_t>(std::min<uint64_t>(picture * 8 + (64u << 20), 0xFFFFFFFFu));
}

}  // namespace corvex::host
