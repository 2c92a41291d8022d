#include "platform/sdl/imgui_dialogs.h"

#include <imgui.h>

#include <algorithm>
#include <string>

#include "platform/messages.h"

namespace corvex::platform::sdl {

namespace {

using Control = headless::HeadlessDialogs::Control;

constexpr uint32_t kButtonTypeMask = 0x000F;
constexpr uint32_t kTextTypeMask = 0x001F;

bool IsGroupBox(const Control& c) { return (c.style & kButtonTypeMask) == bs::GroupBox; }
bool IsPicture(const Control& c) { return (c.style & kTextTypeMask) == ss::Bitmap; }

// The size a dialog needs: its window rectangle holds the template's size in dialog units.
ImVec2 DialogSize(const headless::HeadlessWindows::Window& window) {
  return ImVec2(static_cast<float>(window.rect.right - window.rect.left) * DialogPainter::kUnitX,
                static_cast<float>(window.rect.bottom - window.rect.top) * DialogPainter::kUnitY);
}

void AlignedText(const std::string& text, uint32_t style, float width, float height) {
  const float textWidth = ImGui::CalcTextSize(text.c_str()).x;
  const uint32_t align = style & 0x3;
  if (align == ss::Left && height >= 1.5f * ImGui::GetTextLineHeight()) {
    // A left-aligned text with room for more lines wraps inside its box, between words: a word
    // wider than the box runs past its right edge rather than being cut in two, as
    // "(Unsupported" would be in the panel's narrow note under Background.
    float widestWord = 0.0f;
    for (size_t start = 0; start < text.size();) {
      const size_t end = std::min(text.find(' ', start), text.size());
      widestWord = std::max(widestWord, ImGui::CalcTextSize(text.data() + start, text.data() + end).x);
      start = end + 1;
    }
    ImGui::PushTextWrapPos(ImGui::GetCursorPosX() + std::max(width, widestWord));
    ImGui::TextUnformatted(text.c_str());
    ImGui::PopTextWrapPos();
    return;
  }
  float shift = 0.0f;
  if (align == ss::Center) shift = std::max(0.0f, (width - textWidth) / 2.0f);
  if (align == ss::Right) shift = std::max(0.0f, width - textWidth);
  ImGui::SetCursorPosX(ImGui::GetCursorPosX() + shift);
  ImGui::TextUnformatted(text.c_str());
}

}  // namespace

void DialogPainter::Draw(const headless::HeadlessDialogs& dialogs,
                         const headless::HeadlessWindows& windows) {
  layout_.clear();
  const ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                 ImGuiWindowFlags_NoSavedSettings |
                                 ImGuiWindowFlags_NoScrollbar;
  const ImVec2 screen = ImGui::GetIO().DisplaySize;
  for (const headless::HeadlessDialogs::Dialog* dialog : dialogs.AllDialogs()) {
    const headless::HeadlessWindows::Window* window = windows.Find(dialog->window);
    if (window == nullptr || !window->visible) continue;
    const ImVec2 size = DialogSize(*window);
    const float titleHeight = ImGui::GetFrameHeight();
    ImGui::SetNextWindowSize(ImVec2(size.x, size.y + titleHeight), ImGuiCond_Always);
    ImGui::SetNextWindowPos(ImVec2(std::max(0.0f, (screen.x - size.x) / 2.0f),
                                   std::max(0.0f, (screen.y - size.y - titleHeight) / 2.0f)),
                            ImGuiCond_Appearing);
    ImGui::PushID(dialog->window);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    // The title is the window's; the pointer after ## keeps two dialogs of one title apart.
    const std::string title = window->title + "##" + std::to_string(reinterpret_cast<uintptr_t>(dialog->window));
    if (ImGui::Begin(title.c_str(), nullptr, flags)) {
      const ImVec2 origin = ImGui::GetCursorPos();
      for (const auto& control : dialog->controls) {
        DrawControl(*dialog, *control, origin.x, origin.y);
      }
    }
    ImGui::End();
    ImGui::PopStyleVar();
    ImGui::PopID();
  }
}

void DialogPainter::DrawControl(const headless::HeadlessDialogs::Dialog& dialog,
                                const Control& control, float originX, float originY) {
  const float x = originX + static_cast<float>(control.bounds.left) * kUnitX;
  const float y = originY + static_cast<float>(control.bounds.top) * kUnitY;
  const float width = static_cast<float>(control.bounds.right - control.bounds.left) * kUnitX;
  const float height = static_cast<float>(control.bounds.bottom - control.bounds.top) * kUnitY;
  ImGui::SetCursorPos(ImVec2(x, y));
  const ImVec2 screen = ImGui::GetCursorScreenPos();
  layout_[{dialog.window, control.id}] = Box{screen.x, screen.y, width, height};

  ImGui::PushID(&control);
  ImGui::BeginDisabled(!control.enabled);
  const auto act = [&](Action::Kind kind, int32_t value) {
    actions_.push_back(Action{kind, dialog.window, control.id, value});
  };
  ImDrawList* draw = ImGui::GetWindowDrawList();
  const ImU32 frameColour = ImGui::GetColorU32(ImGuiCol_Border);
  switch (control.kind) {
    case ControlKind::Button:
      if (IsGroupBox(control)) {
        const float half = ImGui::GetTextLineHeight() / 2.0f;
        draw->AddRect(ImVec2(screen.x, screen.y + half),
                      ImVec2(screen.x + width, screen.y + height), frameColour);
        ImGui::SetCursorPos(ImVec2(x + 6.0f, y));
        ImGui::TextUnformatted(control.text.c_str());
      } else if ((control.style & kButtonTypeMask) == bs::AutoCheckBox) {
        bool checked = control.checked;
        if ((control.style & bs::LeftText) != 0) {
          // The text on the left, the box at the right edge.
          const float box = ImGui::GetFrameHeight();
          AlignedText(control.text, ss::Right, width - box - 4.0f, height);
          ImGui::SetCursorPos(ImVec2(x + width - box, y));
          if (ImGui::Checkbox("##check", &checked)) act(Action::Kind::Click, 0);
          // A click on the text works the box too, as on a Windows check box.
          ImGui::SetCursorPos(ImVec2(x, y));
          if (ImGui::InvisibleButton("##text", ImVec2(std::max(1.0f, width - box), height))) {
            act(Action::Kind::Click, 0);
          }
        } else if (ImGui::Checkbox(control.text.c_str(), &checked)) {
          act(Action::Kind::Click, 0);
        }
      } else if ((control.style & kButtonTypeMask) == bs::AutoRadioButton) {
        if (ImGui::RadioButton(control.text.c_str(), control.checked)) act(Action::Kind::Click, 0);
      } else if (ImGui::Button(control.text.c_str(), ImVec2(width, height))) {
        act(Action::Kind::Click, 0);
      }
      break;
    case ControlKind::Text:
      if (IsPicture(control)) {
        draw->AddRectFilled(screen, ImVec2(screen.x + width, screen.y + height),
                            IM_COL32(16, 24, 48, 255));
        draw->AddRect(screen, ImVec2(screen.x + width, screen.y + height), frameColour);
      } else {
        if ((control.style & ss::Sunken) != 0) {
          draw->AddRect(screen, ImVec2(screen.x + width, screen.y + height), frameColour);
          ImGui::SetCursorPosY(y + std::max(0.0f, (height - ImGui::GetTextLineHeight()) / 2.0f));
        }
        AlignedText(control.text, control.style, width, height);
      }
      break;
    case ControlKind::ListBox:
      if (ImGui::BeginListBox("##list", ImVec2(width, height))) {
        for (size_t i = 0; i < control.items.size(); ++i) {
          const bool selected = static_cast<int32_t>(i) == control.selection;
          ImGui::PushID(static_cast<int>(i));
          if (ImGui::Selectable(control.items[i].c_str(), selected)) {
            act(Action::Kind::ChooseItem, static_cast<int32_t>(i));
          }
          ImGui::PopID();
        }
        ImGui::EndListBox();
      }
      break;
    case ControlKind::Trackbar: {
      int position = control.position;
      ImGui::SetNextItemWidth(width);
      ImGui::SliderInt("##slider", &position, control.minimum, control.maximum, "");
      if (position != control.position) act(Action::Kind::DragSlider, position);
      break;
    }
    case ControlKind::Edit: {
      // Read-only text (the readme): ImGui wants a writable buffer, so it gets a copy.
      std::string copy = control.text;
      copy.push_back('\0');
      ImGui::InputTextMultiline("##edit", copy.data(), copy.size(), ImVec2(width, height),
                                ImGuiInputTextFlags_ReadOnly);
      break;
    }
  }
  ImGui::EndDisabled();
  ImGui::PopID();
}

void DialogPainter::Apply(headless::HeadlessDialogs& dialogs) {
  std::vector<Action> actions;
  actions.swap(actions_);
  for (const Action& action : actions) {
    if (dialogs.Find(action.dialog) == nullptr) continue;  // an earlier action closed it
    switch (action.kind) {
      case Action::Kind::Click:
        dialogs.Click(action.dialog, action.id);
        break;
      case Action::Kind::ChooseItem:
        dialogs.ChooseListItem(action.dialog, action.id, action.value);
        break;
      case Action::Kind::DragSlider:
        dialogs.DragSlider(action.dialog, action.id, action.value);
        break;
    }
  }
}

}  // namespace corvex::platform::sdl
