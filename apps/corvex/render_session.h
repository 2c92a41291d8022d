#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "key_script.h"
#include "playlist.h"

namespace corvex::platform::headless {
class HeadlessBackend;
}

namespace corvex::host {

class FrameSink;
class ProgressLine;

// How one offline run drives the plug-in.
struct SessionConfig {
  int32_t width = 640;  // the picture the display must show
  int32_t height = 480;
  double fps = 30.0;
  double startSeconds = 0.0;  // where on the playlist's timeline the first frame is
  int64_t frameCount = 0;
  std::optional<uint32_t> seed;
  bool showInfo = false;      // F4 pressed before the first frame
  std::vector<ScriptedKey> keys;
  // The folder the plug-in believes it was loaded from: it reads and writes its settings file
  // there.
  std::string pluginFolder;
};

struct SessionResult {
  int64_t frames = 0;        // frames rendered and written
  bool quitByPlugin = false; // the plug-in asked to end before the last frame (Esc)
  int32_t lastDelayMs = 0;   // the pause the plug-in asked for after the last frame
  std::vector<std::string> messages;  // message boxes the plug-in showed ("Caption: text")
};

// One run of the plug-in as a media player runs it, on the headless backend: a player window
// answering from the playlist, Init, then per frame the due scripted keys posted to the
// plug-in's window and the messages pumped, the vis data of the moment plus the latency
// written into the module record, Render, delayMs read, and the presented picture handed to
// the sink; then Quit. Frame n shows the moment startSeconds + n / fps.
class RenderSession {
 public:
  RenderSession(Playlist& playlist, SessionConfig config);

  // Called just before and just after each frame's Render with its number (from 0); after it,
  // the plug-in's objects of that frame are still there to look at.
  std::function<void(int64_t frame)> beforeRender;
  std::function<void(int64_t frame)> afterRender;
  // Called once the backend is set up, before Init: a test's chance to change the simulated
  // machine (a failing call, a display without DirectDraw 6).
  std::function<void(platform::headless::HeadlessBackend&)> prepareBackend;
  ProgressLine* progress = nullptr;
  // Called before each frame; what it throws ends the run as a failing sink does (a stop
  // asked for by a signal).
  std::function<void()> betweenFrames;

  // Throws HostError (plugin) when the plug-in refuses to start or ends the process, and lets
  // the sink's errors through.
  SessionResult Run(FrameSink& sink);

 private:
  Playlist& playlist_;
  SessionConfig config_;
};

}  // namespace corvex::host
