#include "host_options.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace testhost {

namespace {

struct KeyName {
  const char* name;
  uint32_t virtualKey;
  bool alt;
};

constexpr KeyName kKeys[] = {
    {"tab", VK_TAB, false},   {"esc", VK_ESCAPE, false}, {"space", VK_SPACE, false},
    {"f1", VK_F1, false},     {"f2", VK_F2, false},      {"f3", VK_F3, false},
    {"f4", VK_F4, false},     {"f5", VK_F5, false},      {"f6", VK_F6, false},
    {"f7", VK_F7, false},     {"f8", VK_F8, false},      {"f9", VK_F9, false},
    {"f12", VK_F12, false},   {"x", 'X', false},         {"alt+enter", VK_RETURN, true},
};

// "FRAME:NAME", for example 120:alt+enter.
bool ParseKey(const char* text, ScriptedKey* key) {
  const char* colon = std::strchr(text, ':');
  if (colon == nullptr) return false;
  key->frame = std::atoi(text);
  for (const KeyName& known : kKeys) {
    if (std::strcmp(colon + 1, known.name) == 0) {
      key->virtualKey = known.virtualKey;
      key->alt = known.alt;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseOptions(int argc, char** argv, HostOptions* options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    auto takeInt = [&](int32_t* out) {
      if (value == nullptr) return false;
      *out = std::atoi(value);
      ++i;
      return true;
    };
    bool ok = true;
    if (std::strcmp(arg, "--frames") == 0) ok = takeInt(&options->frames);
    else if (std::strcmp(arg, "--cycles") == 0) ok = takeInt(&options->cycles);
    else if (std::strcmp(arg, "--destroy-host-at") == 0) ok = takeInt(&options->destroyHostAtFrame);
    else if (std::strcmp(arg, "--quit-at") == 0) ok = takeInt(&options->quitAtFrame);
    else if (std::strcmp(arg, "--close-plugin-at") == 0) ok = takeInt(&options->closePluginAtFrame);
    else if (std::strcmp(arg, "--ignore-quit") == 0) options->ignoreQuit = true;
    else if (std::strcmp(arg, "--wav") == 0 && value != nullptr) options->wavFile = argv[++i];
    else if (std::strcmp(arg, "--key") == 0 && value != nullptr) {
      ScriptedKey key;
      ok = ParseKey(argv[++i], &key);
      options->keys.push_back(key);
    }
    else if (std::strcmp(arg, "--config-only") == 0) options->configOnly = true;
    else if (std::strcmp(arg, "--config-first") == 0) options->configBeforeInit = true;
    else if (std::strcmp(arg, "--render-thread") == 0) options->renderOnOtherThread = true;
    else if (std::strcmp(arg, "--silent-host") == 0) options->silentHost = true;
    else if (std::strcmp(arg, "--press-ok") == 0) options->pressOk = true;
    else if (std::strcmp(arg, "--usage") == 0) options->reportUsage = true;
    else if (arg[0] != '-' && options->library.empty()) options->library = arg;
    else ok = false;
    if (!ok) {
      std::fprintf(stderr, "testhost: cannot use '%s'\n", arg);
      return false;
    }
  }
  if (options->library.empty()) {
    std::fprintf(stderr,
                 "usage: testhost PLUGIN.dll [--frames N] [--cycles N] [--wav FILE] "
                 "[--key FRAME:NAME]... [--quit-at N] [--config-only] [--config-first] "
                 "[--render-thread] [--silent-host] [--destroy-host-at N] [--close-plugin-at N] "
                 "[--ignore-quit] [--press-ok] "
                 "[--usage]\n");
    return false;
  }
  return true;
}

}  // namespace testhost
