// Any sequence of what reaches the plug-in between frames: messages with any numbers, wParam
// and lParam sent to its window (keys, moves, the icon, its destruction), the Configuration
// Panel's controls and commands, the About box, the host's message loop; frames in between.
// The invariants of a running plug-in are checked after every step.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/process_objects.h"
#include "dialogs/config_dialog.h"
#include "fuzz_player.h"
#include "FuzzedDataProvider.h"
#include "platform/dialog_system.h"
#include "platform/headless/headless_backend.h"
#include "platform/messages.h"
#include "plugin/plugin_objects.h"
#include "video/video.h"

namespace corvex::fuzzing {
namespace {

using namespace platform;

constexpr uint32_t kMessages[] = {wm::Create,  wm::Destroy,    wm::Close,   wm::EraseBkgnd,
                                  wm::KeyDown, wm::KeyUp,      wm::SysKeyDown, wm::Command,
                                  wm::HScroll, wm::LButtonDown, wm::User,   wm::TrayIcon};
constexpr uint32_t kKeys[] = {vk::Tab, vk::Return, vk::Escape, vk::Space, vk::F1, vk::F2, vk::F3,
                              vk::F4,  vk::F5,     vk::F6,     vk::F7,    vk::F8, vk::F9, vk::F10,
                              vk::F11, vk::F12,    'X'};
constexpr int32_t kPanelControls[] = {1004, 1005, 1006, 1008, 1009, 1010, 1011, 1012, 1013,
                                      1020, 1026, 1061, 1062, 1063, 1064, 1065, id::Cancel};

class Session {
 public:
  Session(FuzzPlayer& run, FuzzedDataProvider& input) : run_(run), input_(input) {}

  void Step() {
    if (!run_.Running()) {
      if (!run_.Start()) Fail("Init refused");
      return;
    }
    switch (input_.ConsumeIntegralInRange(0, 9)) {
      case 0: run_.Frame(input_.ConsumeIntegral<uint8_t>(), input_.ConsumeIntegral<uint8_t>()); break;
      case 1: Key(); break;
      case 2: Send(input_.PickValueInArray(kMessages), input_.ConsumeIntegral<uintptr_t>(),
                   input_.ConsumeIntegral<intptr_t>()); break;
      case 3: Send(input_.ConsumeIntegral<uint32_t>(), input_.ConsumeIntegral<uintptr_t>(),
                   input_.ConsumeIntegral<intptr_t>()); break;
      case 4: Move(); break;
      case 5: Send(wm::TrayIcon, 0, input_.ConsumeBool() ? wm::LButtonDown : input_.ConsumeIntegral<intptr_t>()); break;
      case 6: Panel(); break;
      case 7: AboutBox(); break;
      case 8: run_.Pump(); break;
      case 9:
        // The window goes while the plug-in runs (the system closes it, say); the quit message
        // it posts reaches the host with the next pump.
        windows().DestroyWindow(theVideo->window);
        break;
    }
    if (run_.Running()) run_.CheckInvariants();
  }

 private:
  headless::HeadlessWindows& windows() { return run_.player.windows(); }
  headless::HeadlessDialogs& dialogs() { return run_.player.backend().dialogs; }

  void Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    // The record this message points to is the system's to give, never a number.
    if (message == wm::WindowPosChanged) return Move();
    windows().SendWindowMessage(theVideo->window, message, wParam, lParam);
  }

  void Key() {
    const uint32_t message = input_.ConsumeBool() ? wm::KeyDown : wm::SysKeyDown;
    const uintptr_t key = input_.ConsumeBool() ? input_.PickValueInArray(kKeys)
                                               : input_.ConsumeIntegral<uint8_t>();
    windows().SendWindowMessage(theVideo->window, message, key, input_.ConsumeIntegral<intptr_t>());
  }

  void Move() {
    if (input_.ConsumeBool()) {
      // The user drags the window anywhere (its frame has no sizing border).
      windows().SetWindowPos(theVideo->window, input_.ConsumeIntegral<int32_t>(),
                             input_.ConsumeIntegral<int32_t>(), 0, 0,
                             input_.ConsumeIntegral<uint32_t>() | swp::NoSize);
      return;
    }
    WindowPosition position{theVideo->window, nullptr, input_.ConsumeIntegral<int32_t>(),
                            input_.ConsumeIntegral<int32_t>(), input_.ConsumeIntegral<int32_t>(),
                            input_.ConsumeIntegral<int32_t>(), input_.ConsumeIntegral<uint32_t>()};
    windows().SendWindowMessage(theVideo->window, wm::WindowPosChanged, 0,
                          reinterpret_cast<intptr_t>(&position));
  }

  void Panel() {
    if (theConfigDialog == nullptr) {
      Send(wm::KeyDown, vk::Tab, 0);
      return;
    }
    const WindowHandle panel = theConfigDialog->window;
    switch (input_.ConsumeIntegralInRange(0, 3)) {
      case 0: dialogs().Click(panel, input_.PickValueInArray(kPanelControls)); break;
      case 1: dialogs().ChooseListItem(panel, 1004, input_.ConsumeIntegral<int32_t>()); break;
      case 2: dialogs().DragSlider(panel, 1020, input_.ConsumeIntegral<int32_t>()); break;
      case 3:
        windows().SendWindowMessage(panel, input_.ConsumeBool() ? wm::Command : wm::HScroll,
                              input_.ConsumeIntegral<uintptr_t>(),
                              input_.ConsumeIntegral<intptr_t>());
        break;
    }
  }

  void AboutBox() {
    const auto boxes = dialogs().OpenDialogs(110);
    if (boxes.empty()) {
      if (theConfigDialog != nullptr) dialogs().Click(theConfigDialog->window, 1026);
      return;
    }
    windows().SendWindowMessage(boxes.front()->window, wm::Command,
                          CommandParam(input_.ConsumeBool() ? id::Ok : id::Cancel, bn::Clicked), 0);
  }

  FuzzPlayer& run_;
  FuzzedDataProvider& input_;
};

}  // namespace
}  // namespace corvex::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvex::fuzzing;
  FuzzedDataProvider input(data, size);
  // The run starts in any display mode at any of its resolutions.
  const std::string settings = "[Corvex v1.07]\nDisplay_Mode=" +
                               std::to_string(input.ConsumeIntegralInRange(0, 2)) +
                               "\nResolution_Mode=" + std::to_string(input.ConsumeIntegralInRange(0, 3)) +
                               "\nFrames_Per_Scene=" + std::to_string(input.ConsumeIntegralInRange(-1, 5)) + "\n";
  FuzzPlayer run(settings);
  Session session(run, input);
  for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) session.Step();
  return 0;
}
