#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace corvex::host {

struct PlayOptions {
  std::vector<std::string> inputs;   // the playlist; none: the built-in demo track
  bool capture = false;              // record the computer's sound instead
  std::optional<int32_t> latencyMs;  // none: the plug-in's own
  std::string size;                  // "WxH" in a window; empty: as the settings say
  bool fullScreen = false;
  std::optional<double> refreshHz;   // none: the display's; 0: unpaced
  std::optional<uint32_t> seed;
  std::optional<int64_t> frames;     // stop after this many frames
  std::string settingsFile;          // empty: vis_corvex.ini beside corvex
  bool info = false;
  bool quiet = false;
};

// The whole live run: check the options, open the playlist (or the recording), find the
// settings, play, and put the settings where they came from. Notes go to `messages` (null:
// quiet). Throws HostError for every problem a user can cause.
void RunPlay(const PlayOptions& options, FILE* messages);

}  // namespace corvex::host
