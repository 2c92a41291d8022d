// The Windows library's entry point. Loading the plug-in does no work of its own: the host
// drives everything through winampVisGetHeader. Thread notifications are switched off because
// nothing here needs them and the host's threads then cost the library nothing.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
