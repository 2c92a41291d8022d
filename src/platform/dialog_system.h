#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/handles.h"

namespace corvex::platform {

// Styles of dialogs and their controls, with the values Windows gives them, so a template
// means the same on every backend and the Windows resource script can be checked against it.
inline constexpr uint32_t WS_POPUP = 0x80000000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t WS_VSCROLL = 0x00200000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_GROUP = 0x00020000;
inline constexpr uint32_t DS_3DLOOK = 0x0004;
inline constexpr uint32_t DS_SETFONT = 0x0040;
inline constexpr uint32_t DS_MODALFRAME = 0x0080;
inline constexpr uint32_t DS_SETFOREGROUND = 0x0200;
inline constexpr uint32_t DS_CENTER = 0x0800;
inline constexpr uint32_t BS_PUSHBUTTON = 0x0000;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr uint32_t BS_GROUPBOX = 0x0007;
inline constexpr uint32_t BS_AUTORADIOBUTTON = 0x0009;
inline constexpr uint32_t BS_LEFTTEXT = 0x0020;
inline constexpr uint32_t SS_LEFT = 0x0000;
inline constexpr uint32_t SS_CENTER = 0x0001;
inline constexpr uint32_t SS_RIGHT = 0x0002;
inline constexpr uint32_t SS_BITMAP = 0x000E;
inline constexpr uint32_t SS_REALSIZEIMAGE = 0x0800;
inline constexpr uint32_t SS_SUNKEN = 0x1000;
inline constexpr uint32_t LBS_NOTIFY = 0x0001;
inline constexpr uint32_t LBS_NOINTEGRALHEIGHT = 0x0100;
inline constexpr uint32_t TBS_AUTOTICKS = 0x0001;
inline constexpr uint32_t ES_MULTILINE = 0x0004;
inline constexpr uint32_t ES_AUTOVSCROLL = 0x0040;
inline constexpr uint32_t ES_READONLY = 0x0800;

// Notification codes in the high word of WM_COMMAND's wParam, and the trackbar's scroll code.
inline constexpr uint32_t BN_CLICKED = 0;
inline constexpr uint32_t LBN_SELCHANGE = 1;
inline constexpr uint32_t TB_THUMBPOSITION = 4;
inline constexpr int32_t IDCANCEL = 2;
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
// reach its dialog procedure through SendMessage, PostMessage and the host's loop, and
// DestroyWindow closes it. A dialog procedure returns 0 for the platform's default handling.
// Control handles come from GetDlgItem; every operation ignores a null or unknown control.
class DialogSystem {
 public:
  virtual ~DialogSystem() = default;

  // Creates the dialog hidden (ShowWindow shows it). The Windows backend takes the template
  // resource from instance; the others build the dialog from the table. userData is the
  // window's user data before the procedure sees its first message. Null on failure.
  virtual WindowHandle CreateDialog(InstanceHandle instance, const DialogTemplate& dialog,
                                    WindowHandle owner, WindowProcedure procedure,
                                    intptr_t userData) = 0;
  virtual WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) = 0;

  virtual void SetWindowText(WindowHandle control, const char* text) = 0;
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

// WM_COMMAND's wParam: the control id in the low word, the notification code in the high word.
inline constexpr uintptr_t CommandParam(int32_t id, uint32_t code) {
  return (static_cast<uintptr_t>(code & 0xFFFF) << 16) | (static_cast<uint32_t>(id) & 0xFFFF);
}

}  // namespace corvex::platform
