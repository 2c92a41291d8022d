#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex {

inline constexpr size_t kErrorTextSize = 256;
inline constexpr size_t kNamedResultCount = 109;

// " - " and the name of a DirectDraw result code, or null for a code the table does not know.
const char* DirectDrawResultText(int32_t result);

// What the error box shows for a failed call: text (cut to 255 characters), then the code's
// name, or " - Result: " with the code in eight hexadecimal digits and a line break; the whole
// cut to 255 characters. False, with message untouched, for dderr::SurfaceBusy: that code is
// never shown.
bool FormatDirectDrawError(const char* text, int32_t result, char (&message)[kErrorTextSize]);

}  // namespace corvex
