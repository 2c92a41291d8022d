#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/handles.h"
#include "platform/messages.h"

namespace corvex::platform {

// Styles of dialogs and their controls, with the values Windows gives them, so a template
// means the same on every backend and the Windows resource script can be checked against it.
// The window styles (ws::) are in messages.h.
namespace ds {
inline constexpr uint32_t Look3D = 0x0004;
inline constexpr uint32_t SetFont = 0x0040;
inline constexpr uint32_t ModalFrame = 0x0080;
inline constexpr uint32_t SetForeground = 0x0200;
inline constexpr uint32_t Center = 0x0800;
}  // namespace ds

namespace bs {
inline constexpr uint32_t PushButton = 0x0000;
inline constexpr uint32_t DefPushButton = 0x0001;
inline constexpr uint32_t AutoCheckBox = 0x0003;
inline constexpr uint32_t GroupBox = 0x0007;
inline constexpr uint32_t AutoRadioButton = 0x0009;
inline constexpr uint32_t LeftText = 0x0020;
}  // namespace bs

namespace ss {
inline constexpr uint32_t Left = 0x0000;
inline constexpr uint32_t Center = 0x0001;
inline constexpr uint32_t Right = 0x0002;
inline constexpr uint32_t Bitmap = 0x000E;
inline constexpr uint32_t RealSizeImage = 0x0800;
inline constexpr uint32_t Sunken = 0x1000;
}  // namespace ss

namespace lbs {
inline constexpr uint32_t Notify = 0x0001;
inline constexpr uint32_t NoIntegralHeight = 0x0100;
}  // namespace lbs

namespace tbs {
inline constexpr uint32_t AutoTicks = 0x0001;
}  // namespace tbs

namespace es {
inline constexpr uint32_t Multiline = 0x0004;
inline constexpr uint32_t AutoVScroll = 0x0040;
inline constexpr uint32_t ReadOnly = 0x0800;
}  // namespace es

// Notification codes in the high word of wm::Command's wParam, and the trackbar's scroll code.
namespace bn {
inline constexpr uint32_t Clicked = 0;
}  // namespace bn

namespace lbn {
inline constexpr uint32_t SelChange = 1;
}  // namespace lbn

namespace tb {
inline constexpr uint32_t ThumbPosition = 4;
}  // namespace tb

inline constexpr int32_t kNoControlId = -1;  // a control nobody addresses (IDC_STATIC)

// The window class a control belongs to; the style's low bits choose its variant (a push
// button, a check box, a left- or right-aligned text, ...).
enum class ControlKind : uint8_t { Button, Text, ListBox, Trackbar, Edit };

// One control of a dialog template. Position and size are in dialog units.
struct ControlTemplate {
  int32_t id;
  ControlKind kind;
  uint32_t style;
  const char* text;   // null: no text
  int16_t x;
  int16_t y;
  int16_t width;
  int16_t height;
  int32_t imageId;    // a picture's bitmap resource; 0 for every other control
};

// A dialog as the library's resources describe it.
struct DialogTemplate {
  int32_t resourceId;
  uint32_t style;
  const char* title;
  const char* fontName;
  int16_t fontPointSize;
  int16_t width;
  int16_t height;
  const ControlTemplate* controls;
  size_t controlCount;
};

// Modeless dialogs and their controls. A dialog is a window of the WindowSystem: messages
// reach its dialog procedure through SendWindowMessage, PostWindowMessage and the host's loop, and
// DestroyWindow closes it. A dialog procedure returns 0 for the platform's default handling.
// Control handles come from GetDlgItem; every operation ignores a null or unknown control.
class DialogSystem {
 public:
  virtual ~DialogSystem() = default;

  // Creates the dialog hidden (ShowWindow shows it). The Windows backend takes the template
  // resource from instance; the others build the dialog from the table. userData is the
  // window's user data before the procedure sees its first message. Null on failure.
  virtual WindowHandle CreateDialogWindow(InstanceHandle instance, const DialogTemplate& dialog,
                                          WindowHandle owner, WindowProcedure procedure,
                                          intptr_t userData) = 0;
  virtual WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) = 0;

  virtual void SetControlText(WindowHandle control, const char* text) = 0;
  virtual void EnableWindow(WindowHandle control, bool enable) = 0;
  // Check boxes and radio buttons (BM_SETCHECK).
  virtual void SetCheck(WindowHandle control, bool checked) = 0;

  // List boxes: LB_RESETCONTENT, LB_ADDSTRING (items kept in the order added), LB_SETCURSEL
  // (an index outside the list leaves nothing selected), LB_GETCURSEL (-1 for none).
  virtual void ResetList(WindowHandle list) = 0;
  virtual void AddListItem(WindowHandle list, const char* text) = 0;
  virtual void SelectListItem(WindowHandle list, int32_t index) = 0;
  virtual int32_t GetListSelection(WindowHandle list) = 0;

  // Trackbars: TBM_SETRANGE, TBM_SETPOS (kept inside the range), TBM_GETPOS, TBM_SETTICFREQ.
  virtual void SetSliderRange(WindowHandle slider, int32_t minimum, int32_t maximum,
                              bool redraw) = 0;
  virtual void SetSliderPosition(WindowHandle slider, int32_t position) = 0;
  virtual int32_t GetSliderPosition(WindowHandle slider) = 0;
  virtual void SetSliderTickFrequency(WindowHandle slider, int32_t frequency) = 0;
};

// wm::Command's wParam: the control id in the low word, the notification code in the high word.
inline constexpr uintptr_t CommandParam(int32_t id, uint32_t code) {
  return (static_cast<uintptr_t>(code & 0xFFFF) << 16) | (static_cast<uint32_t>(id) & 0xFFFF);
}

}  // namespace corvex::platform
