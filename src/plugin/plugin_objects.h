#pragma once
#include <cstdint>

#include "platform/window_system.h"

namespace corvex {

struct VisModule;

// The plug-in's process-wide objects beyond those of the core (base/process_objects.h) and
// the Video (video/video.h).
extern platform::TrayIconRecord trayIcon;
// 1 once the plug-in's own window has been destroyed during a run: that already asked the host
// to end the plug-in, and the frames a host still sends before Quit have nowhere to go.
extern int32_t pluginWindowGone;
// The processor check Init runs first; tests replace it to play a processor without MMX.
extern int32_t (*processorCheck)();

// Entry points, as the module record holds them.
void Config(VisModule* module);
int32_t Init(VisModule* module);
int32_t Render(VisModule* module);
void Quit(VisModule* module);

}  // namespace corvex
