#pragma once
#include <cstddef>
#include <cstring>

namespace corvex {

// Copies text into a buffer of `size` bytes: a longer text is cut to size - 1 characters, the
// copy is always terminated, and no text gives an empty one. Song titles, messages and error
// texts all keep to their buffers this way.
inline void CopyTextCut(const char* text, char* target, size_t size) {
  if (size == 0) return;
  const size_t length = text != nullptr ? strnlen(text, size - 1) : 0;
  if (length != 0) std::memcpy(target, text, length);
  target[length] = '\0';
}

}  // namespace corvex
