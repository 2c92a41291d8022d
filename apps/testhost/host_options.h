#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

// A key the host posts to the plug-in's window before a given frame, as the system delivers
// a key press: the key going down, then coming up (WM_SYSKEYDOWN and WM_SYSKEYUP while Alt is
// held, WM_KEYDOWN and WM_KEYUP otherwise).
struct ScriptedKey {
  int32_t frame = 0;
  uint32_t virtualKey = 0;
  bool alt = false;
};

// What to run. Everything the careless hosts do differently is a switch here, so one program
// plays both the careful media player and the hosts that are not.
struct HostOptions {
  std::string library;     // path of the plug-in DLL
  std::string wavFile;     // 16-bit PCM WAV; empty: the generated tone
  int32_t frames = 300;    // frames per run; the run ends sooner on the plug-in's quit message
  int32_t cycles = 1;      // Init/Quit cycles in this process
  bool configOnly = false;       // call Config alone, no run
  bool configBeforeInit = false; // call Config, then run
  bool renderOnOtherThread = false;  // Render from a second thread; Init's thread pumps
  bool silentHost = false;           // answer 0 to every WM_USER request
  int32_t destroyHostAtFrame = -1;   // destroy the player's window before this frame
  int32_t quitAtFrame = -1;          // post the quit message to the visualization thread
  int32_t closePluginAtFrame = -1;   // close the plug-in's window, as its close box would
  bool ignoreQuit = false;           // keep rendering after the quit message, until Quit
  bool pressOk = false;              // dismiss dialogs and message boxes that appear
  std::vector<ScriptedKey> keys;
  bool reportUsage = false;  // handle and memory figures after every cycle
};

// Parses the command line; prints a usage line and returns false when it is not understood.
bool ParseOptions(int argc, char** argv, HostOptions* options);

}  // namespace testhost
