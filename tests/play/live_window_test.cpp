// The live window under a private X display: size, frames, keys through SDL's queue, full
// screen and back, the panel's controls under the pointer, and the end of a run.
#include <gtest/gtest.h>
#include <imgui.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/config_dialog.h"
#include "host_error.h"
#include "other_x_client.h"
#include "play_test_support.h"
#include "plugin/plugin_objects.h"
#include "resources/resource.h"
#include "base/process_objects.h"
#include "plugin/vis_module.h"
#include "scene/scene_manager.h"
#include "transforms/transform_manager.h"
#include "video/video.h"

namespace corvex::host::testing {
namespace {

std::vector<int32_t> ActiveRenderers() {
  return std::vector<int32_t>(theSceneManager->activeRenderers,
                              theSceneManager->activeRenderers + theSceneManager->rendererCount);
}

std::pair<int, int> WindowSize(SDL_Window* window) {
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  return {width, height};
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Clicks at the middle of a box of the last drawn dialogs over three frames from `frame`:
// the pointer arrives, the button goes down, the button comes up.
void ClickAt(FrameScript& script, PlaySession& session, int64_t frame,
             std::function<platform::sdl::DialogPainter::Box()> where) {
  script.At(frame, [&session, where] {
    const auto box = where();
    MovePointer(session.backend()->window(), box.x + box.width / 2, box.y + box.height / 2);
  });
  script.At(frame + 1, [&session] { PressButton(session.backend()->window(), true); });
  script.At(frame + 2, [&session] { PressButton(session.backend()->window(), false); });
}

platform::WindowHandle OpenPanel(const PlaySession& session) {
  const auto open = session.backend()->dialogs.OpenDialogs(IDD_CONFIG_PANEL);
  return open.empty() ? nullptr : open.front()->window;
}

platform::sdl::DialogPainter::Box PanelBox(const PlaySession& session, int32_t id) {
  const auto& layout = session.backend()->painter().Layout();
  const auto found = layout.find({OpenPanel(session), id});
  return found == layout.end() ? platform::sdl::DialogPainter::Box{-1, -1, 0, 0} : found->second;
}

// A window run of at most `maxFrames` frames drawn as fast as they go: these tests are about
// what happens, not the pace.
PlayConfig UnpacedWindow(const std::string& folderName, int32_t width, int32_t height,
                         int64_t maxFrames) {
  PlayConfig config = LiveConfig(folderName);
  config.width = width;
  config.height = height;
  config.refreshHz = 0.0;
  config.maxFrames = maxFrames;
  return config;
}

TEST(LiveWindow, KeysFullScreenPanelAndEscAsAUserGivesThem) {
  REQUIRE_DISPLAY();
  const std::vector<std::string> files = {WriteTrack("tone.wav", 60.0, QuietTone)};
  PlayConfig config = UnpacedWindow("window", 800, 600, 400);
  PlaySession session(OpenFiles(files), config);
  FrameScript script;
  session.afterFrame = [&script](int64_t frame) { script(frame); };
  SDL_Window* window = nullptr;

  script.At(0, [&] {
    window = session.backend()->window();
    EXPECT_EQ(WindowSize(window), std::make_pair(800, 600));
    EXPECT_EQ(theVideo->width, 800);
    EXPECT_EQ(theVideo->displayMode, 1);
  });
  std::vector<int32_t> before;
  script.At(10, [&] {
    before = ActiveRenderers();
    PressKey(window, SDLK_F5);
  });
  script.At(12, [&] { EXPECT_NE(ActiveRenderers(), before) << "F5 picks the next renderer"; });
  int32_t infoBefore = 0;
  script.At(14, [&] {
    infoBefore = theVideo->showInfo;
    PressKey(window, SDLK_F4);
  });
  script.At(16, [&] { EXPECT_NE(theVideo->showInfo, infoBefore) << "F4 toggles the overlay"; });

  script.At(20, [&] { PressKey(window, SDLK_RETURN, KMOD_LALT); });
  script.At(23, [&] {
    EXPECT_EQ(theVideo->displayMode, 0) << "Alt+Enter from a window goes full screen";
    EXPECT_TRUE(session.backend()->FullScreen());
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(WindowSize(window), std::make_pair(1920, 1080)) << "the window covers the display";
  });
  script.At(26, [&] { PressKey(window, SDLK_RETURN, KMOD_LALT); });
  script.At(29, [&] {
    EXPECT_EQ(theVideo->displayMode, 1) << "and Alt+Enter again comes back";
    EXPECT_FALSE(session.backend()->FullScreen());
    EXPECT_EQ(WindowSize(window), std::make_pair(800, 600));
  });

  script.At(40, [&] { PressKey(window, SDLK_TAB); });
  script.At(42, [&] {
    ASSERT_EQ(configDialogOpen, 1) << "Tab opens the panel";
    const auto* list = session.backend()->dialogs.FindControl(OpenPanel(session), IDC_RESOLUTION_LIST);
    ASSERT_NE(list, nullptr);
    ASSERT_GT(list->items.size(), 2u);
    EXPECT_EQ(list->items[2], "1024x768x32");
    const std::string shot =
        (std::filesystem::path(CORVEX_BINARY_DIR) / "play_pictures" / "panel_open.png").string();
    std::filesystem::create_directories(std::filesystem::path(shot).parent_path());
    const std::string command = "import -window root -crop 800x600+0+0 " + shot;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  });
  // The third entry of the resolution list, then Done.
  ClickAt(script, session, 44, [&session] {
    auto box = PanelBox(session, IDC_RESOLUTION_LIST);
    const float row = ImGui::GetTextLineHeightWithSpacing();
    return platform::sdl::DialogPainter::Box{box.x, box.y + 1.0f + 2 * row, box.width, row};
  });
  script.At(48, [&] {
    const auto* list = session.backend()->dialogs.FindControl(OpenPanel(session), IDC_RESOLUTION_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->selection, 2) << "the click chose the entry under the pointer";
  });
  ClickAt(script, session, 50, [&session] { return PanelBox(session, IDC_DONE); });
  script.At(55, [&] {
    EXPECT_EQ(configDialogOpen, 0) << "Done closes the panel";
    EXPECT_EQ(theVideo->width, 1024);
    EXPECT_EQ(theVideo->height, 768);
    EXPECT_EQ(WindowSize(window), std::make_pair(1024, 768));
  });
  script.At(199, [&] { EXPECT_EQ(session.backend()->PresentedFrames(), 200); });
  script.At(210, [&] { PressKey(window, SDLK_ESCAPE); });

  const PlayResult result = session.Run();
  EXPECT_TRUE(result.quitByPlugin) << "Esc ends the run";
  EXPECT_LT(result.frames, 215);
  const std::string settings = ReadText(config.pluginFolder + "/vis_corvex.ini");
  EXPECT_NE(settings.find("Display_Mode=1"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Resolution_Mode=2"), std::string::npos) << settings;
}

TEST(LiveWindow, TheAboutKeyShowsTheAboutBoxDrawnLiveUntilOkIsClicked) {
  REQUIRE_DISPLAY();
  const std::vector<std::string> files = {WriteTrack("about.wav", 10.0, QuietTone)};
  PlayConfig config = UnpacedWindow("about", 800, 600, 20);
  std::ofstream(config.pluginFolder + "/vis_corvex.txt") << "Read me first.\n";
  PlaySession session(OpenFiles(files), config);
  FrameScript script;
  session.afterFrame = [&script](int64_t frame) { script(frame); };
  int64_t presentedBefore = 0;
  int idle = 0;
  script.At(5, [&] {
    presentedBefore = session.backend()->PresentedFrames();
    PressKey(session.backend()->window(), SDLK_k);
    // Config waits in its own loop; what the user does while it waits happens on its idle turns.
    session.backend()->store.onIdle = [&] {
      if (aboutDialogOpen == 0) return;
      auto& dialogs = session.backend()->dialogs;
      const auto open = dialogs.OpenDialogs(IDD_ABOUT_BOX);
      ASSERT_EQ(open.size(), 1u);
      SDL_Window* window = session.backend()->window();
      switch (idle++) {
        case 0:
          EXPECT_NE(dialogs.FindControl(open[0]->window, IDC_README)->text.find("Read me first."),
                    std::string::npos);
          break;
        case 3: {
          const auto box = session.backend()->painter().Layout().at({open[0]->window, 1});
          MovePointer(window, box.x + box.width / 2, box.y + box.height / 2);
          break;
        }
        case 4: PressButton(window, true); break;
        case 5: PressButton(window, false); break;
        default: break;
      }
    };
  });
  script.At(6, [&] {
    EXPECT_EQ(aboutDialogOpen, 0) << "OK closed the box and Config returned";
    EXPECT_GE(idle, 6);
    EXPECT_GE(session.backend()->PresentedFrames() - presentedBefore, 6)
        << "the window was drawn while the box was open";
    session.backend()->store.onIdle = nullptr;
  });
  EXPECT_EQ(session.Run().frames, 20);
}

void PushWindowEvent(SDL_Window* window, SDL_WindowEventID what, int32_t x = 0, int32_t y = 0) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = SDL_GetWindowID(window);
  event.window.event = what;
  event.window.data1 = x;
  event.window.data2 = y;
  SDL_PushEvent(&event);
}

TEST(LiveWindow, MovesAndThePanelsChecksSliderRadiosAndButtonsWorkAsAUserDoesThem) {
  REQUIRE_DISPLAY();
  const std::vector<std::string> files = {WriteTrack("panel.wav", 10.0, QuietTone)};
  PlayConfig config = UnpacedWindow("panel", 800, 600, 200);
  PlaySession session(OpenFiles(files), config);
  FrameScript script;
  session.afterFrame = [&script](int64_t frame) { script(frame); };
  const auto window = [&session] { return session.backend()->window(); };

  script.At(5, [&] { PushWindowEvent(window(), SDL_WINDOWEVENT_MOVED, 120, 90); });
  script.At(7, [&] {
    EXPECT_EQ(theVideo->windowX, 120) << "a move of the window is its new position";
    EXPECT_EQ(theVideo->windowY, 90);
  });
  script.At(10, [&] { PressKey(window(), SDLK_TAB); });
  script.At(12, [&] { ASSERT_EQ(configDialogOpen, 1); });
  ClickAt(script, session, 14, [&session] { return PanelBox(session, IDC_SHOW_INFO); });
  script.At(18, [&] { EXPECT_EQ(theVideo->showInfo, 1) << "the check switched the overlay on"; });
  ClickAt(script, session, 20, [&session] {
    auto box = PanelBox(session, IDC_FRAMES_SLIDER);
    return platform::sdl::DialogPainter::Box{box.x + box.width - 3.0f, box.y, 2.0f, 4.0f};
  });
  script.At(24, [&] {
    EXPECT_EQ(theSceneManager->framesPerScene, -1) << "the slider's last position";
    const auto* label = session.backend()->dialogs.FindControl(OpenPanel(session), IDC_FRAMES_LABEL);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, "Never");
  });
  ClickAt(script, session, 26, [&session] { return PanelBox(session, IDC_FULL_SCREEN); });
  script.At(30, [&] {
    const auto* radio = session.backend()->dialogs.FindControl(OpenPanel(session), IDC_FULL_SCREEN);
    ASSERT_NE(radio, nullptr);
    EXPECT_TRUE(radio->checked) << "the radio under the pointer is the chosen display mode";
    EXPECT_EQ(theVideo->displayMode, 1) << "which waits for Done";
  });
  ClickAt(script, session, 32, [&session] { return PanelBox(session, IDC_HELP_AND_INFO); });
  script.At(36, [&] { EXPECT_EQ(aboutDialogOpen, 1) << "Help and Info opens the About box"; });
  // The box lies over the panel: OK first, then the panel's Exit Plugin.
  ClickAt(script, session, 38, [&session] {
    const auto open = session.backend()->dialogs.OpenDialogs(IDD_ABOUT_BOX);
    const auto& layout = session.backend()->painter().Layout();
    return open.empty() ? platform::sdl::DialogPainter::Box{-1, -1, 0, 0}
                        : layout.at({open.front()->window, 1});
  });
  script.At(42, [&] { EXPECT_EQ(aboutDialogOpen, 0) << "OK closes it"; });
  ClickAt(script, session, 44, [&session] { return PanelBox(session, IDC_EXIT_PLUGIN); });
  const PlayResult result = session.Run();
  EXPECT_TRUE(result.quitByPlugin) << "Exit Plugin ends the run";
  EXPECT_LT(result.frames, 50);
}

// A signal's default action for the time of one run, whatever the test runner was started with.
struct DefaultAction {
  explicit DefaultAction(int signal) : signal(signal), before(std::signal(signal, SIG_DFL)) {}
  ~DefaultAction() { std::signal(signal, before); }
  int signal;
  void (*before)(int);
};

TEST(LiveWindow, EveryWayTheWindowGoesEndsTheRunAsOnWindowsWithTheSettingsSaved) {
  REQUIRE_DISPLAY();
  const std::vector<std::string> files = {WriteTrack("close.wav", 10.0, QuietTone)};
  struct Case {
    const char* name;
    int64_t mostFrames;
    void (*end)(SDL_Window* window);
  };
  const Case cases[] = {
      // The close button's quit is taken before the next frame.
      {"close", 6, [](SDL_Window* window) { PushWindowEvent(window, SDL_WINDOWEVENT_CLOSE); }},
      // A closed terminal and Ctrl-\ become the SIGTERM that SDL makes a quit.
      {"hangup", 8, [](SDL_Window*) { std::raise(SIGHUP); }},
      {"quit", 8, [](SDL_Window*) { std::raise(SIGQUIT); }},
      // Seen only through the errors of SDL's next requests about the window.
      {"destroyed", 10, [](SDL_Window* window) { ASSERT_TRUE(DestroyAsAnotherXClient(window)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DefaultAction termination(SIGTERM), hangup(SIGHUP), quit(SIGQUIT);
    PlayConfig config = UnpacedWindow(c.name, 640, 480, 100);
    PlaySession session(OpenFiles(files), config);
    session.afterFrame = [&session, &c](int64_t frame) {
      if (frame == 5) c.end(session.backend()->window());
    };
    const PlayResult result = session.Run();
    EXPECT_TRUE(result.quitByPlugin);
    EXPECT_GE(result.frames, 6);
    EXPECT_LE(result.frames, c.mostFrames);
    EXPECT_TRUE(result.messages.empty()) << result.messages.front();
    EXPECT_NE(ReadText(config.pluginFolder + "/vis_corvex.ini").find("Resolution_Mode="), std::string::npos)
        << "the settings were saved";
  }
}

}  // namespace
}  // namespace corvex::host::testing
