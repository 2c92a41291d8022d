#include "plugin_names.h"

#include <cctype>
#include <cstdio>

#include "host_error.h"
#include "renderers/renderer_table.h"
#include "transforms/transform_manager.h"

namespace corvex::host {

namespace {

bool SameName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return i == a.size() && b[i] == '\0';
}

template <typename NameOf>
int32_t FindSlot(const std::string& text, int32_t count, NameOf nameOf, const char* kind) {
  for (int32_t slot = 0; slot < count; ++slot) {
    if (SameName(text, nameOf(slot))) return slot;
  }
  if (!text.empty() && text.size() <= 2 &&
      std::isdigit(static_cast<unsigned char>(text[0])) &&
      std::isdigit(static_cast<unsigned char>(text.back()))) {
    const int32_t slot = std::stoi(text);
    if (slot < count) return slot;
  }
  throw HostError(ExitStatus::kUsage, std::string("no ") + kind + " named \"" + text +
                                          "\" (corvex --list shows them)");
}

}  // namespace

std::string SlotListing() {
  std::string text = "Renderers (slot, name):\n";
  char line[128];
  for (int32_t slot = 0; slot < kRendererCount; ++slot) {
    std::snprintf(line, sizeof line, "  %2d  %s\n", slot, kRendererSlots[slot].name);
    text += line;
  }
  text += "Transforms (slot, name):\n";
  for (int32_t slot = 0; slot < kTransformCount; ++slot) {
    std::snprintf(line, sizeof line, "  %2d  %s\n", slot, kTransformNames[slot]);
    text += line;
  }
  return text;
}

int32_t RendererSlot(const std::string& nameOrSlot) {
  return FindSlot(nameOrSlot, kRendererCount,
                  [](int32_t slot) { return kRendererSlots[slot].name; }, "renderer");
}

int32_t TransformSlot(const std::string& nameOrSlot) {
  return FindSlot(nameOrSlot, kTransformCount,
                  [](int32_t slot) { return kTransformNames[slot]; }, "transform");
}

}  // namespace corvex::host
