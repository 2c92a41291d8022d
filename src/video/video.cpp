#include "video/video.h"

#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "transforms/transform_manager.h"

namespace corvex {

Video::Video(platform::Backend& platformBackend) : backend(platformBackend) {
  transformManager = new TransformManager();
  transformChoice = transformManager->AllTransformsMask();
}

Video::~Video() {
  if (window != nullptr) {
    backend.Windows().DestroyWindow(window);
    backend.Windows().UnregisterClass(title, hostInstance ? *hostInstance : nullptr);
  }
}

bool Video::HasDirectDraw6() { return true; }

void Video::Create(const char* windowTitle, platform::WindowProcedure procedure,
                   platform::WindowHandle& hostWindowField,
                   platform::InstanceHandle& hostInstanceField, int32_t& hostDelayField) {
  title = windowTitle;
  hostWindow = &hostWindowField;
  hostInstance = &hostInstanceField;
  hostDelay = &hostDelayField;
  platform::WindowSystem& windows = backend.Windows();
  windows.RegisterClass(title, procedure, *hostInstance);
  width = 320;
  height = 240;
  window = windows.CreateWindow(title, title, platform::WS_VISIBLE, windowX, windowY, width,
                                height, *hostWindow, *hostInstance);
  ChangeRes();
}

void Video::ChangeRes() {
  FreePixelBuffers();
  AllocatePixelBuffers();
  ClearFrameBuffer(previousFrame);
  ClearFrameBuffer(frameBuffer);
  if (transformsBuilt != 0) {
    transformChoice = transformManager->TransformMask();
    delete transformManager;
    transformManager = new TransformManager();
  }
  transformManager->SetTransformMask(transformChoice);
  transformManager->AllocateMap(width, height);
  transformManager->BuildMap();
  transformsBuilt = 1;
}

void Video::Flip() {
  ExchangeBuffers();
  if (hostDelay != nullptr) *hostDelay = 0;
}

intptr_t Video::AskHost(uintptr_t wParam, intptr_t lParam) {
  return backend.Windows().SendMessage(hostWindow ? *hostWindow : nullptr, platform::WM_USER,
                                       wParam, lParam);
}

}  // namespace corvex
