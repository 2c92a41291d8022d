#pragma once
// The system headers of the Windows backend, for its .cpp files only. The platform interface
// names nothing the system's headers define as macros, so the two live together as they are.
#include <windows.h>
#include <commctrl.h>
#include <ddraw.h>
#include <mmsystem.h>
#include <shellapi.h>
