#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/messages.h"

namespace corvex::testing {
namespace {

using namespace platform;
using platform::headless::HeadlessBackend;

const ControlTemplate kControls[] = {
    {10, ControlKind::Button, BS_AUTORADIOBUTTON | WS_GROUP, "A1", 0, 0, 10, 10, 0},
    {11, ControlKind::Button, BS_AUTORADIOBUTTON, "A2", 0, 10, 10, 10, 0},
    {20, ControlKind::Button, BS_AUTOCHECKBOX | WS_GROUP, "Box", 0, 20, 10, 10, 0},
    {30, ControlKind::Button, BS_AUTORADIOBUTTON | WS_GROUP, "B1", 0, 30, 10, 10, 0},
    {31, ControlKind::Button, BS_AUTORADIOBUTTON, "B2", 0, 40, 10, 10, 0},
    {40, ControlKind::ListBox, LBS_NOTIFY, nullptr, 20, 0, 30, 30, 0},
    {50, ControlKind::Trackbar, TBS_AUTOTICKS, nullptr, 20, 40, 30, 10, 0},
    {60, ControlKind::Button, BS_PUSHBUTTON, "Close", 20, 60, 30, 10, 0},
};
const DialogTemplate kTemplate = {
    500, WS_POPUP | WS_CAPTION, "Test", "MS Sans Serif", 8, 60, 80, kControls, std::size(kControls),
};

struct Received {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  intptr_t userData;
};
std::vector<Received> received;

intptr_t CORVEX_CALLBACK Procedure(WindowHandle window, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
  WindowSystem& windows = BackendOf(window).Windows();
  received.push_back({message, wParam, lParam, windows.GetUserData(window)});
  if (message == WM_COMMAND && (wParam & 0xFFFF) == 60) {
    windows.DestroyWindow(window);  // a dialog that closes itself inside its own click
    return 1;
  }
  return message == WM_COMMAND || message == WM_HSCROLL ? 5 : 0;
}

class HeadlessDialogModel : public ::testing::Test {
 protected:
  void SetUp() override {
    received.clear();
    dialog = backend.dialogs.CreateDialog(nullptr, kTemplate, nullptr, &Procedure, 1234);
    ASSERT_NE(dialog, nullptr);
  }
  DialogSystem& system() { return backend.Dialogs(); }
  bool Checked(int32_t id) { return backend.dialogs.FindControl(dialog, id)->checked; }

  HeadlessBackend backend;
  WindowHandle dialog = nullptr;
};

TEST_F(HeadlessDialogModel, ADialogStartsHiddenAndItsProcedureSeesTheUserDataFirst) {
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received[0].message, WM_INITDIALOG);
  EXPECT_EQ(received[0].lParam, 1234);
  EXPECT_EQ(received[0].userData, 1234);
  EXPECT_FALSE(backend.windows.Find(dialog)->visible);
  EXPECT_EQ(backend.windows.Find(dialog)->title, "Test");
  EXPECT_EQ(backend.dialogs.OpenDialogs(500).size(), 1u);
}

TEST_F(HeadlessDialogModel, ClickingARadioButtonChecksOnlyItInItsGroup) {
  system().SetCheck(system().GetDlgItem(dialog, 10), true);
  system().SetCheck(system().GetDlgItem(dialog, 30), true);
  EXPECT_EQ(backend.dialogs.Click(dialog, 11), 5);
  EXPECT_FALSE(Checked(10));
  EXPECT_TRUE(Checked(11));
  EXPECT_TRUE(Checked(30));  // another group
  EXPECT_EQ(backend.dialogs.Click(dialog, 31), 5);
  EXPECT_TRUE(Checked(11));
  EXPECT_FALSE(Checked(30));
  EXPECT_TRUE(Checked(31));
  EXPECT_EQ(backend.dialogs.Click(dialog, 20), 5);
  EXPECT_TRUE(Checked(20));
  EXPECT_EQ(backend.dialogs.Click(dialog, 20), 5);
  EXPECT_FALSE(Checked(20));

  const Received& click = received.back();
  EXPECT_EQ(click.message, WM_COMMAND);
  EXPECT_EQ(click.wParam, CommandParam(20, BN_CLICKED));
  EXPECT_EQ(click.lParam, reinterpret_cast<intptr_t>(system().GetDlgItem(dialog, 20)));
}

TEST_F(HeadlessDialogModel, ASliderStaysInsideItsRange) {
  WindowHandle slider = system().GetDlgItem(dialog, 50);
  system().SetSliderRange(slider, 1, 21, true);
  system().SetSliderPosition(slider, 0);
  EXPECT_EQ(system().GetSliderPosition(slider), 1);
  system().SetSliderPosition(slider, 30);
  EXPECT_EQ(system().GetSliderPosition(slider), 21);
  EXPECT_EQ(backend.dialogs.DragSlider(dialog, 50, 7), 5);
  EXPECT_EQ(system().GetSliderPosition(slider), 7);
  EXPECT_EQ(received.back().message, WM_HSCROLL);
  EXPECT_EQ(received.back().lParam, reinterpret_cast<intptr_t>(slider));
  system().SetSliderRange(slider, 10, 12, false);
  EXPECT_EQ(system().GetSliderPosition(slider), 10);
}

TEST_F(HeadlessDialogModel, ADialogMayCloseItselfInsideAClick) {
  EXPECT_EQ(backend.dialogs.Click(dialog, 60), 1);
  EXPECT_EQ(backend.dialogs.Find(dialog), nullptr);
  EXPECT_EQ(backend.windows.Find(dialog), nullptr);
  EXPECT_EQ(system().GetDlgItem(dialog, 10), nullptr);
  EXPECT_EQ(received.back().message, WM_DESTROY);
  EXPECT_TRUE(backend.dialogs.OpenDialogs(500).empty());
}

}  // namespace
}  // namespace corvex::testing
