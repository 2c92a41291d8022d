#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "running_plugin.h"
#include "scene/process_objects.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

using namespace platform;

class PluginKeys : public RunningPlugin {
 protected:
  void SetUp() override { Start(); }

  std::vector<int32_t> ActiveSlots() const {
    std::vector<int32_t> slots;
    for (int32_t slot = 0; slot < theSceneManager->rendererCount; ++slot) {
      if (theSceneManager->activeRenderers[slot] == 1) slots.push_back(slot);
    }
    return slots;
  }
  int32_t CurrentTransform() const { return theVideo->transformManager->currentTransform; }
  void ExpectMessage(const char* text) {
    EXPECT_STREQ(theVideo->messageText, text);
    EXPECT_EQ(theVideo->messageFrames, 80);
    theVideo->messageFrames = 0;
  }
};

TEST_F(PluginKeys, SceneKeysChooseRenderersAndTransforms) {
  theSceneManager->frameInScene = 123;
  theSceneManager->sceneJustStarted = 0;
  EXPECT_EQ(Key(VK_SPACE), 1);  // random renderer, random transform
  EXPECT_EQ(ActiveSlots().size(), 1u);
  EXPECT_EQ(theSceneManager->frameInScene, 0);
  EXPECT_EQ(theSceneManager->sceneJustStarted, 1);

  for (int32_t slot = 0; slot < 14; ++slot) theSceneManager->activeRenderers[slot] = slot == 13;
  const int32_t transform = CurrentTransform();
  EXPECT_EQ(Key(VK_F5), 1);  // next renderer, same transform
  EXPECT_EQ(ActiveSlots(), std::vector<int32_t>{0});
  EXPECT_EQ(CurrentTransform(), transform);
  EXPECT_EQ(Key(VK_F6), 1);  // same renderer, next transform
  EXPECT_EQ(ActiveSlots(), std::vector<int32_t>{0});
  EXPECT_EQ(CurrentTransform(), (transform + 1) % 15);
  EXPECT_EQ(Key(VK_F12), 1);  // every renderer, next transform
  EXPECT_EQ(ActiveSlots().size(), 14u);
  EXPECT_EQ(CurrentTransform(), (transform + 2) % 15);
  EXPECT_EQ(player.Render(), 0);
}

TEST_F(PluginKeys, DisplayKeysRequestAModeAndApplyIt) {
  const struct { uint32_t message, key; int32_t mode; } presses[] = {
      {WM_KEYDOWN, VK_F2, 1},        {WM_KEYDOWN, VK_F1, 0},        {WM_KEYDOWN, VK_F1, 0},
      {WM_SYSKEYDOWN, VK_RETURN, 1}, {WM_SYSKEYDOWN, VK_RETURN, 0},  // Alt+Enter trades them
  };
  for (const auto& press : presses) {
    EXPECT_EQ(Send(press.message, press.key), 1) << press.key;
    EXPECT_EQ(theVideo->requestedDisplayMode, press.mode) << press.key;
    EXPECT_EQ(theVideo->displayMode, press.mode) << press.key;
  }
  theVideo->requestedDisplayMode = 2;
  theVideo->ChangeRes();
  ASSERT_EQ(player.Render(), 0);  // the frame puts the plug-in's wallpaper up
  ASSERT_EQ(theVideo->wallpaperPending, 0);
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_RETURN), 1);  // background mode is applied again
  EXPECT_EQ(theVideo->displayMode, 2);
  EXPECT_EQ(theVideo->wallpaperPending, 1);
}

TEST_F(PluginKeys, TogglesFlipTheirOptionAndSayWhatTheyDid) {
  theVideo->infoFrameCount = 37;
  EXPECT_EQ(Key(VK_F4), 1);
  EXPECT_EQ(theVideo->showInfo, 1);
  EXPECT_EQ(theVideo->infoFrameCount, 0);
  theVideo->infoFrameCount = 12;
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F4), 1);  // Alt+F4 toggles the overlay, closes nothing
  EXPECT_EQ(theVideo->showInfo, 0);
  EXPECT_EQ(theVideo->infoFrameCount, 0);

  EXPECT_EQ(Key(VK_F9), 1);
  EXPECT_EQ(theSceneManager->showSongTitle, 0);
  ExpectMessage("Song Title Display Off");
  EXPECT_EQ(Key(VK_F9), 1);
  EXPECT_EQ(theSceneManager->showSongTitle, 1);
  ExpectMessage("Song Title Display On");
  EXPECT_TRUE(player.Pump());
  EXPECT_TRUE(player.host().received.empty());
}

