#include <gtest/gtest.h>

#include <vector>

#include "running_plugin.h"
#include "scene/process_objects.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

using namespace platform;
using platform::headless::HostWindow;

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
  void ActivateOnly(int32_t slot) {
    for (int32_t s = 0; s < theSceneManager->rendererCount; ++s) {
      theSceneManager->activeRenderers[s] = s == slot ? 1 : 0;
    }
  }
  int32_t CurrentTransform() const { return theVideo->transformManager->currentTransform; }
  void ExpectMessage(const char* text) {
    EXPECT_STREQ(theVideo->messageText, text);
    EXPECT_EQ(theVideo->messageFrames, 80);
  }
  std::vector<HostWindow::Received> ForwardedKeys() {
    player.Pump();
    return player.host().received;
  }
};

TEST_F(PluginKeys, SceneKeysChooseRenderersAndTransforms) {
  theSceneManager->frameInScene = 123;
  theSceneManager->sceneJustStarted = 0;
  EXPECT_EQ(Key(VK_SPACE), 1);  // random renderer, random transform
  EXPECT_EQ(ActiveSlots().size(), 1u);
  EXPECT_EQ(theSceneManager->frameInScene, 0);
  EXPECT_EQ(theSceneManager->sceneJustStarted, 1);

  ActivateOnly(13);
  const int32_t transform = CurrentTransform();
  EXPECT_EQ(Key(VK_F5), 1);  // next renderer, same transform
  EXPECT_EQ(ActiveSlots(), std::vector<int32_t>{0});
  EXPECT_EQ(CurrentTransform(), transform);

  EXPECT_EQ(Key(VK_F6), 1);  // same renderers, next transform
  EXPECT_EQ(ActiveSlots(), std::vector<int32_t>{0});
  EXPECT_EQ(CurrentTransform(), (transform + 1) % 15);

  EXPECT_EQ(Key(VK_F12), 1);  // every renderer, next transform
  EXPECT_EQ(ActiveSlots().size(), 14u);
  EXPECT_EQ(CurrentTransform(), (transform + 2) % 15);
  for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(player.Render(), 0);
}

TEST_F(PluginKeys, DisplayKeysRequestAModeAndApplyIt) {
  EXPECT_EQ(Key(VK_F2), 1);
  EXPECT_EQ(theVideo->requestedDisplayMode, 1);
  EXPECT_EQ(theVideo->displayMode, 1);
  EXPECT_EQ(Key(VK_F1), 1);
  EXPECT_EQ(theVideo->requestedDisplayMode, 0);
  EXPECT_EQ(theVideo->displayMode, 0);
  EXPECT_EQ(Key(VK_F1), 1);  // full screen again, without looking at the mode
  EXPECT_EQ(theVideo->displayMode, 0);

  // Alt+Enter trades full screen and windowed.
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_RETURN), 1);
  EXPECT_EQ(theVideo->displayMode, 1);
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_RETURN), 1);
  EXPECT_EQ(theVideo->displayMode, 0);
  // Enter without Alt is no key of the plug-in's.
  EXPECT_EQ(Key(VK_RETURN), 0);
  EXPECT_EQ(theVideo->displayMode, 0);
  for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(player.Render(), 0);
}

TEST_F(PluginKeys, AltEnterInBackgroundModeAppliesBackgroundModeAgain) {
  theVideo->requestedDisplayMode = 2;
  theVideo->ChangeRes();
  ASSERT_EQ(theVideo->displayMode, 2);
  ASSERT_EQ(player.Render(), 0);  // the frame puts the plug-in's wallpaper up
  ASSERT_EQ(theVideo->wallpaperPending, 0);
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_RETURN), 1);
  EXPECT_EQ(theVideo->requestedDisplayMode, 2);
  EXPECT_EQ(theVideo->displayMode, 2);
  EXPECT_EQ(theVideo->wallpaperPending, 1);  // background mode was entered again
}

TEST_F(PluginKeys, TogglesFlipTheirOptionAndSayWhatTheyDid) {
  theVideo->infoFrameCount = 37;
  EXPECT_EQ(Key(VK_F4), 1);
  EXPECT_EQ(theVideo->showInfo, 1);
  EXPECT_EQ(theVideo->infoFrameCount, 0);
  theVideo->infoFrameCount = 12;
  // Alt+F4 arrives as a system key and toggles the overlay too, instead of closing anything.
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F4), 1);
  EXPECT_EQ(theVideo->showInfo, 0);
  EXPECT_EQ(theVideo->infoFrameCount, 0);
  EXPECT_EQ(ForwardedKeys().size(), 0u);

  EXPECT_EQ(Key(VK_F9), 1);
  EXPECT_EQ(theSceneManager->showSongTitle, 0);
  ExpectMessage("Song Title Display Off");
  theVideo->messageFrames = 3;
  EXPECT_EQ(Key(VK_F9), 1);
  EXPECT_EQ(theSceneManager->showSongTitle, 1);
  ExpectMessage("Song Title Display On");
}

TEST_F(PluginKeys, TheRendererLockTakesTheLastActiveSlot) {
  ASSERT_EQ(Key(VK_F12), 1);
  EXPECT_EQ(Key(VK_F7), 1);
  EXPECT_EQ(theSceneManager->lockedRenderer, 13);
  ExpectMessage("Renderer Locked");
  EXPECT_EQ(ActiveSlots().size(), 14u);  // the scene itself is not changed
  ASSERT_EQ(Key(VK_SPACE), 1);
  EXPECT_EQ(ActiveSlots(), std::vector<int32_t>{13});

  theVideo->messageFrames = 0;
  EXPECT_EQ(Key(VK_F7), 1);  // unlocks, whatever is active
  EXPECT_EQ(theSceneManager->lockedRenderer, -1);
  ExpectMessage("Renderer Unlocked");

  ActivateOnly(4);
  ASSERT_EQ(Key(VK_F7), 1);
  EXPECT_EQ(theSceneManager->lockedRenderer, 4);
}

