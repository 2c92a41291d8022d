#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <tuple>

#include "base/process_objects.h"
#include "running_plugin.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

using namespace platform;

class PluginKeys : public RunningPlugin {
 protected:
  void SetUp() override { Start(); }

  // All a key acts on, as one line: the active renderers (slot 0 first), the transform, the
  // frame in the scene, the display mode, the info overlay and its frame count, the song
  // title, the renderer and transform locks, and the message with its frames.
  std::string State() const {
    const SceneManager& scene = *theSceneManager;
    const Video& video = *theVideo;
    std::string slots;
    for (int32_t slot = 0; slot < 14; ++slot) slots += scene.activeRenderers[slot] ? '1' : '0';
    char rest[200];
    std::snprintf(rest, sizeof rest, " t%d f%d m%d i%d/%d s%d L%d/%d '%s' %d",
                  video.transformManager->currentTransform, scene.frameInScene,
                  video.displayMode, video.showInfo, video.infoFrameCount, scene.showSongTitle,
                  scene.lockedRenderer, scene.lockedTransform, video.messageText,
                  video.messageFrames);
    return slots + rest;
  }
};

TEST_F(PluginKeys, EveryKeyOfTheTableDoesItsOneThing) {
  for (int32_t slot = 0; slot < 14; ++slot) theSceneManager->activeRenderers[slot] = slot == 13;
  theVideo->transformManager->currentTransform = 0;
  const struct { uint32_t message, key; const char* state; } presses[] = {
      // Scene keys: next renderer; next transform; every renderer and the next transform.
      {wm::KeyDown, vk::F5, "10000000000000 t0 f0 m0 i0/37 s1 L-1/-1 '' 0"},
      {wm::KeyDown, vk::F6, "10000000000000 t1 f0 m0 i0/37 s1 L-1/-1 '' 0"},
      {wm::KeyDown, vk::F12, "11111111111111 t2 f0 m0 i0/37 s1 L-1/-1 '' 0"},
      // Locks: the last active renderer, the current transform; a new scene keeps both.
      {wm::KeyDown, vk::F7, "11111111111111 t2 f123 m0 i0/37 s1 L13/-1 'Renderer Locked' 80"},
      {wm::KeyDown, vk::F8, "11111111111111 t2 f123 m0 i0/37 s1 L13/2 'Transform Locked' 80"},
      {wm::KeyDown, vk::Space, "00000000000001 t2 f0 m0 i0/37 s1 L13/2 'Transform Locked' 0"},
      {wm::KeyDown, vk::F6, "00000000000001 t2 f0 m0 i0/37 s1 L13/2 'Transform Locked' 0"},
      {wm::KeyDown, vk::F7, "00000000000001 t2 f123 m0 i0/37 s1 L-1/2 'Renderer Unlocked' 80"},
      {wm::KeyDown, vk::F8, "00000000000001 t2 f123 m0 i0/37 s1 L-1/-1 'Transform Unlocked' 80"},
      {wm::KeyDown, vk::F6, "00000000000001 t3 f0 m0 i0/37 s1 L-1/-1 'Transform Unlocked' 0"},
      // Toggles; Alt+F4 toggles the overlay too and closes nothing.
      {wm::KeyDown, vk::F4, "00000000000001 t3 f123 m0 i1/0 s1 L-1/-1 'Transform Unlocked' 0"},
      {wm::SysKeyDown, vk::F4, "00000000000001 t3 f123 m0 i0/0 s1 L-1/-1 'Transform Unlocked' 0"},
      {wm::KeyDown, vk::F9, "00000000000001 t3 f123 m0 i0/37 s0 L-1/-1 'Song Title Display Off' 80"},
      {wm::KeyDown, vk::F9, "00000000000001 t3 f123 m0 i0/37 s1 L-1/-1 'Song Title Display On' 80"},
      // Display keys (the transform locked, as a new mode draws one); Alt+Enter trades full
      // screen and windowed.
      {wm::KeyDown, vk::F8, "00000000000001 t3 f123 m0 i0/37 s1 L-1/3 'Transform Locked' 80"},
      {wm::KeyDown, vk::F2, "00000000000001 t3 f123 m1 i0/37 s1 L-1/3 'Transform Locked' 0"},
      {wm::KeyDown, vk::F1, "00000000000001 t3 f123 m0 i0/37 s1 L-1/3 'Transform Locked' 0"},
      {wm::KeyDown, vk::F1, "00000000000001 t3 f123 m0 i0/37 s1 L-1/3 'Transform Locked' 0"},
      {wm::SysKeyDown, vk::Return, "00000000000001 t3 f123 m1 i0/37 s1 L-1/3 'Transform Locked' 0"},
      {wm::SysKeyDown, vk::Return, "00000000000001 t3 f123 m0 i0/37 s1 L-1/3 'Transform Locked' 0"},
      {wm::KeyDown, vk::Escape, "00000000000001 t3 f123 m0 i0/37 s1 L-1/3 'Transform Locked' 0"},
  };
  for (const auto& press : presses) {
    theSceneManager->frameInScene = 123;
    theVideo->infoFrameCount = 37;
    theVideo->messageFrames = 0;
    EXPECT_EQ(Send(press.message, press.key), 1) << press.key;
    EXPECT_EQ(State(), press.state) << press.message << " " << press.key;
  }
  theVideo->requestedDisplayMode = 2;
  theVideo->ChangeRes();
  ASSERT_EQ(player.Render(), 0);  // the frame puts the plug-in's wallpaper up
  ASSERT_EQ(theVideo->wallpaperPending, 0);
  EXPECT_EQ(Send(wm::SysKeyDown, vk::Return), 1);  // background mode is applied again
  EXPECT_EQ(theVideo->displayMode, 2);
  EXPECT_EQ(theVideo->wallpaperPending, 1);
  EXPECT_FALSE(player.Pump());  // Escape asked the host to end the run
  EXPECT_TRUE(player.host().received.empty());
}

