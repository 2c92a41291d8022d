#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/config_dialog.h"
#include "running_plugin.h"
#include "scene/process_objects.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"

namespace corvex::testing {
namespace {

using namespace platform;
using Control = platform::headless::HeadlessDialogs::Control;
using platform::headless::HeadlessWindows;

constexpr int32_t kPanel = 102;

class ConfigPanel : public RunningPlugin {
 protected:
  void SetUp() override {
    DescribeDisplay();
    Start();
  }
  // The display device, before the plug-in starts; the headless default otherwise.
  virtual void DescribeDisplay() {}

  // Opens the panel with Tab, as a user would.
  void Open() {
    ASSERT_EQ(Key(VK_TAB), 1);
    ASSERT_EQ(configDialogOpen, 1);
    ASSERT_NE(theConfigDialog, nullptr);
    panel = theConfigDialog->window;
  }
  const Control& At(int32_t id) {
    const Control* control = dialogs().FindControl(panel, id);
    if (control == nullptr) throw std::runtime_error("no control " + std::to_string(id));
    return *control;
  }
  intptr_t Click(int32_t id) { return dialogs().Click(panel, id); }
  intptr_t Command(int32_t id, uint32_t code = BN_CLICKED) {
    return player.windows().SendMessage(panel, WM_COMMAND, CommandParam(id, code), 0);
  }
  std::vector<std::string> ModeNames(int32_t mode) const {
    std::vector<std::string> names;
    for (int32_t i = 0; i < theVideo->modeCount[mode]; ++i) {
      names.emplace_back(theVideo->modeNames[mode][i]);
    }
    return names;
  }
  void ExpectClosed() {
    EXPECT_EQ(configDialogOpen, 0);
    EXPECT_EQ(theConfigDialog, nullptr);
    EXPECT_EQ(refreshSceneLabelsHook, nullptr);
    EXPECT_TRUE(dialogs().OpenDialogs(kPanel).empty());
    EXPECT_EQ(player.windows().Find(panel), nullptr);
  }

  WindowHandle panel = nullptr;
};

TEST_F(ConfigPanel, OpensShowingTheLiveValues) {
  theSceneManager->framesPerScene = 750;
  theVideo->showInfo = 1;
  theVideo->useDelay = 1;
  theVideo->minimizeHost = 0;
  theSceneManager->showSongTitle = 0;
  Open();

  const HeadlessWindows::Window* window = player.windows().Find(panel);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->title, "Corvex Configuration Panel");
  EXPECT_EQ(window->owner, theVideo->window);
  EXPECT_EQ(dialogs().Find(panel)->instance, player.module().hDllInstance);

  EXPECT_EQ(At(1019).text, "750");
  EXPECT_EQ(At(1020).position, 7);
  EXPECT_EQ(At(1020).minimum, 1);
  EXPECT_EQ(At(1020).maximum, 21);
  EXPECT_EQ(At(1020).tickFrequency, 1);
  EXPECT_EQ(At(1022).text, "100");
  EXPECT_EQ(At(1021).text, "Never");

  EXPECT_TRUE(At(1005).checked);
  EXPECT_FALSE(At(1010).checked);
  EXPECT_TRUE(At(1013).checked);
  EXPECT_FALSE(At(1012).checked);

  const int32_t mode = theVideo->displayMode;
  ASSERT_NE(mode, 0);  // the panel never shows over full screen
  EXPECT_EQ(At(1006).checked, mode == 1);
  EXPECT_EQ(At(1008).checked, mode == 2);
  EXPECT_FALSE(At(1061).checked);
  EXPECT_TRUE(At(1008).enabled);
  EXPECT_EQ(At(1029).text, "(supported)");
  EXPECT_EQ(At(1004).items, ModeNames(mode));
  EXPECT_EQ(At(1004).selection, theVideo->resolutionMode);

