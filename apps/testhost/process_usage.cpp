#include "process_usage.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace testhost {

ProcessUsage MeasureProcess() {
  ProcessUsage usage;
  HANDLE self = GetCurrentProcess();
  DWORD handles = 0;
  if (GetProcessHandleCount(self, &handles)) usage.handles = handles;
  usage.gdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
  usage.userObjects = GetGuiResources(self, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    usage.privateBytes = memory.PrivateUsage;
  }
  return usage;
}

void PrintUsage(int32_t cycle, const ProcessUsage& usage) {
  std::printf("usage cycle=%d handles=%u gdi=%u user=%u private_kb=%llu\n", cycle,
              usage.handles, usage.gdiObjects, usage.userObjects,
              static_cast<unsigned long long>(usage.privateBytes / 1024));
  std::fflush(stdout);
}

}  // namespace testhost
