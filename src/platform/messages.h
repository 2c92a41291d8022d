#pragma once
#include <cstdint>

// Message numbers, virtual-key codes and flags, with the values Windows gives them, so every
// backend speaks the same numbers to the plug-in.
namespace corvex::platform {

inline constexpr uint32_t WM_CREATE = 1;
inline constexpr uint32_t WM_DESTROY = 2;
inline constexpr uint32_t WM_CLOSE = 16;
inline constexpr uint32_t WM_QUIT = 18;
inline constexpr uint32_t WM_ERASEBKGND = 20;
inline constexpr uint32_t WM_WINDOWPOSCHANGED = 71;
inline constexpr uint32_t WM_KEYDOWN = 256;
inline constexpr uint32_t WM_KEYUP = 257;
inline constexpr uint32_t WM_SYSKEYDOWN = 261;
inline constexpr uint32_t WM_INITDIALOG = 272;
inline constexpr uint32_t WM_COMMAND = 273;
inline constexpr uint32_t WM_HSCROLL = 276;
inline constexpr uint32_t WM_LBUTTONDOWN = 513;
inline constexpr uint32_t WM_USER = 1024;
// The plug-in's notification-icon callback message.
inline constexpr uint32_t WM_TRAYICON = WM_USER + 10;

inline constexpr uint32_t VK_TAB = 9;
inline constexpr uint32_t VK_RETURN = 13;
inline constexpr uint32_t VK_ESCAPE = 27;
inline constexpr uint32_t VK_SPACE = 32;
inline constexpr uint32_t VK_F1 = 112;
inline constexpr uint32_t VK_F2 = 113;
inline constexpr uint32_t VK_F3 = 114;
inline constexpr uint32_t VK_F4 = 115;
inline constexpr uint32_t VK_F5 = 116;
inline constexpr uint32_t VK_F6 = 117;
inline constexpr uint32_t VK_F7 = 118;
inline constexpr uint32_t VK_F8 = 119;
inline constexpr uint32_t VK_F9 = 120;
inline constexpr uint32_t VK_F10 = 121;
inline constexpr uint32_t VK_F11 = 122;
inline constexpr uint32_t VK_F12 = 123;

// Window styles, ShowWindow commands and SetWindowPos flags.
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr int32_t SW_HIDE = 0;
inline constexpr int32_t SW_SHOWNORMAL = 1;
inline constexpr int32_t SW_MINIMIZE = 6;
inline constexpr uint32_t SWP_NOSIZE = 0x0001;
inline constexpr uint32_t SWP_NOMOVE = 0x0002;
inline constexpr uint32_t SWP_NOZORDER = 0x0004;
inline constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
inline constexpr uint32_t SWP_HIDEWINDOW = 0x0080;

// Message boxes.
inline constexpr uint32_t MB_OK = 0;
inline constexpr int32_t IDOK = 1;

// Notification-area icon.
inline constexpr uint32_t NIM_ADD = 0;
inline constexpr uint32_t NIM_DELETE = 2;
inline constexpr uint32_t NIF_MESSAGE = 1;
inline constexpr uint32_t NIF_ICON = 2;

}  // namespace corvex::platform
