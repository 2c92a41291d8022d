#include "process_usage.h"

#include <windows.h>

#include <cstdio>

namespace testhost {

namespace {

// Kernel handles are small multiples of 4; an open one answers GetHandleInformation. (Wine
// answers 0 to GetProcessHandleCount and GetGuiResources, so the host counts for itself.)
uint32_t CountHandles() {
  uint32_t count = 0;
  for (uintptr_t value = 4; value < (1u << 16); value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) ++*reinterpret_cast<uint32_t*>(count);
  return TRUE;
}

uint32_t CountWindows() {
  uint32_t count = 0;
  EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Committed private memory: every region of the address space this process committed.
uint64_t PrivateBytes() {
  uint64_t total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr;
       VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    if (region.RegionSize == 0) break;
  }
  return total;
}

}  // namespace

ProcessUsage MeasureProcess() {
  ProcessUsage usage;
  usage.handles = CountHandles();
  usage.windows = CountWindows();
  usage.privateBytes = PrivateBytes();
  return usage;
}

void PrintUsage(int32_t cycle, const ProcessUsage& usage) {
  std::printf("usage cycle=%d handles=%u windows=%u private_kb=%llu\n", cycle, usage.handles,
              usage.windows, static_cast<unsigned long long>(usage.privateBytes / 1024));
  std::fflush(stdout);
}

}  // namespace testhost
