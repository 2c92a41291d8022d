#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace testhost {

// What the player's window knows about the song playing; the visualization thread moves it on.
struct PlayerState {
  std::atomic<int32_t> positionMs{0};
  std::atomic<int32_t> playlistIndex{0};
  bool silent = false;  // a host that answers 0 to every request
};

// The player's main window, on the thread that creates it: it answers the plug-in's WM_USER
// requests (105 position, 125 playlist index, 212 a title) and prints the keys the plug-in
// hands on to it, so a test can see them.
HWND CreatePlayerWindow(PlayerState* state);

// The playlist the host answers titles from.
const char* PlaylistTitle(int32_t index);
inline constexpr int32_t kPlaylistLength = 2;

}  // namespace testhost
