#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/process_objects.h"
#include "dialogs/config_dialog.h"
#include "running_plugin.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

using namespace platform;
using Control = platform::headless::HeadlessDialogs::Control;

class ConfigPanel : public RunningPlugin {
 protected:
  void SetUp() override { Start(); }

  void Open() {  // with Tab, as a user would
    ASSERT_EQ(Key(vk::Tab), 1);
    ASSERT_NE(theConfigDialog, nullptr);
    panel = theConfigDialog->window;
  }
  const Control& At(int32_t id) {
    const Control* control = dialogs().FindControl(panel, id);
    if (control == nullptr) throw std::runtime_error("no control " + std::to_string(id));
    return *control;
  }
  std::string Checks(std::initializer_list<int32_t> ids) {  // '1' for each checked control
    std::string checks;
    for (int32_t id : ids) checks += At(id).checked ? '1' : '0';
    return checks;
  }
  intptr_t Click(int32_t id) { return dialogs().Click(panel, id); }
  intptr_t Command(int32_t id, uint32_t code = bn::Clicked) {
    return player.windows().SendWindowMessage(panel, wm::Command, CommandParam(id, code), 0);
  }
  std::vector<std::string> ModeNames(int32_t mode) const {
    return {theVideo->modeNames[mode], theVideo->modeNames[mode] + theVideo->modeCount[mode]};
  }
  void ExpectClosed() {
    EXPECT_EQ(configDialogOpen, 0);
    EXPECT_EQ(theConfigDialog, nullptr);
    EXPECT_EQ(refreshSceneLabelsHook, nullptr);
    EXPECT_EQ(player.windows().Find(panel), nullptr);
  }

  WindowHandle panel = nullptr;
};

TEST_F(ConfigPanel, OpensOverWindowedModeShowingTheLiveValues) {
  ASSERT_EQ(theVideo->displayMode, 0);
  theSceneManager->framesPerScene = 750;
  theVideo->showInfo = 1;
  theVideo->useDelay = 1;
  theSceneManager->showSongTitle = 0;
  Open();
  EXPECT_TRUE(player.windows().Find(panel)->visible);
  EXPECT_EQ(player.windows().Find(panel)->owner, theVideo->window);
  EXPECT_EQ(dialogs().Find(panel)->instance, player.module().hDllInstance);
  EXPECT_EQ(At(1019).text, "750");
  EXPECT_EQ(At(1020).position, 7);
  EXPECT_EQ(std::make_pair(At(1020).minimum, At(1020).maximum), std::make_pair(1, 21));
  EXPECT_EQ(At(1022).text + " " + At(1021).text, "100 Never");
  EXPECT_EQ(theVideo->displayMode, 1);  // the panel never shows over full screen
  EXPECT_EQ(At(1004).items, ModeNames(1));
  EXPECT_EQ(At(1004).selection, theVideo->resolutionMode);
  EXPECT_EQ(At(1029).text, "(supported)");
  EXPECT_TRUE(At(1008).enabled);
  // Info, minimize, delay, song title; full screen, windowed, background; both "On" boxes.
  EXPECT_EQ(Checks({1005, 1010, 1013, 1012, 1061, 1006, 1008, 1064, 1065}), "101001011");
  EXPECT_EQ(At(1056).text, theSceneManager->rendererNames[theSceneManager->FirstActiveRenderer()]);
  EXPECT_EQ(At(1057).text, kTransformNames[theVideo->transformManager->currentTransform]);
}

