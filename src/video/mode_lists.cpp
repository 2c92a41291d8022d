#include <algorithm>
#include <limits>

#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "video/video.h"

namespace corvex {

using namespace platform;

namespace {
// The storing pass's next free entry, and the list AddMode's previous call was for.
int32_t nextModeIndex = 0;
int32_t previousModeList = -1;
}  // namespace

void Video::GetTotalVideoMemory() {
  SurfaceDescription mode;
  mode.size = kSurfaceDescriptionSize;
  Check(directDraw->GetDisplayMode(&mode),
        "Video::GetTotalVideoMemory(), failed to retrive primary surface properties");
  const int64_t factor = MemoryFactor(static_cast<int32_t>(mode.pixelFormat.rgbBitCount));
  SurfaceCaps anySurface;
  uint32_t total = 0;
  lastResult = directDraw->GetAvailableVidMem(&anySurface, &total, nullptr);  // not examined
  const int64_t desktop = factor * mode.width * mode.height;
  constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
  availableVideoMemory = static_cast<int32_t>(std::min<int64_t>(total, kLargest));
  totalVideoMemory = static_cast<int32_t>(std::min<int64_t>(total + desktop, kLargest));
}

void Video::EnumerateModes() {
  FreeModeLists();
  previousModeList = -1;  // an enumeration cut short earlier leaves no index behind
  for (int32_t m = 0; m < kDisplayModeCount; ++m) {
    EnumModesContext context{1, m, this};
    Check(directDraw->EnumDisplayModes(0, nullptr, &context, &AddMode),
          "Error counting display modes");
    modeList[m] = new SurfaceDescription[static_cast<size_t>(modeCount[m])];
    modeNames[m] = new char*[static_cast<size_t>(modeCount[m])];
    for (int32_t i = 0; i < modeCount[m]; ++i) modeNames[m][i] = new char[kModeNameSize]();
    context.counting = 0;
    Check(directDraw->EnumDisplayModes(0, nullptr, &context, &AddMode),
          "Error enumerating display modes");
  }
  if (modeCount[kFullScreen] == 0 && modeCount[kWindowed] == 0 && modeCount[kBackground] == 0) {
    Fail("No compatible video modes available");
  }
}

Result CORVEX_CALLBACK Video::AddMode(const SurfaceDescription* description, void* pointer) {
  const auto& context = *static_cast<const EnumModesContext*>(pointer);
  const int32_t m = context.displayMode;
  if (m != previousModeList) nextModeIndex = 0;
  previousModeList = m;
  const auto modeWidth = static_cast<int32_t>(description->width);
  const auto modeHeight = static_cast<int32_t>(description->height);
  const auto bitsPerPixel = static_cast<int32_t>(description->pixelFormat.rgbBitCount);
  Video& video = *context.video;
  if (!ModeIsOffered(m, modeWidth, modeHeight, bitsPerPixel, video.totalVideoMemory,
                     video.availableVideoMemory)) {
    return ddenumret::Ok;
  }
  if (context.counting != 0) {
    ++video.modeCount[m];
    return ddenumret::Ok;
  }
  // A device that reports more modes the second time has no room for them.
  if (nextModeIndex >= video.modeCount[m]) return ddenumret::Ok;
  video.modeList[m][nextModeIndex] = *description;
  FormatModeName(modeWidth, modeHeight, bitsPerPixel, video.modeNames[m][nextModeIndex]);
  ++nextModeIndex;
  return ddenumret::Ok;
}

void Video::FreeModeLists() {
  for (int32_t m = 0; m < kDisplayModeCount; ++m) {
    if (modeNames[m] != nullptr) {
      for (int32_t i = 0; i < modeCount[m]; ++i) delete[] modeNames[m][i];
    }
    delete[] modeNames[m];
    delete[] modeList[m];
    modeNames[m] = nullptr;
    modeList[m] = nullptr;
    modeCount[m] = 0;
  }
}

}  // namespace corvex
