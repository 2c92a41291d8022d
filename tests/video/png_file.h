#pragma once
#include <string>

#include "platform/headless/headless_pixels.h"

namespace corvex::testing {

// Writes a picture as an 8-bit RGB PNG; false with a message on stderr when it cannot.
bool WritePng(const std::string& path, const platform::headless::Picture& picture);

}  // namespace corvex::testing
