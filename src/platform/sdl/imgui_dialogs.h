#pragma once
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "platform/headless/headless_dialogs.h"

namespace corvex::platform::sdl {

// Draws the open dialogs with Dear ImGui from their control models, each control where the
// template puts it, and turns what the user does with them into the same actions a test
// performs on the headless dialogs (a click, a list choice, a slider drag). Actions are
// gathered while drawing and carried out afterwards, since one of them may close the dialog.
class DialogPainter {
 public:
  // Inside an ImGui frame.
  void Draw(const headless::HeadlessDialogs& dialogs, const headless::HeadlessWindows& windows);
  // After the frame: every gathered action, to dialogs that are still open.
  void Apply(headless::HeadlessDialogs& dialogs);

  struct Box {
    float x, y, width, height;  // window pixels
  };
  // Where each control of each dialog was drawn by the last Draw.
  const std::map<std::pair<WindowHandle, int32_t>, Box>& Layout() const { return layout_; }
  // Dialog units to pixels, for a dialog font of 8 points.
  static constexpr float kUnitX = 1.5f;
  static constexpr float kUnitY = 1.625f;

 private:
  struct Action {
    enum class Kind { Click, ChooseItem, DragSlider } kind;
    WindowHandle dialog;
    int32_t id;
    int32_t value;
  };
  void DrawControl(const headless::HeadlessDialogs::Dialog& dialog,
                   const headless::HeadlessDialogs::Control& control, float originX,
                   float originY);

  std::vector<Action> actions_;
  std::map<std::pair<WindowHandle, int32_t>, Box> layout_;
};

}  // namespace corvex::platform::sdl
