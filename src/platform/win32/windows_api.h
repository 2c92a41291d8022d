#pragma once
// The system headers of the Windows backend, included by its .cpp files only and always after
// the platform interface's headers. Every call below names the system function with its
// explicit A suffix, so none of the system's generic-name macros is needed; they are taken
// away here, in this one place, because the interface uses the same words for its own
// operations.
#include <windows.h>
#include <commctrl.h>
#include <ddraw.h>
#include <mmsystem.h>
#include <shellapi.h>

#undef CreateDialog
#undef CreateFont
#undef CreateWindow
#undef DefWindowProc
#undef DispatchMessage
#undef GetModuleFileName
#undef GetPrivateProfileInt
#undef LoadIcon
#undef MessageBox
#undef PeekMessage
#undef PostMessage
#undef RegisterClass
#undef SendMessage
#undef SetWindowText
#undef TextOut
#undef UnregisterClass
#undef WritePrivateProfileString
