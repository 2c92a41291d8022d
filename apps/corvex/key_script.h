#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvex::host {

// One key press of a script: when it happens on the playlist's timeline and what the plug-in
// window receives for it.
struct ScriptedKey {
  double seconds;
  std::string name;   // as the user wrote it, for messages
  uint32_t message;   // wm::KeyDown, or wm::SysKeyDown for Alt+ keys
  uint32_t virtualKey;
};

// Parses "12.5:F5,30:Space,31:Alt+Enter": comma-separated time:key pairs, times in seconds on
// the playlist's timeline. Key names: F1..F12, Space, Tab, Esc, Enter, A..Z, 0..9, and any of
// them after "Alt+"; letters and names are case-insensitive. The result is sorted by time,
// presses at the same moment kept in the order written. Throws HostError (usage) naming the
// faulty entry.
std::vector<ScriptedKey> ParseKeyScript(const std::string& script);

// The virtual-key code of a key name, or 0 for a name this host does not know.
uint32_t VirtualKeyOf(const std::string& name);

}  // namespace corvex::host
