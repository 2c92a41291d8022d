#pragma once
#include <cstdint>

namespace testhost {

// What the process holds: kernel handles, top-level windows and committed private memory.
struct ProcessUsage {
  uint32_t handles = 0;
  uint32_t windows = 0;
  uint64_t privateBytes = 0;
};

ProcessUsage MeasureProcess();
void PrintUsage(int32_t cycle, const ProcessUsage& usage);

}  // namespace testhost
