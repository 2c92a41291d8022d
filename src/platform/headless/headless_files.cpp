#include "platform/headless/headless_files.h"

#include <cstdio>

namespace corvex::platform::headless {

std::optional<size_t> HeadlessFiles::ReadFileStart(const char* path, char* buffer,
                                                   size_t capacity) {
  if (path == nullptr || (buffer == nullptr && capacity > 0)) return std::nullopt;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return std::nullopt;
  const size_t count = capacity > 0 ? std::fread(buffer, 1, capacity, file) : 0;
  // A folder opens here but cannot be read; it counts as no file, as it would on Windows.
  const bool readError = std::ferror(file) != 0;
  std::fclose(file);
  if (readError) return std::nullopt;
  return count;
}

}  // namespace corvex::platform::headless
