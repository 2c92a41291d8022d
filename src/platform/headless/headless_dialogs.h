#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_system.h"
#include "platform/headless/headless_windows.h"

namespace corvex::platform::headless {

// Dialogs as a model of their controls: texts, checks, enabled flags, list items and
// selection, slider range and position. Nothing is drawn; tests and hosts read the controls
// and act on them as a user would (Click, ChooseListItem, DragSlider), which reaches the
// dialog procedure through the window system's messages. A dialog is a window of the
// HeadlessWindows it was made with, so DestroyWindow, user data and the host's message loop
// work on it as on any window. "CreateDialog" can be made to fail with the FailureInjector.
class HeadlessDialogs final : public DialogSystem {
 public:
  struct Control final : WindowObject {
    Control(Backend& owner, const ControlTemplate& from, WindowHandle dialogWindow);
    bool IsAutoCheckBox() const;
    bool IsAutoRadioButton() const;

    WindowHandle dialog;
    int32_t id;
    ControlKind kind;
    uint32_t style;
    Rect bounds;  // dialog units
    std::string text;
    bool enabled = true;
    bool checked = false;
    std::vector<std::string> items;
    int32_t selection = -1;
    int32_t minimum = 0;
    int32_t maximum = 100;
    int32_t position = 0;
    int32_t tickFrequency = 1;
  };

  struct Dialog {
    WindowHandle window = nullptr;
    int32_t resourceId = 0;
    WindowProcedure procedure = nullptr;
    WindowHandle owner = nullptr;
    InstanceHandle instance = nullptr;
    std::vector<std::unique_ptr<Control>> controls;
  };

  HeadlessDialogs(Backend& backend, HeadlessWindows& windows);
  ~HeadlessDialogs() override;
  HeadlessDialogs(const HeadlessDialogs&) = delete;
  HeadlessDialogs& operator=(const HeadlessDialogs&) = delete;

  WindowHandle CreateDialogWindow(InstanceHandle instance, const DialogTemplate& dialog,
                                  WindowHandle owner, WindowProcedure procedure,
                                  intptr_t userData) override;
  WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) override;
  void SetControlText(WindowHandle control, const char* text) override;
  void EnableWindow(WindowHandle control, bool enable) override;
  void SetCheck(WindowHandle control, bool checked) override;
  void ResetList(WindowHandle list) override;
  void AddListItem(WindowHandle list, const char* text) override;
  void SelectListItem(WindowHandle list, int32_t index) override;
  int32_t GetListSelection(WindowHandle list) override;
  void SetSliderRange(WindowHandle slider, int32_t minimum, int32_t maximum,
                      bool redraw) override;
  void SetSliderPosition(WindowHandle slider, int32_t position) override;
  int32_t GetSliderPosition(WindowHandle slider) override;
  void SetSliderTickFrequency(WindowHandle slider, int32_t frequency) override;

  // Inspection.
  Dialog* Find(WindowHandle dialog) const;  // null unless a live dialog
  std::vector<Dialog*> OpenDialogs(int32_t resourceId) const;
  Control* FindControl(WindowHandle dialog, int32_t id) const;

  // A user's actions; each returns the dialog procedure's result, or 0 when the control is
  // missing or disabled and takes no input. Click: an automatic check box flips, an automatic
  // radio button becomes the checked one of its group, then the dialog gets wm::Command with
  // bn::Clicked. ChooseListItem: selects an item of a list, then wm::Command with lbn::SelChange.
  // DragSlider: moves the thumb (kept inside the range), then wm::HScroll from the slider.
  intptr_t Click(WindowHandle dialog, int32_t id);
  intptr_t ChooseListItem(WindowHandle dialog, int32_t id, int32_t index);
  intptr_t DragSlider(WindowHandle dialog, int32_t id, int32_t position);

 private:
  static intptr_t CORVEX_CALLBACK DialogClassProcedure(WindowHandle window, uint32_t message,
                                                       uintptr_t wParam, intptr_t lParam);
  Control* ControlOf(WindowHandle handle) const;
  Control* InputControl(WindowHandle dialog, int32_t id) const;
  void Forget(WindowHandle dialog);

  Backend& backend_;
  HeadlessWindows& windows_;
  std::vector<std::unique_ptr<Dialog>> dialogs_;
};

}  // namespace corvex::platform::headless
