#include "platform/headless/headless_dialogs.h"

#include <algorithm>

#include "platform/backend.h"
#include "platform/messages.h"

namespace corvex::platform::headless {

namespace {
// Every dialog is a window of this class; its procedure hands each message to the dialog's
// own procedure, as the system's dialog class does on Windows.
constexpr const char* kDialogClass = "#32770";
constexpr uint32_t kButtonVariant = 0x000F;
}  // namespace

HeadlessDialogs::Control::Control(Backend& owner, const ControlTemplate& from,
                                  WindowHandle dialogWindow)
    : WindowObject(owner),
      dialog(dialogWindow),
      id(from.id),
      kind(from.kind),
      style(from.style),
      bounds{from.x, from.y, from.x + from.width, from.y + from.height},
      text(from.text ? from.text : "") {}

bool HeadlessDialogs::Control::IsAutoCheckBox() const {
  return kind == ControlKind::Button && (style & kButtonVariant) == bs::AutoCheckBox;
}

bool HeadlessDialogs::Control::IsAutoRadioButton() const {
  return kind == ControlKind::Button && (style & kButtonVariant) == bs::AutoRadioButton;
}

HeadlessDialogs::HeadlessDialogs(Backend& backend, HeadlessWindows& windows)
    : backend_(backend), windows_(windows) {
  windows_.RegisterWindowClass(kDialogClass, &HeadlessDialogs::DialogClassProcedure, nullptr);
}

HeadlessDialogs::~HeadlessDialogs() = default;

intptr_t CORVEX_CALLBACK HeadlessDialogs::DialogClassProcedure(WindowHandle window,
                                                               uint32_t message,
                                                               uintptr_t wParam,
                                                               intptr_t lParam) {
  auto& dialogs =
      static_cast<HeadlessDialogs&>(static_cast<WindowObject*>(window)->backend->Dialogs());
  Dialog* dialog = dialogs.Find(window);
  if (dialog == nullptr) return 0;  // wm::Create comes before the dialog is recorded
  // The procedure may destroy the dialog (and this record) before it returns.
  WindowProcedure procedure = dialog->procedure;
  const intptr_t result = procedure(window, message, wParam, lParam);
  if (message == wm::Destroy) dialogs.Forget(window);
  return result;
}

WindowHandle HeadlessDialogs::CreateDialogWindow(InstanceHandle instance,
                                                 const DialogTemplate& source, WindowHandle owner,
                                                 WindowProcedure procedure, intptr_t userData) {
  if (procedure == nullptr || windows_.failures.Take("CreateDialog")) return nullptr;
  WindowHandle window =
      windows_.CreateClassWindow(kDialogClass, source.title, source.style & ~ws::Visible, 0, 0,
                                 source.width, source.height, owner, instance);
  if (window == nullptr) return nullptr;
  windows_.SetUserData(window, userData);
  auto dialog = std::make_unique<Dialog>();
  dialog->window = window;
  dialog->resourceId = source.resourceId;
  dialog->procedure = procedure;
  dialog->owner = owner;
  dialog->instance = instance;
  for (size_t i = 0; i < source.controlCount; ++i) {
    dialog->controls.push_back(std::make_unique<Control>(backend_, source.controls[i], window));
  }
  dialogs_.push_back(std::move(dialog));
  windows_.SendWindowMessage(window, wm::InitDialog, 0, userData);
  return window;
}

void HeadlessDialogs::Forget(WindowHandle dialog) {
  std::erase_if(dialogs_, [dialog](const auto& open) { return open->window == dialog; });
}

HeadlessDialogs::Dialog* HeadlessDialogs::Find(WindowHandle dialog) const {
  for (const auto& open : dialogs_) {
    if (open->window == dialog) return open.get();
  }
  return nullptr;
}

std::vector<HeadlessDialogs::Dialog*> HeadlessDialogs::OpenDialogs(int32_t resourceId) const {
  std::vector<Dialog*> found;
  for (const auto& open : dialogs_) {
    if (open->resourceId == resourceId) found.push_back(open.get());
  }
  return found;
}

HeadlessDialogs::Control* HeadlessDialogs::FindControl(WindowHandle dialog, int32_t id) const {
  Dialog* open = Find(dialog);
  if (open == nullptr) return nullptr;
  for (const auto& control : open->controls) {
    if (control->id == id) return control.get();
  }
  return nullptr;
}

HeadlessDialogs::Control* HeadlessDialogs::ControlOf(WindowHandle handle) const {
  if (handle == nullptr) return nullptr;
  for (const auto& open : dialogs_) {
    for (const auto& control : open->controls) {
      if (control.get() == handle) return control.get();
    }
  }
  return nullptr;
}

WindowHandle HeadlessDialogs::GetDlgItem(WindowHandle dialog, int32_t id) {
  return FindControl(dialog, id);
}

void HeadlessDialogs::SetControlText(WindowHandle control, const char* text) {
  if (Control* found = ControlOf(control)) {
    found->text = text ? text : "";
  } else if (HeadlessWindows::Window* window = windows_.Find(control)) {
    window->title = text ? text : "";
  }
}

void HeadlessDialogs::EnableWindow(WindowHandle control, bool enable) {
  if (Control* found = ControlOf(control)) found->enabled = enable;
}

void HeadlessDialogs::SetCheck(WindowHandle control, bool checked) {
  if (Control* found = ControlOf(control)) found->checked = checked;
}

void HeadlessDialogs::ResetList(WindowHandle list) {
  if (Control* found = ControlOf(list)) {
    found->items.clear();
    found->selection = -1;
  }
}

void HeadlessDialogs::AddListItem(WindowHandle list, const char* text) {
  if (Control* found = ControlOf(list)) found->items.emplace_back(text ? text : "");
}

void HeadlessDialogs::SelectListItem(WindowHandle list, int32_t index) {
  Control* found = ControlOf(list);
  if (found == nullptr) return;
  const bool inside = index >= 0 && static_cast<size_t>(index) < found->items.size();
  found->selection = inside ? index : -1;
}

int32_t HeadlessDialogs::GetListSelection(WindowHandle list) {
  Control* found = ControlOf(list);
  return found ? found->selection : -1;
}

void HeadlessDialogs::SetSliderRange(WindowHandle slider, int32_t minimum, int32_t maximum,
                                     bool) {
  Control* found = ControlOf(slider);
  if (found == nullptr) return;
  found->minimum = minimum;
  found->maximum = std::max(minimum, maximum);
  found->position = std::clamp(found->position, found->minimum, found->maximum);
}

void HeadlessDialogs::SetSliderPosition(WindowHandle slider, int32_t position) {
  if (Control* found = ControlOf(slider)) {
    found->position = std::clamp(position, found->minimum, found->maximum);
  }
}

int32_t HeadlessDialogs::GetSliderPosition(WindowHandle slider) {
  Control* found = ControlOf(slider);
  return found ? found->position : 0;
}

void HeadlessDialogs::SetSliderTickFrequency(WindowHandle slider, int32_t frequency) {
  if (Control* found = ControlOf(slider)) found->tickFrequency = frequency;
}

HeadlessDialogs::Control* HeadlessDialogs::InputControl(WindowHandle dialog, int32_t id) const {
  Control* found = FindControl(dialog, id);
  return found != nullptr && found->enabled ? found : nullptr;
}

intptr_t HeadlessDialogs::Click(WindowHandle dialog, int32_t id) {
  Control* clicked = InputControl(dialog, id);
  if (clicked == nullptr) return 0;
  if (clicked->IsAutoCheckBox()) clicked->checked = !clicked->checked;
  if (clicked->IsAutoRadioButton()) {
    // The group runs from the last control that starts one up to the next that does.
    auto& controls = Find(dialog)->controls;
    auto at = std::find_if(controls.begin(), controls.end(),
                           [clicked](const auto& c) { return c.get() == clicked; });
    auto first = at;
    while (first != controls.begin() && ((*first)->style & ws::Group) == 0) --first;
    auto last = at + 1;
    while (last != controls.end() && ((*last)->style & ws::Group) == 0) ++last;
    for (auto c = first; c != last; ++c) {
      if ((*c)->IsAutoRadioButton()) (*c)->checked = false;
    }
    clicked->checked = true;
  }
  return windows_.SendWindowMessage(dialog, wm::Command, CommandParam(id, bn::Clicked),
                                    reinterpret_cast<intptr_t>(clicked));
}

intptr_t HeadlessDialogs::ChooseListItem(WindowHandle dialog, int32_t id, int32_t index) {
  Control* list = InputControl(dialog, id);
  if (list == nullptr || list->kind != ControlKind::ListBox || index < 0 ||
      static_cast<size_t>(index) >= list->items.size()) {
    return 0;
  }
  list->selection = index;
  return windows_.SendWindowMessage(dialog, wm::Command, CommandParam(id, lbn::SelChange),
                                    reinterpret_cast<intptr_t>(list));
}

intptr_t HeadlessDialogs::DragSlider(WindowHandle dialog, int32_t id, int32_t position) {
  Control* slider = InputControl(dialog, id);
  if (slider == nullptr || slider->kind != ControlKind::Trackbar) return 0;
  slider->position = std::clamp(position, slider->minimum, slider->maximum);
  const uintptr_t wParam =
      (static_cast<uintptr_t>(slider->position & 0xFFFF) << 16) | tb::ThumbPosition;
  return windows_.SendWindowMessage(dialog, wm::HScroll, wParam,
                                    reinterpret_cast<intptr_t>(slider));
}

}  // namespace corvex::platform::headless
