#pragma once
#include <cstdint>
#include <optional>

namespace corvex::host {

class Playback;

// What the keys the plug-in passes on do in the live player, as in a media player: Z previous
// song, X play, C pause, V stop, B next song, Left and Right seek 5 seconds, Down and Up 30
// seconds; K opens the plug-in's configuration (its About box).
enum class MediaCommand { Previous, Play, Pause, Stop, Next, Seek, About };

struct MediaAction {
  MediaCommand command;
  double seconds = 0.0;  // for Seek
};

// The action of a key message; none for keys the player has no use for (and for Alt
// combinations, which belong to the window manager).
std::optional<MediaAction> MediaActionOf(uint32_t message, uint32_t virtualKey);

// Carries out an action other than About on the playback.
void Apply(const MediaAction& action, Playback& playback);

}  // namespace corvex::host
