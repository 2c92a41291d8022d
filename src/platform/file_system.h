#pragma once
#include <cstddef>
#include <optional>

namespace corvex::platform {

// Reading the plug-in's own files (the readme beside the library).
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens the existing file at path for reading (others may read it too) and reads at most
  // capacity bytes from its start into buffer. The count of bytes read, or no value when the
  // file is missing or cannot be read.
  virtual std::optional<size_t> ReadFileStart(const char* path, char* buffer,
                                              size_t capacity) = 0;
};

}  // namespace corvex::platform
