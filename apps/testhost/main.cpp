// testhost: plays a media player for a visualization plug-in. It loads the library named on
// the command line, runs it on a visualization thread of its own while its main window answers
// the plug-in's requests, and prints what happens, one line per event, for the Wine tests.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "host_options.h"
#include "player_window.h"
#include "plugin/vis_module.h"
#include "process_usage.h"
#include "vis_feed.h"
#include "vis_session.h"
#include "window_watcher.h"

namespace {

using testhost::HostOptions;

DWORD WINAPI RunSession(LPVOID session) {
  return static_cast<DWORD>(static_cast<testhost::VisSession*>(session)->Run());
}

// Runs the session on a visualization thread of its own and pumps the main thread, where the
// player's window lives, until that thread ends: the plug-in's SendMessage requests to the
// player are answered meanwhile. Returns Init's result.
int32_t RunOnVisualizationThread(testhost::VisSession& session) {
  HANDLE thread = CreateThread(nullptr, 0, &RunSession, &session, 0, nullptr);
  if (thread == nullptr) return 1;
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  DWORD initResult = 1;
  GetExitCodeThread(thread, &initResult);
  CloseHandle(thread);
  return static_cast<int32_t>(initResult);
}

int RunHost(const HostOptions& options) {
  HMODULE library = LoadLibraryA(options.library.c_str());
  if (library == nullptr) {
    std::printf("cannot load %s (error %lu)\n", options.library.c_str(), GetLastError());
    return 1;
  }
  using GetHeader = corvex::VisHeader* (*)();
  auto getHeader = reinterpret_cast<GetHeader>(
      reinterpret_cast<void*>(GetProcAddress(library, "winampVisGetHeader")));
  if (getHeader == nullptr) {
    std::printf("no winampVisGetHeader export\n");
    return 1;
  }
  corvex::VisHeader* header = getHeader();
  corvex::VisModule* module = header->getModule(0);
  std::printf("header version %d '%s'; module '%s'; second module %s\n", header->version,
              header->description, module ? module->description : "(none)",
              header->getModule(1) == nullptr ? "none" : "present");
  std::fflush(stdout);
  if (module == nullptr) return 1;

  testhost::VisFeed feed;
  if (!feed.Open(options.wavFile)) {
    std::printf("cannot read %s as 16-bit PCM WAV\n", options.wavFile.c_str());
    return 1;
  }
  testhost::PlayerState state;
  state.silent = options.silentHost;
  HWND player = testhost::CreatePlayerWindow(&state);
  testhost::WindowWatcher watcher(options.pressOk);

  if (options.configOnly || options.configBeforeInit) {
    module->hwndParent = player;
    module->hDllInstance = library;
    module->Config(module);
    std::printf("config returned\n");
    std::fflush(stdout);
    if (options.configOnly) return 0;
  }

  int status = 0;
  for (int32_t cycle = 0; cycle < options.cycles; ++cycle) {
    if (!IsWindow(player)) player = testhost::CreatePlayerWindow(&state);
    testhost::VisSession session(options, module, library, player, &state, feed);
    if (RunOnVisualizationThread(session) != 0) status = 1;
    if (options.reportUsage) testhost::PrintUsage(cycle, testhost::MeasureProcess());
  }
  if (IsWindow(player)) DestroyWindow(player);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  HostOptions options;
  if (!testhost::ParseOptions(argc, argv, &options)) return 2;
  const int status = RunHost(options);
  std::printf("host exits %d\n", status);
  return status;
}
