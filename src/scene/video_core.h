#pragma once
#include <cstddef>
#include <cstdint>

namespace corvex {

class TransformManager;

// The part of the Video that the frame step works on: the two pictures, the owner of the warp
// map, the message line, and the one question the frame step puts to the host window. The
// platform-bound Video derives from it, so the scene never includes a platform header or
// anything of the video layer above it.
class VideoCore {
 public:
  VideoCore();
  virtual ~VideoCore();
  VideoCore(const VideoCore&) = delete;
  VideoCore& operator=(const VideoCore&) = delete;

  // Sets the first width * height pixels of buffer to 0; the guard pixels are left alone.
  void ClearFrameBuffer(uint32_t* buffer) const;

  // Allocates both pictures, (height + 1) * width + 1 pixels each, for the current width and
  // height. The pictures are left for ClearFrameBuffer; the guard pixels start at 0.
  void AllocatePixelBuffers();
  void FreePixelBuffers();
  // Flip's first step: what was just drawn becomes what the next frame reads.
  void ExchangeBuffers();

  // Shows text for the next 80 frames; a text longer than 255 characters is cut to fit.
  void SetMessage(const char* text);

  // Sends the host window wm::User with wParam and lParam and returns its answer.
  virtual intptr_t AskHost(uintptr_t wParam, intptr_t lParam) = 0;

  static size_t PixelBufferLength(int32_t width, int32_t height) {
    return static_cast<size_t>(height + 1) * static_cast<size_t>(width) + 1;
  }

  int32_t height = 0;
  int32_t width = 0;
  uint32_t* previousFrame = nullptr;
  uint32_t* frameBuffer = nullptr;
  int32_t buffersAllocated = 0;
  char* messageText = nullptr;  // 256 bytes, owned
  int32_t messageFrames = 0;
  TransformManager* transformManager = nullptr;  // owned
};

}  // namespace corvex
