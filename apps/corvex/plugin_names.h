#pragma once
#include <cstdint>
#include <string>

namespace corvex::host {

// The renderer and transform slots with the names the plug-in gives them.
std::string SlotListing();

// The slot of a renderer or transform given by name (case-insensitive) or by slot number.
// Throws HostError (usage) for a name that is none of them.
int32_t RendererSlot(const std::string& nameOrSlot);
int32_t TransformSlot(const std::string& nameOrSlot);

}  // namespace corvex::host
