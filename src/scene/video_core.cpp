#include "scene/video_core.h"

#include <cstdlib>
#include <cstring>

#include "base/cut_text.h"
#include "transforms/transform_manager.h"

namespace corvex {

namespace {
constexpr size_t kTextBufferSize = 256;
}

VideoCore::VideoCore() : messageText(new char[kTextBufferSize]()) {}

VideoCore::~VideoCore() {
  FreePixelBuffers();
  delete transformManager;
  delete[] messageText;
}

void VideoCore::ClearFrameBuffer(uint32_t* buffer) const {
  if (buffer == nullptr || width <= 0 || height <= 0) return;
  std::memset(buffer, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
}

void VideoCore::AllocatePixelBuffers() {
  FreePixelBuffers();
  const size_t length = PixelBufferLength(width, height);
  previousFrame = static_cast<uint32_t*>(std::malloc(length * sizeof(uint32_t)));
  frameBuffer = static_cast<uint32_t*>(std::malloc(length * sizeof(uint32_t)));
  if (previousFrame == nullptr || frameBuffer == nullptr) {
    // Nothing sensible can be drawn without the pictures; treat it like any other fatal
    // allocation failure of the process.
    std::abort();
  }
  // The guard row and pixel start at 0: the first feedback pass after a display change reads
  // them (with weight 1 under sustain) before the frame step first clears the guard row.
  const size_t picture = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::memset(previousFrame + picture, 0, (length - picture) * sizeof(uint32_t));
  std::memset(frameBuffer + picture, 0, (length - picture) * sizeof(uint32_t));
  buffersAllocated = 1;
}

void VideoCore::FreePixelBuffers() {
  std::free(previousFrame);
  std::free(frameBuffer);
  previousFrame = nullptr;
  frameBuffer = nullptr;
  buffersAllocated = 0;
}

void VideoCore::ExchangeBuffers() {
  uint32_t* shown = frameBuffer;
  frameBuffer = previousFrame;
  previousFrame = shown;
}

void VideoCore::SetMessage(const char* text) {
  CopyTextCut(text, messageText, kTextBufferSize);
  messageFrames = 80;
}

}  // namespace corvex
