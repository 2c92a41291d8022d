#include <gtest/gtest.h>

#include <cstdint>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "platform/dialog_system.h"

namespace corvex::testing {
namespace {

using platform::Backend;
using platform::BackendOf;
using platform::DefaultBackend;
using platform::WindowHandle;
using platform::headless::HeadlessBackend;

intptr_t CORVEX_CALLBACK QuietProcedure(WindowHandle, uint32_t, uintptr_t, intptr_t) {
  return 0;
}

WindowHandle MakeWindow(HeadlessBackend& backend) {
  backend.windows.RegisterWindowClass("Lookup", &QuietProcedure, nullptr);
  return backend.windows.CreateClassWindow("Lookup", "", 0, 0, 0, 8, 8, nullptr, nullptr);
}

// Handles the plug-in may be given that no backend here made: null, a real system's window
// handle (reading through it would fault), and the address of something that is no window.
TEST(BackendLookup, AHandleNoLiveWindowHasGivesTheDefaultBackendWithoutBeingRead) {
  int notAWindow = 0;
  for (WindowHandle handle : {WindowHandle{}, reinterpret_cast<WindowHandle>(0x000A0126),
                              static_cast<WindowHandle>(&notAWindow)}) {
    EXPECT_EQ(&BackendOf(handle), &DefaultBackend()) << handle;
  }
}

TEST(BackendLookup, EachLiveWindowLeadsToTheBackendThatMadeItUntilItIsDestroyed) {
  HeadlessBackend first;
  HeadlessBackend second;
  const WindowHandle a = MakeWindow(first);
  const WindowHandle b = MakeWindow(second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(&BackendOf(a), &first);
  EXPECT_EQ(&BackendOf(b), &second);

  ASSERT_TRUE(first.windows.DestroyWindow(a));
  EXPECT_EQ(&BackendOf(a), &DefaultBackend());
  EXPECT_EQ(&BackendOf(b), &second);
}

// A backend that goes while its windows are open takes them out of the lookup with it.
TEST(BackendLookup, WindowsLeftOpenAreForgottenWithTheirBackend) {
  WindowHandle window;
  {
    HeadlessBackend backend;
    window = MakeWindow(backend);
    ASSERT_EQ(&BackendOf(window), &backend);
  }
  EXPECT_EQ(&BackendOf(window), &DefaultBackend());
}

// Dialogs and their controls are windows of the backend too (the panel finds its backend from
// them).
TEST(BackendLookup, DialogControlsLeadToTheirBackend) {
  HeadlessBackend backend;
  const platform::ControlTemplate controls[] = {
      {7, platform::ControlKind::Button, platform::bs::PushButton, "OK", 0, 0, 10, 10, 0}};
  const platform::DialogTemplate dialog{1, 0, "Lookup", "Arial", 8, 50, 50, controls, 1};
  const WindowHandle box =
      backend.dialogs.CreateDialogWindow(nullptr, dialog, nullptr, &QuietProcedure, 0);
  ASSERT_NE(box, nullptr);
  const WindowHandle button = backend.dialogs.GetDlgItem(box, 7);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(&BackendOf(box), &backend);
  EXPECT_EQ(&BackendOf(button), &backend);
}

}  // namespace
}  // namespace corvex::testing
