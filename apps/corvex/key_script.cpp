#include "key_script.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "host_error.h"
#include "platform/messages.h"

namespace corvex::host {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

[[noreturn]] void Fail(const std::string& entry, const std::string& problem) {
  throw HostError(ExitStatus::kUsage, "--keys: \"" + entry + "\": " + problem);
}

}  // namespace

uint32_t VirtualKeyOf(const std::string& name) {
  const std::string key = Lower(name);
  if (key == "space") return platform::vk::Space;
  if (key == "tab") return platform::vk::Tab;
  if (key == "esc" || key == "escape") return platform::vk::Escape;
  if (key == "enter" || key == "return") return platform::vk::Return;
  if (key.size() >= 2 && key.size() <= 3 && key[0] == 'f' &&
      std::all_of(key.begin() + 1, key.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    const int number = std::stoi(key.substr(1));
    if (number >= 1 && number <= 12) return platform::vk::F1 + static_cast<uint32_t>(number - 1);
    return 0;
  }
  if (key.size() == 1 && std::isalpha(static_cast<unsigned char>(key[0]))) {
    return static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(key[0])));
  }
  if (key.size() == 1 && std::isdigit(static_cast<unsigned char>(key[0]))) {
    return static_cast<uint32_t>(key[0]);
  }
  return 0;
}

std::vector<ScriptedKey> ParseKeyScript(const std::string& script) {
  std::vector<ScriptedKey> keys;
  std::stringstream entries(script);
  std::string entry;
  while (std::getline(entries, entry, ',')) {
    entry = Trim(entry);
    if (entry.empty()) continue;
    const size_t colon = entry.find(':');
    if (colon == std::string::npos) Fail(entry, "expected TIME:KEY, e.g. 12.5:F5");
    const std::string time = Trim(entry.substr(0, colon));
    std::string name = Trim(entry.substr(colon + 1));

    double seconds = 0.0;
    size_t used = 0;
    try {
      seconds = std::stod(time, &used);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used == 0 || used != time.size() || !std::isfinite(seconds) || seconds < 0.0) {
      Fail(entry, "the time must be a number of seconds, 0 or more");
    }

    uint32_t message = platform::wm::KeyDown;
    std::string keyName = name;
    if (Lower(name).rfind("alt+", 0) == 0) {
      message = platform::wm::SysKeyDown;
      keyName = Trim(name.substr(4));
    }
    const uint32_t virtualKey = VirtualKeyOf(keyName);
    if (virtualKey == 0) {
      Fail(entry, "unknown key \"" + name + "\" (keys: F1..F12, Space, Tab, Esc, Enter, A..Z, 0..9, Alt+KEY)");
    }
    keys.push_back(ScriptedKey{seconds, name, message, virtualKey});
  }
  std::stable_sort(keys.begin(), keys.end(),
                   [](const ScriptedKey& a, const ScriptedKey& b) { return a.seconds < b.seconds; });
  return keys;
}

}  // namespace corvex::host
