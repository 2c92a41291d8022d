#include "video_fixture.h"

#include "platform/messages.h"

namespace corvex::testing {

namespace {
Video* followedVideo = nullptr;

intptr_t CORVEX_CALLBACK FollowingProcedure(platform::WindowHandle, uint32_t message, uintptr_t,
                                            intptr_t lParam) {
  if (message == platform::WM_WINDOWPOSCHANGED && followedVideo != nullptr &&
      followedVideo->displayMode == kWindowed) {
    const auto* position = reinterpret_cast<const platform::WindowPosition*>(lParam);
    followedVideo->windowX = position->x;
    followedVideo->windowY = position->y;
  }
  return 0;
}
}  // namespace

VideoTest::VideoTest() : hostWindow(host.handle()) {
  // Small pictures keep the suites quick; the 480-line entries are there for the defaults.
  display().modes = {StandardMode(320, 240, 16), StandardMode(320, 240, 32),
                     StandardMode(640, 480, 16), StandardMode(640, 480, 32)};
  display().desktop = StandardMode(800, 600, 32);
  display().videoMemory = 8u << 20;
}

VideoTest::~VideoTest() {
  // Injections a test left unused must not strike the destructor.
  display().failures.Clear();
  windows().failures.Clear();
  graphics().failures.Clear();
  video.reset();
  followedVideo = nullptr;
}

Video& VideoTest::Start(int32_t displayMode, int32_t resolution) {
  video = std::make_unique<Video>(backend);
  followedVideo = video.get();
  EXPECT_TRUE(video->HasDirectDraw6());
  video->requestedDisplayMode = displayMode;
  video->requestedResolutionMode = resolution;
  video->Create("Corvex v1.07", &FollowingProcedure, hostWindow, hostInstance, delayMs);
  return *video;
}

void VideoTest::Switch(int32_t displayMode, int32_t resolution) {
  video->requestedDisplayMode = displayMode;
  video->requestedResolutionMode = resolution;
  video->ChangeRes();
}

uint32_t VideoTest::PatternAt(int32_t x, int32_t y) {
  return static_cast<uint32_t>((x * 7) & 255) << 16 | static_cast<uint32_t>((y * 5) & 255) << 8 |
         static_cast<uint32_t>((x + y) & 255);
}

void VideoTest::FillPicture() {
  for (int32_t y = 0; y < video->height; ++y) {
    for (int32_t x = 0; x < video->width; ++x) {
      video->frameBuffer[y * video->width + x] = PatternAt(x, y);
    }
  }
}

void VideoTest::Frame() {
  FillPicture();
  video->Compose();
  video->ShowInfo();
  video->ShowMessage();
  video->Flip();
}

std::string VideoTest::ExitText(const std::function<void()>& action) {
  const size_t boxes = windows().messageBoxes.size();
  try {
    action();
    ADD_FAILURE() << "the process did not end";
    return {};
  } catch (const platform::headless::ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  if (windows().messageBoxes.size() != boxes + 1) {
    ADD_FAILURE() << "expected exactly one box, got " << windows().messageBoxes.size() - boxes;
    return {};
  }
  const platform::headless::MessageBoxRecord& box = windows().messageBoxes.back();
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.type, 0u);
  EXPECT_EQ(windows().exits.back(), 0);
  return box.text;
}

}  // namespace corvex::testing