TEST_F(ConfigPanel, TheSliderStepsInHundredsUpToNever) {
  theSceneManager->framesPerScene = -1;
  Open();
  EXPECT_EQ(At(1020).position, 21);
  EXPECT_EQ(At(1019).text, "Never");
  const struct { int32_t position, frames; const char* label; } drags[] = {
      {1, 100, "100"}, {20, 2000, "2000"}, {21, -1, "Never"}, {3, 300, "300"}};
  for (const auto& drag : drags) {
    EXPECT_EQ(dialogs().DragSlider(panel, 1020, drag.position), 1);
    EXPECT_EQ(theSceneManager->framesPerScene, drag.frames);
    EXPECT_EQ(At(1019).text, drag.label);
  }
  ASSERT_EQ(Click(1009), 1);

  theSceneManager->framesPerScene = 5000;  // a length set by hand: the thumb stops at the end
  Open();
  EXPECT_EQ(At(1020).position, 21);
  EXPECT_EQ(At(1019).text, "5000");
}

// Little video memory: background mode offers fewer resolutions than the other two, so a
// list position names different resolutions.
class ConfigPanelSmallMemory : public ConfigPanel {
  void SetUp() override {
    player.display().videoMemory = 1u << 20;
    Start();
  }
};

TEST_F(ConfigPanelSmallMemory, DisplayModeButtonsRefillTheListAndSelectByTheRule) {
  ASSERT_EQ(ModeNames(2), (std::vector<std::string>{"640x480x16", "800x600x16"}));
  ASSERT_EQ(Key(vk::F2), 1);
  theVideo->requestedResolutionMode = 3;
  theVideo->ChangeRes();
  Open();
  EXPECT_EQ(At(1004).selection, 3);
  // Another mode starts at its first resolution, the current mode at the current one.
  const struct { int32_t button, mode, selection; const char* checks; } paths[] = {
      {1008, 2, 0, "001"}, {1061, 0, 0, "100"}, {1006, 1, 3, "010"}};
  for (const auto& path : paths) {
    EXPECT_EQ(Click(path.button), 1);
    EXPECT_EQ(At(1004).items, ModeNames(path.mode)) << path.button;
    EXPECT_EQ(At(1004).selection, path.selection) << path.button;
    EXPECT_EQ(theVideo->requestedDisplayMode, path.mode) << path.button;
    EXPECT_EQ(theVideo->requestedResolutionMode, path.selection) << path.button;
    EXPECT_EQ(Checks({1061, 1006, 1008}), path.checks) << path.button;
  }
  ASSERT_EQ(Click(1061), 1);
  ASSERT_EQ(dialogs().ChooseListItem(panel, 1004, 4), 1);
  EXPECT_EQ(theVideo->requestedResolutionMode, 4);
  constexpr uint32_t kDoubleClick = 2;
  EXPECT_EQ(Command(1004, kDoubleClick), 0);  // only a selection change counts
  EXPECT_EQ(theVideo->displayMode, 1);        // nothing is applied before Done
  ASSERT_EQ(Click(1009), 1);
  const Video& video = *theVideo;
  EXPECT_EQ((std::vector<int32_t>{video.displayMode, video.resolutionMode, video.width,
                                  video.modeDepth}),
            (std::vector<int32_t>{0, 4, 1024, 16}));
  ExpectClosed();
  EXPECT_EQ(player.Render(), 0);
}

TEST_F(ConfigPanel, QuitDropsAnUnconfirmedModeButKeepsTheToggles) {
  ASSERT_EQ(Key(vk::F2), 1);
  Open();
  ASSERT_EQ(Click(1061), 1);  // full screen chosen, never confirmed
  theVideo->infoFrameCount = 40;
  for (int32_t box : {1005, 1012, 1013, 1010}) EXPECT_EQ(Click(box), 1) << box;
  EXPECT_EQ(theVideo->showInfo, 1);
  EXPECT_EQ(theVideo->infoFrameCount, 0);
  EXPECT_EQ(Checks({1005, 1012, 1013, 1010}), "1011");
  player.Quit();
  ExpectClosed();
  const std::string saved = ReadSettings();
  for (const char* line :
       {"Display_Mode=1\n", "Show_Song_Title=0\n", "Use_Delay=1\n", "Minimize_Winamp=1\n"}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
  }
}

