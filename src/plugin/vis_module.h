#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/handles.h"

#if defined(_WIN32)
#define CORVEX_EXPORT __declspec(dllexport)
#else
#define CORVEX_EXPORT __attribute__((visibility("default")))
#endif

namespace corvex {

inline constexpr int32_t kVisHeaderVersion = 0x101;
inline constexpr const char* kPluginTitle = "Corvex v1.07";

// The visualization module record the host fills and calls through. In a 32-bit build its
// layout is the host's, offsets included; a 64-bit build follows the platform's own alignment,
// which host and plug-in share through this header. Both layouts are pinned below, field by
// field, so a change to either record cannot go unnoticed.
struct VisModule {
  const char* description;
  platform::WindowHandle hwndParent;
  platform::InstanceHandle hDllInstance;
  int32_t sRate;
  int32_t nCh;
  int32_t latencyMs;
  int32_t delayMs;
  int32_t spectrumNch;
  int32_t waveformNch;
  uint8_t spectrumData[2][576];  // magnitudes 0..255, channel 0 (left) first
  uint8_t waveformData[2][576];  // signed 8-bit samples, channel 0 first
  void (*Config)(VisModule* module);
  int32_t (*Init)(VisModule* module);
  int32_t (*Render)(VisModule* module);
  void (*Quit)(VisModule* module);
  void* userData;
};

struct VisHeader {
  int32_t version;
  const char* description;
  VisModule* (*getModule)(int32_t index);
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(VisModule, description) == 0);
static_assert(offsetof(VisModule, hwndParent) == 4);
static_assert(offsetof(VisModule, hDllInstance) == 8);
static_assert(offsetof(VisModule, sRate) == 12);
static_assert(offsetof(VisModule, nCh) == 16);
static_assert(offsetof(VisModule, latencyMs) == 20);
static_assert(offsetof(VisModule, delayMs) == 24);
static_assert(offsetof(VisModule, spectrumNch) == 28);
static_assert(offsetof(VisModule, waveformNch) == 32);
static_assert(offsetof(VisModule, spectrumData) == 36);
static_assert(offsetof(VisModule, waveformData) == 1188);
static_assert(offsetof(VisModule, Config) == 2340);
static_assert(offsetof(VisModule, Init) == 2344);
static_assert(offsetof(VisModule, Render) == 2348);
static_assert(offsetof(VisModule, Quit) == 2352);
static_assert(offsetof(VisModule, userData) == 2356);
static_assert(sizeof(VisModule) == 2360);
static_assert(offsetof(VisHeader, version) == 0);
static_assert(offsetof(VisHeader, description) == 4);
static_assert(offsetof(VisHeader, getModule) == 8);
static_assert(sizeof(VisHeader) == 12);
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(offsetof(VisModule, description) == 0);
static_assert(offsetof(VisModule, hwndParent) == 8);
static_assert(offsetof(VisModule, hDllInstance) == 16);
static_assert(offsetof(VisModule, sRate) == 24);
static_assert(offsetof(VisModule, nCh) == 28);
static_assert(offsetof(VisModule, latencyMs) == 32);
static_assert(offsetof(VisModule, delayMs) == 36);
static_assert(offsetof(VisModule, spectrumNch) == 40);
static_assert(offsetof(VisModule, waveformNch) == 44);
static_assert(offsetof(VisModule, spectrumData) == 48);
static_assert(offsetof(VisModule, waveformData) == 1200);
static_assert(offsetof(VisModule, Config) == 2352);
static_assert(offsetof(VisModule, Init) == 2360);
static_assert(offsetof(VisModule, Render) == 2368);
static_assert(offsetof(VisModule, Quit) == 2376);
static_assert(offsetof(VisModule, userData) == 2384);
static_assert(sizeof(VisModule) == 2392);
static_assert(offsetof(VisHeader, version) == 0);
static_assert(offsetof(VisHeader, description) == 8);
static_assert(offsetof(VisHeader, getModule) == 16);
static_assert(sizeof(VisHeader) == 24);
#else
#error "the host records are laid out for 32-bit and 64-bit builds only"
#endif

}  // namespace corvex

// The plug-in's only export.
extern "C" CORVEX_EXPORT corvex::VisHeader* winampVisGetHeader();
