#pragma once
#include <string>
#include <vector>

#include "host_error.h"
#include "platform/headless/headless_windows.h"
#include "plugin/vis_module.h"

namespace corvex::host {

// The last message box the plug-in showed, as a report names it.
inline std::string DescribeLastBox(const std::vector<platform::headless::MessageBoxRecord>& boxes) {
  if (boxes.empty()) return "no message";
  return "\"" + boxes.back().text + "\" (" + boxes.back().caption + ")";
}

// Leaves the module record as a player leaves it when a run ends, whatever happened.
struct ModuleRelease {
  VisModule* module;
  ~ModuleRelease() {
    module->hwndParent = nullptr;
    module->hDllInstance = nullptr;
  }
};

// Runs a host's session body between Init and Quit and ends it as a player would: when the
// plug-in ends the process (ProcessExit) it is asked to let go of what it made while its
// windows and display still exist, and the run fails with HostError (plugin) naming the last
// message box; any other error ends the run as when the user stops the player, with Quit if
// Init had succeeded (`running`, kept by the body).
template <typename Body>
auto GuardPluginRun(VisModule& module, const std::vector<platform::headless::MessageBoxRecord>& boxes,
                    bool& running, Body body) {
  const auto quietQuit = [&module] {
    try {
      module.Quit(&module);
    } catch (const platform::headless::ProcessExit&) {
    }
  };
  try {
    return body();
  } catch (const platform::headless::ProcessExit& exit) {
    const std::string message = "the plug-in ended the run with status " +
                                std::to_string(exit.status) + " after " + DescribeLastBox(boxes);
    quietQuit();
    throw HostError(ExitStatus::kPlugin, message);
  } catch (...) {
    if (running) quietQuit();
    throw;
  }
}

}  // namespace corvex::host
