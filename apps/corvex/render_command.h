#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "render_options.h"

namespace corvex::host {

struct FrameSize {
  int32_t width;
  int32_t height;
};

// Sizes the display offers a render.
inline constexpr int32_t kMinSide = 64;
inline constexpr int32_t kMaxWidth = 7680;
inline constexpr int32_t kMaxHeight = 4320;

// "WxH" within the sizes the display offers. Throws HostError (usage) naming the problem.
FrameSize ParseFrameSize(const std::string& text);

// The whole render: check the options, open the playlist, stage the settings, render through
// the plug-in into the sink, and finish the output. Progress and notes go to `messages` (null:
// quiet). Throws HostError for every problem a user can cause.
void RunRender(const RenderOptions& options, FILE* messages);

}  // namespace corvex::host
