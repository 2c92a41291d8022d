#pragma once
#include <cstdint>
#include <string>

#include "platform/headless/headless_pixels.h"

namespace corvex::host {

// Writes an 8-bit RGB PNG file (rows of width * 3 bytes, top first) with libpng. Throws
// HostError (output) naming the file, or `shownAs` where given (the name a file written under
// a temporary one will have), when it cannot be written.
void WritePng(const std::string& path, const uint8_t* rgb, int32_t width, int32_t height,
              const std::string& shownAs = "");

// The same for a picture of 0x00RRGGBB pixels, rows back to back (as the plug-in draws and the
// headless display shows them), or for one read where it lies.
void WritePicturePng(const std::string& path, const uint32_t* pixels, int32_t width,
                     int32_t height);
void WritePicturePng(const std::string& path, const platform::headless::PictureRows& picture,
                     const std::string& shownAs = "");

}  // namespace corvex::host
