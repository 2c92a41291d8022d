// Modeless dialogs from the library's own resource templates, and their controls.
#include "platform/dialog_system.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_api.h"

namespace corvex::platform::win32 {

namespace {

HWND Window(WindowHandle handle) { return static_cast<HWND>(handle); }

constexpr const char* kProcedureProperty = "CorvexDialogProcedure";

// The dialog being created on this thread: its procedure and user data wait here until the
// dialog's first message, which comes before CreateDialogParam returns.
struct PendingDialog {
  WindowProcedure procedure = nullptr;
  intptr_t userData = 0;
};
thread_local PendingDialog pendingDialog;

// Every dialog runs through this procedure: on the first message it gives the window the
// plug-in's user data, so the plug-in's procedure finds its object from the very first
// message (WM_SETFONT comes before WM_INITDIALOG), then it hands every message on.
INT_PTR CALLBACK DialogTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto procedure = reinterpret_cast<WindowProcedure>(GetPropA(dialog, kProcedureProperty));
  if (procedure == nullptr) {
    procedure = pendingDialog.procedure;
    if (procedure == nullptr) return FALSE;
    SetPropA(dialog, kProcedureProperty, reinterpret_cast<HANDLE>(procedure));
    SetWindowLongPtrA(dialog, GWLP_USERDATA, pendingDialog.userData);
    pendingDialog = PendingDialog{};
  }
  const INT_PTR result = procedure(dialog, message, wParam, lParam);
  if (message == WM_NCDESTROY) RemovePropA(dialog, kProcedureProperty);
  return result;
}

class SystemDialogs final : public DialogSystem {
 public:
  WindowHandle CreateDialogWindow(InstanceHandle instance, const DialogTemplate& dialog,
                            WindowHandle owner, WindowProcedure procedure,
                            intptr_t userData) override {
    // The panel's slider is a common control: its class must be registered first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    pendingDialog = PendingDialog{procedure, userData};
    HWND window = CreateDialogParamA(static_cast<HINSTANCE>(instance),
                                     MAKEINTRESOURCEA(dialog.resourceId), Window(owner),
                                     &DialogTrampoline, 0);
    pendingDialog = PendingDialog{};
    return window;
  }

  WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) override {
    return dialog == nullptr ? nullptr : ::GetDlgItem(Window(dialog), id);
  }

  void SetControlText(WindowHandle control, const char* text) override {
    if (control != nullptr) SetWindowTextA(Window(control), text);
  }
  void EnableWindow(WindowHandle control, bool enable) override {
    if (control != nullptr) ::EnableWindow(Window(control), enable ? TRUE : FALSE);
  }
  void SetCheck(WindowHandle control, bool checked) override {
    Send(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  void ResetList(WindowHandle list) override { Send(list, LB_RESETCONTENT, 0, 0); }
  void AddListItem(WindowHandle list, const char* text) override {
    Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  void SelectListItem(WindowHandle list, int32_t index) override {
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  int32_t GetListSelection(WindowHandle list) override {
    return list == nullptr ? -1 : static_cast<int32_t>(Send(list, LB_GETCURSEL, 0, 0));
  }

  void SetSliderRange(WindowHandle slider, int32_t minimum, int32_t maximum,
                      bool redraw) override {
    Send(slider, TBM_SETRANGE, redraw ? TRUE : FALSE, MAKELPARAM(minimum, maximum));
  }
  void SetSliderPosition(WindowHandle slider, int32_t position) override {
    Send(slider, TBM_SETPOS, TRUE, position);
  }
  int32_t GetSliderPosition(WindowHandle slider) override {
    return static_cast<int32_t>(Send(slider, TBM_GETPOS, 0, 0));
  }
  void SetSliderTickFrequency(WindowHandle slider, int32_t frequency) override {
    Send(slider, TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
  }

 private:
  static LRESULT Send(WindowHandle control, UINT message, WPARAM wParam, LPARAM lParam) {
    return control == nullptr ? 0 : SendMessageA(Window(control), message, wParam, lParam);
  }
};

}  // namespace

std::unique_ptr<DialogSystem> MakeDialogSystem() { return std::make_unique<SystemDialogs>(); }

}  // namespace corvex::platform::win32
