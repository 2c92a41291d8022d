#pragma once
#include <windows.h>

#include "host_options.h"
#include "player_window.h"
#include "plugin/vis_module.h"
#include "vis_feed.h"

namespace testhost {

// One run of the plug-in as the player's visualization thread makes it: fill the record,
// Init, frames with the thread's messages dispatched between them and the record's delayMs
// honoured, Quit when the quit message comes or the frames are done.
class VisSession {
 public:
  VisSession(const HostOptions& options, corvex::VisModule* module, HINSTANCE library,
             HWND player, PlayerState* state, const VisFeed& feed);
  // Runs on the calling thread; returns Init's result.
  int32_t Run();

 private:
  bool PumpUntilQuit();  // false once the quit message has arrived
  void PostScriptedKeys(int32_t frame, HWND pluginWindow);
  void FeedFrame(int32_t frame);
  int32_t RenderFrames(HWND pluginWindow);
  int32_t RenderFramesOnOtherThread(HWND pluginWindow);

  const HostOptions& options_;
  corvex::VisModule* module_;
  HINSTANCE library_;
  HWND player_;
  PlayerState* state_;
  const VisFeed& feed_;
};

}  // namespace testhost
