#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "playlist.h"

namespace corvex {
struct VisModule;
namespace platform::sdl {
class SdlBackend;
}
}  // namespace corvex

namespace corvex::host {

class Playback;
class CaptureInput;
class Player;
class VisAnalyzer;

// How one live run drives the plug-in.
struct PlayConfig {
  // The picture size in a window; none: whatever the settings file says.
  std::optional<int32_t> width;
  std::optional<int32_t> height;
  bool fullScreen = false;          // start in full screen (at the size, or the desktop's)
  bool capture = false;             // record the computer's sound instead of a playlist
  std::optional<int32_t> latencyMs; // none: the plug-in's own latencyMs
  // Frames per second to pace at; none: the display's refresh rate; 0: as fast as it goes.
  std::optional<double> refreshHz;
  int64_t maxFrames = 0;            // 0: until the plug-in or the playlist ends
  std::optional<uint32_t> seed;
  bool showInfo = false;            // F4 pressed before the first frame
  bool showMessageBoxes = true;
  std::string pluginFolder;         // where the plug-in believes it was loaded from
  FILE* notes = nullptr;            // notes for the user (none: quiet)
};

struct PlayResult {
  int64_t frames = 0;
  double seconds = 0.0;             // wall-clock time from the first frame to the last
  bool quitByPlugin = false;        // the plug-in asked to end (Esc, Exit Plugin, the window closed)
  std::vector<std::string> messages;  // message boxes the plug-in showed ("Caption: text")
};

// One live run: the SDL window, the sound, the plug-in, and the frame loop at the display's
// pace. Per frame: the messages pumped (the user's keys reach the plug-in's window; keys it
// passes on reach the player window), the sound queue fed, the vis data written into the
// module record (of the moment that will be heard when the frame appears, plus the latency),
// Render, the picture shown, then a wait for the next refresh and at least the plug-in's
// delayMs.
class PlaySession {
 public:
  // openPlaylist: called twice, for the playlist the sound is read from and for the one the
  // vis data is read from, since each reads its songs forward at its own place; not called
  // with config.capture.
  PlaySession(std::function<Playlist()> openPlaylist, PlayConfig config);
  ~PlaySession();

  // Called after each frame is shown, with its number from 0: a test's chance to look and to
  // put events into SDL's queue.
  std::function<void(int64_t frame)> afterFrame;

  // Throws HostError: no display (output), the plug-in refused or ended the process (plugin),
  // no capture device (input).
  PlayResult Run();

  // While Run is running.
  platform::sdl::SdlBackend* backend() const { return backend_.get(); }
  Playback* playback() const { return playback_.get(); }
  VisModule* module() const { return module_; }
  double visSeconds() const { return visSeconds_; }  // the moment of the last vis data

 private:
  void SetUpSettings();
  // The vis data of the moment heard plus aheadSeconds (recorded sound: the latest block).
  void FillVisData(double aheadSeconds);

  std::function<Playlist()> openPlaylist_;
  std::optional<Playlist> soundList_;
  std::optional<Playlist> pictureList_;
  PlayConfig config_;
  std::unique_ptr<platform::sdl::SdlBackend> backend_;
  std::unique_ptr<Playback> playback_;
  std::unique_ptr<CaptureInput> capture_;
  std::unique_ptr<Player> player_;
  std::unique_ptr<VisAnalyzer> analyzer_;  // for recorded sound
  VisModule* module_ = nullptr;
  double visSeconds_ = 0.0;
};

}  // namespace corvex::host