TEST_F(PluginKeys, LocksHoldTheLastActiveRendererAndTheCurrentTransform) {
  ASSERT_EQ(Key(VK_F12), 1);
  EXPECT_EQ(Key(VK_F7), 1);
  EXPECT_EQ(theSceneManager->lockedRenderer, 13);
  ExpectMessage("Renderer Locked");
  EXPECT_EQ(ActiveSlots().size(), 14u);  // the scene itself is not changed
  const int32_t transform = CurrentTransform();
  EXPECT_EQ(Key(VK_F8), 1);
  EXPECT_EQ(theSceneManager->lockedTransform, transform);
  ExpectMessage("Transform Locked");
  ASSERT_EQ(Key(VK_SPACE), 1);
  ASSERT_EQ(Key(VK_F6), 1);
  EXPECT_EQ(ActiveSlots(), std::vector<int32_t>{13});
  EXPECT_EQ(CurrentTransform(), transform);

  EXPECT_EQ(Key(VK_F7), 1);
  EXPECT_EQ(theSceneManager->lockedRenderer, -1);
  ExpectMessage("Renderer Unlocked");
  EXPECT_EQ(Key(VK_F8), 1);
  EXPECT_EQ(theSceneManager->lockedTransform, -1);
  ExpectMessage("Transform Unlocked");
  ASSERT_EQ(Key(VK_F6), 1);
  EXPECT_EQ(CurrentTransform(), (transform + 1) % 15);
}

TEST_F(PluginKeys, KeysThePluginDoesNotUseGoToTheHostUnchanged) {
  const headless::HostWindow::Received keys[] = {
      {WM_KEYDOWN, 'X', 0x002D0001}, {WM_KEYDOWN, VK_F3, 0},  {WM_KEYDOWN, VK_F10, 0},
      {WM_KEYDOWN, VK_F11, 0},       {WM_KEYDOWN, VK_RETURN, 0x1C0001},  // Enter without Alt
      {WM_SYSKEYDOWN, 'X', 0x202D0001},
  };
  for (const auto& key : keys) EXPECT_EQ(Send(key.message, key.wParam, key.lParam), 0);
  EXPECT_TRUE(player.Pump());
  const auto& received = player.host().received;
  ASSERT_EQ(received.size(), std::size(keys));
  for (size_t i = 0; i < received.size(); ++i) {
    EXPECT_EQ(received[i].message, keys[i].message) << i;
    EXPECT_EQ(received[i].wParam, keys[i].wParam) << i;
    EXPECT_EQ(received[i].lParam, keys[i].lParam) << i;
  }
}

TEST_F(PluginKeys, EscapeAndTheWindowsDestructionEndTheRun) {
  EXPECT_EQ(Send(WM_KEYUP, VK_ESCAPE), 0);  // only presses count
  EXPECT_EQ(Send(WM_ERASEBKGND, 0), 0);
  EXPECT_TRUE(player.Pump());
  EXPECT_EQ(Key(VK_ESCAPE), 1);
  EXPECT_FALSE(player.Pump());
  player.windows().DestroyWindow(theVideo->window);
  EXPECT_FALSE(player.Pump());
}

TEST_F(PluginKeys, TheIconsLeftPressAndTabOpenOnePanel) {
  for (intptr_t other : {intptr_t{WM_LBUTTONDOWN + 1}, intptr_t{516}}) EXPECT_EQ(Send(WM_TRAYICON, 0, other), 0);
  EXPECT_EQ(configDialogOpen, 0);
  EXPECT_EQ(Send(WM_TRAYICON, 0, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(configDialogOpen, 1);
  EXPECT_EQ(Key(VK_TAB), 1);  // already open: nothing more
  EXPECT_EQ(dialogs().OpenDialogs(102).size(), 1u);
  EXPECT_TRUE(player.Pump());
  EXPECT_TRUE(player.host().received.empty());
}

TEST_F(PluginKeys, OnlyAWindowedWindowRemembersWhereItWasMoved) {
  ASSERT_EQ(Key(VK_F2), 1);
  player.windows().SetWindowPos(theVideo->window, 57, -12, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_EQ(Key(VK_F1), 1);
  player.windows().SetWindowPos(theVideo->window, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_EQ(Key(VK_F2), 1);  // back where it was when windowed
  Rect place;
  ASSERT_TRUE(player.windows().GetWindowRect(theVideo->window, &place));
  EXPECT_EQ(place.left, 57);
  EXPECT_EQ(place.top, -12);
}

}  // namespace
}  // namespace corvex::testing
