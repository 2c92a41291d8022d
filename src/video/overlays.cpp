#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/process_objects.h"
#include "platform/backend.h"
#include "platform/text.h"
#include "platform/window_system.h"
#include "scene/scene_manager.h"
#include "video/error_reporting.h"
#include "video/portable/overlay_text.h"
#include "video/video.h"

namespace corvex {

using namespace platform;

namespace {
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr const char* kReleaseFailure =
    "Video::Render, Error releasing compose buffer device context";
}  // namespace

void DrawShadowText(DeviceContext& context, int32_t x, int32_t y, const char* text,
                    int32_t length) {
  context.SetTextColor(kBlack);
  context.TextOutAt(x + 1, y + 1, text, length);
  context.SetTextColor(kWhite);
  context.TextOutAt(x, y, text, length);
}

DeviceContext* Video::OpenComposeContext(const char* failure) {
  if (composeSurface == nullptr) return nullptr;
  DeviceContext* context = nullptr;
  if (!Check(composeSurface->GetDC(&context), failure)) return nullptr;
  return context;
}

void Video::CloseComposeContext(DeviceContext* context, FontHandle previousFont) {
  context->SelectObject(previousFont);
  Check(composeSurface->ReleaseDC(context), kReleaseFailure);
}

void Video::ShowInfo() {
  if (IsYuvFormat(composeFormat) || showInfo == 0) return;
  if (infoFrameCount == 0) {
    // The first frame only starts the clock: a rate needs an interval.
    infoStartTime = Windows().Milliseconds();
    infoFrameCount = 1;
    return;
  }
  DeviceContext* context =
      OpenComposeContext("Video::ShowInfo, Error getting compose device context");
  if (context == nullptr) return;
  context->SetBkMode(bk::Transparent);
  context->SetTextColor(kWhite);
  const FontHandle previousFont = context->SelectObject(font);
  infoNow = Windows().Milliseconds();
  DrawInfoLines(*context);
  CloseComposeContext(context, previousFont);
  ++infoFrameCount;
}

void Video::DrawInfoLines(DeviceContext& context) {
  const SceneManager* scene = theSceneManager;
  const InfoValues values{infoFrameCount, infoStartTime, infoNow,      width,
                          height,         screenWidth,   screenHeight, displayDepth,
                          scene ? scene->songTitle : "", scene ? scene->songPosition : 0};
  char lines[kInfoLineCount][kInfoLineSize];
  FormatInfoLines(values, lines);
  for (int32_t i = 0; i < kInfoLineCount; ++i) {
    DrawShadowText(context, kInfoX, kInfoFirstY + i * kInfoLineStep, lines[i],
                   static_cast<int32_t>(std::strlen(lines[i])));
  }
}

void Video::ShowMessage() {
  if (IsYuvFormat(composeFormat) || messageFrames <= 0) return;
  --messageFrames;
  DeviceContext* context =
      OpenComposeContext("Video::ShowMessage, Error getting compose device context");
  if (context == nullptr) return;
  const FontHandle previousFont = context->SelectObject(font);
  context->SetBkMode(bk::Transparent);
  char measured[256];
  const int printed = std::snprintf(measured, sizeof measured, "%s", messageText);
  const int32_t length = printed < 0 ? 0 : std::min<int32_t>(printed, sizeof measured - 1);
  DrawShadowText(*context, kMessageX, height - kMessageRise, messageText, length);
  CloseComposeContext(context, previousFont);
}

}  // namespace corvex
