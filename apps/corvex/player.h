#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "playlist.h"
#include "vis_data.h"

namespace corvex {
struct VisModule;
namespace platform::headless {
class HostWindow;
}
}  // namespace corvex

namespace corvex::host {

// The media player's side of a run: where in the playlist the listener is, the answers its
// main window gives the plug-in, and the vis data it writes into the module record.
class Player {
 public:
  explicit Player(Playlist& playlist) : playlist_(playlist) {}

  // Moves the playing position to a moment of the playlist's timeline.
  void SetTime(double seconds) { place_ = playlist_.Locate(seconds); }

  // The three answers: milliseconds into the current song (back to 0 when the next starts),
  // its playlist index, and the title of any entry (none for an index outside the list).
  int32_t PositionMs() const;
  int32_t Index() const { return static_cast<int32_t>(place_.index); }
  std::optional<std::string> Title(int32_t index) const;

  // Lets the host window answer the plug-in's requests from this player.
  void AnswerThrough(platform::headless::HostWindow& window);

  // Writes into the module record the block of the playlist nearest to the given moment (the
  // moment being heard plus the plug-in's latency); silence past the end of a song.
  void FillVisData(double seconds, VisModule& module);

 private:
  Playlist& playlist_;
  Playlist::Place place_{0, 0.0};
  VisAnalyzer analyzer_;
  VisBlock block_{};
};

}  // namespace corvex::host
