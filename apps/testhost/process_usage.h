#pragma once
#include <cstdint>

namespace testhost {

// What the process holds: kernel handles, GDI and USER objects, and committed private memory.
struct ProcessUsage {
  uint32_t handles = 0;
  uint32_t gdiObjects = 0;
  uint32_t userObjects = 0;
  uint64_t privateBytes = 0;
};

ProcessUsage MeasureProcess();
void PrintUsage(int32_t cycle, const ProcessUsage& usage);

}  // namespace testhost
