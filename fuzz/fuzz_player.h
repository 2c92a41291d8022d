#pragma once
#include <cstdint>
#include <string>

#include "support/plugin_harness.h"

namespace corvex::fuzzing {

// Stops the run with a message when a check fails: libFuzzer keeps the input that did it.
[[noreturn]] void Fail(const std::string& what);
inline void Require(bool holds, const std::string& what) {
  if (!holds) Fail(what);
}

// A media player with the plug-in on a headless display of small modes (UseSmallDisplay), so
// that a run of a few frames and display changes is quick. Without injected failures the plug-in has no reason to end the process: a message box is a
// finding, and so is an escaping exception.
class FuzzPlayer {
 public:
  explicit FuzzPlayer(const std::string& settings);
  ~FuzzPlayer();

  // Init with a fixed random seed; false only after a refusal (Init returned 1).
  bool Start();
  void Frame(uint8_t wave, uint8_t spectrum);
  // Pumps the host's messages; a quit message ends the run with Quit, as a player does.
  void Pump();
  void Stop();
  bool Running() const { return running_; }

  // What must hold between any two steps of a run: a renderer active, the current transform a
  // real one, both pictures and the warp map allocated for the current size, the message and
  // title buffers terminated, no message box.
  void CheckInvariants();

  testing::PluginHarness player;

 private:
  bool running_ = false;
};

}  // namespace corvex::fuzzing
