#pragma once
#include "platform/file_system.h"

namespace corvex::platform::headless {

// The files of the machine the headless backend runs on.
class HeadlessFiles final : public FileSystem {
 public:
  std::optional<size_t> ReadFileStart(const char* path, char* buffer, size_t capacity) override;
};

}  // namespace corvex::platform::headless