TEST_F(PluginKeys, TheTransformLockHoldsTheCurrentTransform) {
  const int32_t locked = CurrentTransform();
  EXPECT_EQ(Key(VK_F8), 1);
  EXPECT_EQ(theSceneManager->lockedTransform, locked);
  ExpectMessage("Transform Locked");
  ASSERT_EQ(Key(VK_F6), 1);
  EXPECT_EQ(CurrentTransform(), locked);
  ASSERT_EQ(Key(VK_SPACE), 1);
  EXPECT_EQ(CurrentTransform(), locked);

  EXPECT_EQ(Key(VK_F8), 1);
  EXPECT_EQ(theSceneManager->lockedTransform, -1);
  ExpectMessage("Transform Unlocked");
  ASSERT_EQ(Key(VK_F6), 1);
  EXPECT_EQ(CurrentTransform(), (locked + 1) % 15);
}

TEST_F(PluginKeys, KeysThePluginDoesNotUseGoToTheHostUnchanged) {
  EXPECT_EQ(Send(WM_KEYDOWN, 'X', 0x002D0001), 0);
  for (uint32_t key : {VK_F3, VK_F10, VK_F11}) EXPECT_EQ(Key(key), 0) << key;
  EXPECT_EQ(Send(WM_SYSKEYDOWN, 'X', 0x202D0001), 0);
  const auto forwarded = ForwardedKeys();
  ASSERT_EQ(forwarded.size(), 5u);
  EXPECT_EQ(forwarded[0].message, WM_KEYDOWN);
  EXPECT_EQ(forwarded[0].wParam, uintptr_t{'X'});
  EXPECT_EQ(forwarded[0].lParam, 0x002D0001);
  EXPECT_EQ(forwarded[1].wParam, uintptr_t{VK_F3});
  EXPECT_EQ(forwarded[2].wParam, uintptr_t{VK_F10});
  EXPECT_EQ(forwarded[3].wParam, uintptr_t{VK_F11});
  EXPECT_EQ(forwarded[4].message, WM_SYSKEYDOWN);
  EXPECT_EQ(forwarded[4].wParam, uintptr_t{'X'});
  EXPECT_EQ(forwarded[4].lParam, 0x202D0001);
}

TEST_F(PluginKeys, EscapeAsksTheHostToEndTheRun) {
  EXPECT_EQ(Key(VK_ESCAPE), 1);
  EXPECT_FALSE(player.Pump());
}

TEST_F(PluginKeys, TabAndTheIconClickOpenOnePanel) {
  EXPECT_EQ(Key(VK_TAB), 1);
  EXPECT_EQ(configDialogOpen, 1);
  EXPECT_EQ(Key(VK_TAB), 1);  // already open: nothing more
  EXPECT_EQ(Send(WM_TRAYICON, 0, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(dialogs().OpenDialogs(102).size(), 1u);
  EXPECT_EQ(ForwardedKeys().size(), 0u);
}

TEST_F(PluginKeys, OnlyALeftPressOnTheIconOpensThePanel) {
  constexpr intptr_t kRightButtonDown = 516;
  EXPECT_EQ(Send(WM_TRAYICON, 0, kRightButtonDown), 0);
  EXPECT_EQ(Send(WM_TRAYICON, 0, WM_LBUTTONDOWN + 1), 0);
  EXPECT_EQ(configDialogOpen, 0);
  EXPECT_EQ(Send(WM_TRAYICON, 0, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(configDialogOpen, 1);
}

TEST_F(PluginKeys, OnlyAWindowedWindowRemembersWhereItWasMoved) {
  ASSERT_EQ(Key(VK_F2), 1);
  ASSERT_EQ(theVideo->displayMode, 1);
  Rect place;
  ASSERT_TRUE(player.windows().GetWindowRect(theVideo->window, &place));
  player.windows().SetWindowPos(theVideo->window, 57, -12, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(theVideo->windowX, 57);
  EXPECT_EQ(theVideo->windowY, -12);

  // Full screen moves the window to the corner; the windowed place is kept for coming back.
  ASSERT_EQ(Key(VK_F1), 1);
  player.windows().SetWindowPos(theVideo->window, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(theVideo->windowX, 57);
  EXPECT_EQ(theVideo->windowY, -12);
  ASSERT_EQ(Key(VK_F2), 1);
  ASSERT_TRUE(player.windows().GetWindowRect(theVideo->window, &place));
  EXPECT_EQ(place.left, 57);
  EXPECT_EQ(place.top, -12);
}

TEST_F(PluginKeys, OtherMessagesGetTheirFixedOrDefaultAnswers) {
  EXPECT_EQ(Send(WM_ERASEBKGND, 0), 0);
  EXPECT_EQ(Send(WM_CREATE, 0), 0);
  EXPECT_EQ(Send(WM_KEYUP, VK_ESCAPE), 0);  // only key presses count
  EXPECT_TRUE(player.Pump());
  EXPECT_EQ(ForwardedKeys().size(), 0u);
}

}  // namespace
}  // namespace corvex::testing