TEST_F(PluginKeys, KeysThePluginDoesNotUseGoToTheHostUnchanged) {
  const headless::HostWindow::Received keys[] = {
      {wm::KeyDown, 'X', 0x002D0001}, {wm::KeyDown, vk::F3, 0},  {wm::KeyDown, vk::F10, 0},
      {wm::KeyDown, vk::F11, 0},       {wm::KeyDown, vk::Return, 0x1C0001},  // Enter without Alt
      {wm::SysKeyDown, 'X', 0x202D0001},
  };
  for (const auto& key : keys) EXPECT_EQ(Send(key.message, key.wParam, key.lParam), 0);
  EXPECT_TRUE(player.Pump());
  const auto& received = player.host().received;
  ASSERT_EQ(received.size(), std::size(keys));
  for (size_t i = 0; i < received.size(); ++i) {
    EXPECT_EQ(std::make_tuple(received[i].message, received[i].wParam, received[i].lParam),
              std::make_tuple(keys[i].message, keys[i].wParam, keys[i].lParam)) << i;
  }
}

TEST_F(PluginKeys, AReleasedKeyDoesNothingAndTheWindowsDestructionEndsTheRun) {
  EXPECT_EQ(Send(wm::KeyUp, vk::Escape), 0);
  EXPECT_TRUE(player.Pump());
  player.windows().DestroyWindow(theVideo->window);
  EXPECT_FALSE(player.Pump());
}

TEST_F(PluginKeys, TheIconsLeftPressAndTabOpenOnePanel) {
  for (intptr_t other : {514, 516}) EXPECT_EQ(Send(wm::TrayIcon, 0, other), 0);  // up, right
  EXPECT_EQ(configDialogOpen, 0);
  EXPECT_EQ(Send(wm::TrayIcon, 0, wm::LButtonDown), 1);
  EXPECT_EQ(configDialogOpen, 1);
  EXPECT_EQ(Key(vk::Tab), 1);  // already open: nothing more
  EXPECT_EQ(dialogs().OpenDialogs(102).size(), 1u);
  EXPECT_TRUE(player.Pump());
  EXPECT_TRUE(player.host().received.empty());
}

TEST_F(PluginKeys, OnlyAWindowedWindowRemembersWhereItWasMoved) {
  ASSERT_EQ(Key(vk::F2), 1);
  player.windows().SetWindowPos(theVideo->window, 57, -12, 0, 0, swp::NoSize | swp::NoZOrder);
  ASSERT_EQ(Key(vk::F1), 1);
  player.windows().SetWindowPos(theVideo->window, 300, 200, 0, 0, swp::NoSize | swp::NoZOrder);
  ASSERT_EQ(Key(vk::F2), 1);  // back where it was when windowed
  Rect place;
  ASSERT_TRUE(player.windows().GetWindowRect(theVideo->window, &place));
  EXPECT_EQ(place.left, 57);
  EXPECT_EQ(place.top, -12);
}

}  // namespace
}  // namespace corvex::testing
