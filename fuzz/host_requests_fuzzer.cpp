// Any answers of the host window: playing positions that rise, fall or jump anywhere, any
// playlist index, titles of any length with any bytes, or no title at all. Whenever a fall of
// the position fetches a title, the plug-in must ask for the index the host gave and keep the
// title's first 255 characters (up to its first zero byte) as song title and message.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/process_objects.h"
#include "fuzz_player.h"
#include "FuzzedDataProvider.h"
#include "platform/headless/host_window.h"
#include "plugin/plugin_objects.h"
#include "scene/scene_manager.h"
#include "video/video.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvex;
  using namespace corvex::fuzzing;
  FuzzedDataProvider input(data, size);
  FuzzPlayer run("");
  platform::headless::HostWindow& host = run.player.host();
  int32_t position = 0, index = 0;
  std::optional<std::string> title;
  int32_t askedIndex = 0;
  host.playingPosition = [&] { return position; };
  host.playlistIndex = [&] { return index; };
  host.title = [&](int32_t entry) {
    askedIndex = entry;
    return title;
  };
  lastSongPosition = input.ConsumeIntegral<int32_t>();
  if (!run.Start()) Fail("Init refused");
  theSceneManager->showSongTitle = input.ConsumeBool();
  // The plug-in asks for the position every 30 frames, so up to 31 frames a step reach each
  // answer; a few hundred frames an input keep the fuzzer quick.
  for (int step = 0; step < 16 && input.remaining_bytes() > 0; ++step) {
    position = input.ConsumeIntegral<int32_t>();
    index = input.ConsumeIntegral<int32_t>();
    if (input.ConsumeBool()) {
      title.reset();
    } else {
      title = input.ConsumeRandomLengthString(2000);
    }
    const int frames = input.ConsumeIntegralInRange(1, 31);
    for (int frame = 0; frame < frames; ++frame) {
      const int32_t requests = host.titleRequests;
      run.Frame(static_cast<uint8_t>(frame), static_cast<uint8_t>(step));
      if (host.titleRequests == requests) continue;
      Require(askedIndex == index, "the title of another entry was asked for");
      const std::string kept = title ? title->substr(0, 255).c_str() : "";
      Require(theSceneManager->songTitle == kept, "the song title is not the title's start");
      if (theSceneManager->showSongTitle != 0) {
        Require(theVideo->messageText == kept, "the message is not the song title");
      }
    }
  }
  return 0;
}