TEST_F(ConfigPanel, TheSceneRowsFollowTheSceneAndTheirButtons) {
  Open();
  const int32_t renderer = (theSceneManager->FirstActiveRenderer() + 1) % 14;
  const int32_t transform = (theVideo->transformManager->currentTransform + 1) % 15;
  for (int32_t button : {1062, 1063, 1064, 1065}) EXPECT_EQ(Click(button), 1) << button;
  EXPECT_EQ(At(1056).text, theSceneManager->rendererNames[renderer]);
  EXPECT_EQ(At(1057).text, kTransformNames[transform]);
  EXPECT_EQ(theSceneManager->enabledRenderers[renderer], 0);
  EXPECT_EQ(theVideo->transformManager->enabledTransforms[transform], 0);
  EXPECT_EQ(Checks({1064, 1065}), "00");

  // Scenes chosen elsewhere show too; a locked renderer shows with its box ticked off.
  theSceneManager->enabledRenderers[3] = 0;
  theSceneManager->lockedRenderer = 3;
  ASSERT_EQ(Key(vk::Space), 1);
  EXPECT_EQ(At(1056).text, theSceneManager->rendererNames[3]);
  EXPECT_EQ(Checks({1064}), "0");
}

TEST_F(ConfigPanel, WithoutAnOverlayBackgroundModeCannotBeChosen) {
  theVideo->overlaySupported = 0;
  Open();
  EXPECT_EQ(At(1029).text, "(Unsupported by hardware)");
  EXPECT_FALSE(At(1029).enabled || At(1008).enabled);
  const int32_t requested = theVideo->requestedDisplayMode;
  EXPECT_EQ(Click(1008), 0);
  EXPECT_EQ(theVideo->requestedDisplayMode, requested);
}

TEST_F(ConfigPanel, HelpAndInfoOpensOneAboutBoxThatOnlyOkCloses) {
  Open();
  EXPECT_EQ(Click(1026), 1);
  EXPECT_EQ(Click(1026), 1);
  const auto about = dialogs().OpenDialogs(110);
  ASSERT_EQ(about.size(), 1u);
  EXPECT_EQ(about[0]->owner, player.host().handle());
  EXPECT_EQ(about[0]->instance, player.module().hDllInstance);
  const WindowHandle box = about[0]->window;
  EXPECT_EQ(player.windows().SendWindowMessage(box, wm::Command, CommandParam(id::Cancel, 0), 0),
            0);
  EXPECT_EQ(player.windows().SendWindowMessage(box, wm::KeyDown, vk::Escape, 0), 0);
  // OK posted like a real click: the host's own loop delivers it, and the panel stays.
  player.windows().PostWindowMessage(box, wm::Command, CommandParam(id::Ok, bn::Clicked), 0);
  ASSERT_TRUE(player.Pump());
  EXPECT_EQ(aboutDialogOpen, 0);
  EXPECT_EQ(configDialogOpen, 1);

  EXPECT_EQ(Click(1026), 1);
  player.Quit();  // closes both
  EXPECT_TRUE(dialogs().OpenDialogs(110).empty());
  ExpectClosed();
}

TEST_F(ConfigPanel, OnlyItsCommandsAndExitPluginCloseIt) {
  Open();
  for (int32_t id : {id::Cancel, 1003, 1007, 1030, 1066, id::Ok}) EXPECT_EQ(Command(id), 0) << id;
  EXPECT_EQ(player.windows().SendWindowMessage(panel, wm::KeyDown, vk::Escape, 0), 0);
  EXPECT_NE(player.windows().Find(panel), nullptr);
  EXPECT_EQ(Click(1011), 1);  // Exit Plugin also ends the run
  ExpectClosed();
  EXPECT_FALSE(player.Pump());

  player.windows().failures.Inject("CreateDialog", 0);
  EXPECT_EQ(Key(vk::Tab), 1);  // a panel that cannot be made leaves nothing open
  ExpectClosed();
  Open();  // the next try works
}

}  // namespace
}  // namespace corvex::testing