  const int32_t renderer = theSceneManager->FirstActiveRenderer();
  EXPECT_EQ(At(1056).text, theSceneManager->rendererNames[renderer]);
  EXPECT_TRUE(At(1064).checked);
  const TransformManager& transforms = *theVideo->transformManager;
  EXPECT_EQ(At(1057).text, transforms.transformNames[transforms.currentTransform]);
  EXPECT_TRUE(At(1065).checked);
}

TEST_F(ConfigPanel, OpensOverWindowedModeWhenFullScreenRuns) {
  ASSERT_EQ(Key(VK_F1), 1);
  ASSERT_EQ(theVideo->displayMode, 0);
  Open();
  EXPECT_EQ(theVideo->displayMode, 1);
  EXPECT_TRUE(At(1006).checked);
  EXPECT_EQ(At(1004).items, ModeNames(1));
  ASSERT_EQ(Click(1009), 1);  // and windowed mode stays after the panel closes
  EXPECT_EQ(theVideo->displayMode, 1);
}

TEST_F(ConfigPanel, TheSliderStepsInHundredsUpToNever) {
  theSceneManager->framesPerScene = -1;
  Open();
  EXPECT_EQ(At(1020).position, 21);
  EXPECT_EQ(At(1019).text, "Never");

  EXPECT_EQ(dialogs().DragSlider(panel, 1020, 1), 1);
  EXPECT_EQ(theSceneManager->framesPerScene, 100);
  EXPECT_EQ(At(1019).text, "100");
  EXPECT_EQ(dialogs().DragSlider(panel, 1020, 20), 1);
  EXPECT_EQ(theSceneManager->framesPerScene, 2000);
  EXPECT_EQ(At(1019).text, "2000");
  EXPECT_EQ(dialogs().DragSlider(panel, 1020, 21), 1);
  EXPECT_EQ(theSceneManager->framesPerScene, -1);
  EXPECT_EQ(At(1019).text, "Never");

  // A scroll message from anything but the slider changes nothing.
  const intptr_t list = reinterpret_cast<intptr_t>(dialogs().GetDlgItem(panel, 1004));
  EXPECT_EQ(player.windows().SendMessage(panel, WM_HSCROLL, 0, list), 0);
  EXPECT_EQ(player.windows().SendMessage(panel, WM_HSCROLL, 0, 0), 0);
  EXPECT_EQ(theSceneManager->framesPerScene, -1);

  ASSERT_EQ(Click(1009), 1);
  player.Quit();
  EXPECT_NE(ReadSettings().find("Frames_Per_Scene=-1\n"), std::string::npos);
}

// Little video memory: background mode (twice the picture in surface memory) offers fewer
// resolutions than the other two, so a list position names different resolutions.
class ConfigPanelSmallMemory : public ConfigPanel {
  void DescribeDisplay() override { player.display().videoMemory = 1u << 20; }
};

TEST_F(ConfigPanelSmallMemory, DisplayModeButtonsRefillTheListAndSelectByTheRule) {
  const std::vector<std::string> everyMode = {"640x480x16", "640x480x32", "800x600x16",
                                              "800x600x32", "1024x768x16", "1024x768x32"};
  ASSERT_EQ(ModeNames(0), everyMode);
  ASSERT_EQ(ModeNames(1), everyMode);
  ASSERT_EQ(ModeNames(2), (std::vector<std::string>{"640x480x16", "800x600x16"}));
  ASSERT_EQ(Key(VK_F2), 1);
  theVideo->requestedResolutionMode = 3;
  theVideo->ChangeRes();
  Open();
  EXPECT_EQ(At(1004).items, everyMode);
  EXPECT_EQ(At(1004).selection, 3);

  EXPECT_EQ(Click(1008), 1);  // another mode: its first resolution
  EXPECT_EQ(At(1004).items, ModeNames(2));
  EXPECT_EQ(At(1004).selection, 0);
  EXPECT_EQ(theVideo->requestedDisplayMode, 2);
  EXPECT_EQ(theVideo->requestedResolutionMode, 0);
  EXPECT_TRUE(At(1008).checked);
  EXPECT_FALSE(At(1006).checked);

  EXPECT_EQ(Click(1061), 1);
  EXPECT_EQ(At(1004).items, everyMode);
  EXPECT_EQ(At(1004).selection, 0);
  EXPECT_EQ(theVideo->requestedDisplayMode, 0);
  EXPECT_EQ(theVideo->requestedResolutionMode, 0);
  EXPECT_TRUE(At(1061).checked);
  EXPECT_FALSE(At(1008).checked);

  EXPECT_EQ(Click(1006), 1);  // the current mode: the current resolution again
  EXPECT_EQ(At(1004).selection, 3);
  EXPECT_EQ(theVideo->requestedDisplayMode, 1);
  EXPECT_EQ(theVideo->requestedResolutionMode, 3);
  EXPECT_TRUE(At(1006).checked);

  // Nothing is applied before Done; Done applies the choice and closes the panel.
  EXPECT_EQ(theVideo->displayMode, 1);
  ASSERT_EQ(Click(1061), 1);
  ASSERT_EQ(dialogs().ChooseListItem(panel, 1004, 4), 1);
  EXPECT_EQ(theVideo->displayMode, 1);
  EXPECT_EQ(theVideo->resolutionMode, 3);
  ASSERT_EQ(Click(1009), 1);
  EXPECT_EQ(theVideo->displayMode, 0);
  EXPECT_EQ(theVideo->resolutionMode, 4);
  EXPECT_EQ(theVideo->width, 1024);
  EXPECT_EQ(theVideo->modeDepth, 16);
  ExpectClosed();
  for (int frame = 0; frame < 2; ++frame) EXPECT_EQ(player.Render(), 0);
}

TEST_F(ConfigPanel, TheResolutionListReportsOnlySelectionChanges) {
  Open();
  const int32_t last = static_cast<int32_t>(At(1004).items.size()) - 1;
  ASSERT_GE(last, 0);
  EXPECT_EQ(dialogs().ChooseListItem(panel, 1004, last), 1);
  EXPECT_EQ(theVideo->requestedResolutionMode, last);
  theVideo->requestedResolutionMode = -5;
  constexpr uint32_t kDoubleClick = 2;
  EXPECT_EQ(Command(1004, kDoubleClick), 0);
  EXPECT_EQ(theVideo->requestedResolutionMode, -5);
}

TEST_F(ConfigPanel, QuitDropsAnUnconfirmedModeButKeepsTheToggles) {
  ASSERT_EQ(Key(VK_F2), 1);
  Open();
  ASSERT_EQ(Click(1061), 1);  // full screen chosen, never confirmed
  EXPECT_EQ(Click(1012), 1);
  EXPECT_EQ(Click(1013), 1);
  EXPECT_EQ(Click(1010), 1);
  EXPECT_EQ(theSceneManager->showSongTitle, 0);
  EXPECT_EQ(theVideo->useDelay, 1);
  EXPECT_EQ(theVideo->minimizeHost, 1);
  EXPECT_TRUE(At(1012).checked == false && At(1013).checked && At(1010).checked);
  player.Quit();
  ExpectClosed();
  const std::string saved = ReadSettings();
  EXPECT_NE(saved.find("Display_Mode=1\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Show_Song_Title=0\n"), std::string::npos);
  EXPECT_NE(saved.find("Use_Delay=1\n"), std::string::npos);
  EXPECT_NE(saved.find("Minimize_Winamp=1\n"), std::string::npos);
}

TEST_F(ConfigPanel, TheInfoBoxRestartsTheOverlaysCount) {
  Open();
  theVideo->infoFrameCount = 40;
  EXPECT_EQ(Click(1005), 1);
  EXPECT_EQ(theVideo->showInfo, 1);
  EXPECT_EQ(theVideo->infoFrameCount, 0);
  EXPECT_TRUE(At(1005).checked);
  EXPECT_EQ(Click(1005), 1);
  EXPECT_EQ(theVideo->showInfo, 0);
}

TEST_F(ConfigPanel, ExitPluginClosesThePanelAndEndsTheRun) {
  Open();
  EXPECT_EQ(Click(1011), 1);
  ExpectClosed();
  EXPECT_FALSE(player.Pump());
}

TEST_F(ConfigPanel, NextButtonsAndSceneChangesKeepTheLabelsCurrent) {
  Open();
  const int32_t renderer = theSceneManager->FirstActiveRenderer();
  const int32_t transform = theVideo->transformManager->currentTransform;
  EXPECT_EQ(Click(1062), 1);
  const int32_t next = (renderer + 1) % 14;
  EXPECT_EQ(theSceneManager->FirstActiveRenderer(), next);
  EXPECT_EQ(At(1056).text, theSceneManager->rendererNames[next]);
  EXPECT_EQ(theVideo->transformManager->currentTransform, transform);

  EXPECT_EQ(Click(1063), 1);
  const int32_t nextTransform = (transform + 1) % 15;
  EXPECT_EQ(theVideo->transformManager->currentTransform, nextTransform);
  EXPECT_EQ(At(1057).text, kTransformNames[nextTransform]);

  // Scenes chosen elsewhere (keys, the scene clock) show too.
  theSceneManager->enabledRenderers[3] = 0;
  theSceneManager->lockedRenderer = 3;
  ASSERT_EQ(Key(VK_SPACE), 1);
  EXPECT_EQ(At(1056).text, theSceneManager->rendererNames[3]);
  EXPECT_FALSE(At(1064).checked);
  EXPECT_EQ(At(1057).text,
            kTransformNames[theVideo->transformManager->currentTransform]);
}

TEST_F(ConfigPanel, OnBoxesEnableTheShownItemsAndTheLockIgnoresThem) {
  Open();
  const int32_t renderer = theSceneManager->FirstActiveRenderer();
  EXPECT_EQ(Click(1064), 1);
  EXPECT_EQ(theSceneManager->enabledRenderers[renderer], 0);
  EXPECT_FALSE(At(1064).checked);
  const int32_t transform = theVideo->transformManager->currentTransform;
  EXPECT_EQ(Click(1065), 1);
  EXPECT_EQ(theVideo->transformManager->enabledTransforms[transform], 0);
  EXPECT_FALSE(At(1065).checked);

  // A locked renderer still shows with its box ticked off.
  theSceneManager->lockedRenderer = renderer;
  for (int press = 0; press < 5; ++press) {
    ASSERT_EQ(Key(VK_SPACE), 1);
    EXPECT_EQ(theSceneManager->FirstActiveRenderer(), renderer);
  }
  EXPECT_EQ(Click(1064), 1);
  EXPECT_EQ(theSceneManager->enabledRenderers[renderer], 1);
  EXPECT_TRUE(At(1064).checked);
}

class ConfigPanelWithoutOverlay : public ConfigPanel {
  void DescribeDisplay() override {
    player.display().overlaySupport = platform::headless::OverlaySupport::None;
  }
};

TEST_F(ConfigPanelWithoutOverlay, BackgroundModeCannotBeChosen) {
  ASSERT_EQ(theVideo->overlaySupported, 0);
  Open();
  EXPECT_FALSE(At(1008).enabled);
  EXPECT_EQ(At(1029).text, "(Unsupported by hardware)");
  EXPECT_FALSE(At(1029).enabled);
  EXPECT_TRUE(At(1061).enabled);
  const int32_t requested = theVideo->requestedDisplayMode;
  EXPECT_EQ(Click(1008), 0);
  EXPECT_FALSE(At(1008).checked);
  EXPECT_EQ(theVideo->requestedDisplayMode, requested);
}

TEST_F(ConfigPanel, HelpAndInfoOpensOneAboutBox) {
  Open();
  EXPECT_EQ(Click(1026), 1);
  EXPECT_EQ(Click(1026), 1);
  EXPECT_EQ(aboutDialogOpen, 1);
  const auto about = dialogs().OpenDialogs(110);
  ASSERT_EQ(about.size(), 1u);
  EXPECT_EQ(about[0]->owner, player.host().handle());
  EXPECT_EQ(about[0]->instance, player.module().hDllInstance);
  EXPECT_EQ(configDialogOpen, 1);
  player.Quit();  // closes both
  EXPECT_EQ(aboutDialogOpen, 0);
  EXPECT_TRUE(dialogs().OpenDialogs(110).empty());
  ExpectClosed();
}

TEST_F(ConfigPanel, UnknownCommandsAndMessagesDoNothing) {
  Open();
  const int32_t framesBefore = theSceneManager->framesPerScene;
  for (int32_t id : {IDCANCEL, 1003, 1007, 1030, 1066, IDOK}) {
    EXPECT_EQ(Command(id), 0) << id;
  }
  EXPECT_EQ(player.windows().SendMessage(panel, WM_KEYDOWN, VK_ESCAPE, 0), 0);
  EXPECT_EQ(configDialogOpen, 1);
  EXPECT_NE(player.windows().Find(panel), nullptr);
  EXPECT_EQ(theSceneManager->framesPerScene, framesBefore);
  EXPECT_TRUE(player.Pump());
}

TEST_F(ConfigPanel, ClicksArriveThroughTheHostsMessageLoop) {
  Open();
  player.windows().PostMessage(panel, WM_COMMAND, CommandParam(1012, BN_CLICKED), 0);
  EXPECT_EQ(theSceneManager->showSongTitle, 1);
  EXPECT_TRUE(player.Pump());
  EXPECT_EQ(theSceneManager->showSongTitle, 0);
}

TEST_F(ConfigPanel, APanelThatCannotBeMadeLeavesNothingOpen) {
  player.windows().failures.Inject("CreateDialog", 0);
  EXPECT_EQ(Key(VK_TAB), 1);
  EXPECT_EQ(configDialogOpen, 0);
  EXPECT_EQ(theConfigDialog, nullptr);
  EXPECT_EQ(refreshSceneLabelsHook, nullptr);
  ASSERT_EQ(Key(VK_SPACE), 1);
  Open();  // the next try works
}

}  // namespace
}  // namespace corvex::testing
