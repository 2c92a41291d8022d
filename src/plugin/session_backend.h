#pragma once

namespace corvex {

struct VisModule;
namespace platform {
class Backend;
}

// The backend the module's session runs on: the one its Video was made on while the plug-in
// runs, which stays the same when the host destroys its window before calling Quit (a dead
// handle is no longer known and would name the build's default backend, so the settings would
// be saved, and the tray icon taken away, somewhere else); before Init and after Quit, the
// backend of the host's window.
platform::Backend& SessionBackend(const VisModule& module);

}  // namespace corvex
