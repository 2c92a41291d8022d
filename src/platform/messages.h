#pragma once
#include <cstdint>

// Message numbers, virtual-key codes and flags, with the values Windows gives them, so every
// backend speaks the same numbers to the plug-in. Each family has its own namespace named after
// the system's prefix (wm::KeyDown is WM_KEYDOWN), so these live beside <windows.h>, whose
// names are macros.
namespace corvex::platform {

namespace wm {
inline constexpr uint32_t Create = 1;
inline constexpr uint32_t Destroy = 2;
inline constexpr uint32_t Close = 16;
inline constexpr uint32_t Quit = 18;
inline constexpr uint32_t EraseBkgnd = 20;
inline constexpr uint32_t WindowPosChanged = 71;
inline constexpr uint32_t KeyDown = 256;
inline constexpr uint32_t KeyUp = 257;
// The system-key message the plug-in answers and passes on is number 261, as it always has
// been. Windows names 261 WM_SYSKEYUP (its WM_SYSKEYDOWN is 260), so on Windows Alt+Enter and
// Alt+F4 act when the key is released.
inline constexpr uint32_t SysKeyDown = 261;
inline constexpr uint32_t InitDialog = 272;
inline constexpr uint32_t Command = 273;
inline constexpr uint32_t HScroll = 276;
inline constexpr uint32_t LButtonDown = 513;
inline constexpr uint32_t User = 1024;
// The plug-in's notification-icon callback message.
inline constexpr uint32_t TrayIcon = User + 10;
}  // namespace wm

namespace vk {
inline constexpr uint32_t Tab = 9;
inline constexpr uint32_t Return = 13;
inline constexpr uint32_t Escape = 27;
inline constexpr uint32_t Space = 32;
inline constexpr uint32_t F1 = 112;
inline constexpr uint32_t F2 = 113;
inline constexpr uint32_t F3 = 114;
inline constexpr uint32_t F4 = 115;
inline constexpr uint32_t F5 = 116;
inline constexpr uint32_t F6 = 117;
inline constexpr uint32_t F7 = 118;
inline constexpr uint32_t F8 = 119;
inline constexpr uint32_t F9 = 120;
inline constexpr uint32_t F10 = 121;
inline constexpr uint32_t F11 = 122;
inline constexpr uint32_t F12 = 123;
}  // namespace vk

// Window styles (the dialog styles are in dialog_system.h), ShowWindow commands and
// SetWindowPos flags.
namespace ws {
inline constexpr uint32_t Popup = 0x80000000;
inline constexpr uint32_t Visible = 0x10000000;
inline constexpr uint32_t Caption = 0x00C00000;
inline constexpr uint32_t Border = 0x00800000;
inline constexpr uint32_t VScroll = 0x00200000;
inline constexpr uint32_t SysMenu = 0x00080000;
inline constexpr uint32_t Group = 0x00020000;
}  // namespace ws

namespace sw {
inline constexpr int32_t Hide = 0;
inline constexpr int32_t ShowNormal = 1;
inline constexpr int32_t Minimize = 6;
}  // namespace sw

namespace swp {
inline constexpr uint32_t NoSize = 0x0001;
inline constexpr uint32_t NoMove = 0x0002;
inline constexpr uint32_t NoZOrder = 0x0004;
inline constexpr uint32_t ShowWindow = 0x0040;
inline constexpr uint32_t HideWindow = 0x0080;
}  // namespace swp

// Message boxes and the button that closed one (or a dialog).
namespace mb {
inline constexpr uint32_t Ok = 0;
}  // namespace mb

namespace id {
inline constexpr int32_t Ok = 1;
inline constexpr int32_t Cancel = 2;
}  // namespace id

// Notification-area icon: actions and the record's valid fields.
namespace nim {
inline constexpr uint32_t Add = 0;
inline constexpr uint32_t Delete = 2;
}  // namespace nim

namespace nif {
inline constexpr uint32_t Message = 1;
inline constexpr uint32_t Icon = 2;
}  // namespace nif

}  // namespace corvex::platform
