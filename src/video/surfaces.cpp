#include <cstdio>
#include <utility>

#include "platform/direct_draw_results.h"
#include "platform/display_flags.h"
#include "video/error_reporting.h"
#include "video/video.h"

namespace corvex {

using namespace platform;

namespace {

constexpr uint32_t kVideoMemory = ddscaps::VideoMemory | ddscaps::LocalVidMem;

SurfaceDescription EmptyDescription() {
  SurfaceDescription description;
  description.size = kSurfaceDescriptionSize;
  return description;
}

// Our own reference to a clipper, dropped however the surface set-up ends.
struct ClipperReference {
  Clipper* clipper = nullptr;
  ~ClipperReference() {
    if (clipper != nullptr) clipper->Release();
  }
};

}  // namespace

Result Video::CreateSurface(SurfaceDescription& description, Surface** surface) {
  *surface = nullptr;
  lastResult = directDraw->CreateSurface(&description, surface);
  return lastResult;
}

void Video::AllocateSurfaces() {
  primaryDesc = EmptyDescription();
  overlayDesc = EmptyDescription();
  composeDesc = EmptyDescription();
  if (displayDepth == 32) {
    composeFormat = ComposeFormat::Rgb32;
  } else if (displayDepth == 24) {
    composeFormat = ComposeFormat::Rgb24;
  } else if (displayDepth == 16) {
    composeFormat = CountBits(greenMask) == 5 ? ComposeFormat::Rgb555 : ComposeFormat::Rgb565;
  } else {
    // No conversion writes any other depth (a palettized desktop, say): say so rather than
    // show the picture in a format the display does not have.
    char text[kModeNameSize * 2];
    std::snprintf(text, sizeof text,
                  "Video::AllocateSurfaces, Unsupported display depth of %d bits per pixel "
                  "(16, 24 or 32 needed)",
                  displayDepth);
    return Fail(text);
  }

  primaryDesc.flags = ddsd::Caps;
  primaryDesc.caps.caps = ddscaps::PrimarySurface | kVideoMemory;
  if (displayMode == kFullScreen) {
    if (Check(CreateSurface(primaryDesc, &primarySurface), "Error creating desktop surface")) {
      primaryAllocated = 1;
    }
  } else if (displayMode == kWindowed) {
    if (Check(CreateSurface(primaryDesc, &primarySurface),
              "Video::AllocateSurfaces, Error creating desktop surface")) {
      primaryAllocated = 1;
    }
    ClipperReference own;
    if (Check(directDraw->CreateClipper(0, &own.clipper),
              "Error creating directdraw clipper object")) {
      Check(own.clipper->SetHWnd(0, window), "Error associating directdraw clipper with window");
      if (primarySurface != nullptr) {
        Check(primarySurface->SetClipper(own.clipper),
              "Error associating directdraw clipper with primary surface");
      }
    }
  } else {
    primaryDesc.caps.caps = ddscaps::PrimarySurface;
    if (Check(CreateSurface(primaryDesc, &primarySurface),
              "Video::AllocateSurfaces, Error creating desktop surface")) {
      primaryAllocated = 1;
      lastResult = primarySurface->SetColorKey(ddckey::DestOverlay, colorKey);  // not examined
    }
    CreateOverlay();
  }
  CreateComposeSurface();
  AllocatePixelBuffers();
}

void Video::CreateOverlay() {
  overlayDesc.flags = ddsd::Caps | ddsd::Height | ddsd::Width;
  overlayDesc.height = static_cast<uint32_t>(height);
  overlayDesc.width = static_cast<uint32_t>(width);
  overlayDesc.caps.caps = ddscaps::Overlay | kVideoMemory;
  if (CreateSurface(overlayDesc, &overlaySurface) >= 0) {
    overlayAllocated = 1;
    return;
  }
  overlayDesc.flags |= ddsd::PixelFormat;
  overlayDesc.pixelFormat.size = kPixelFormatSize;
  overlayDesc.pixelFormat.flags = ddpf::FourCC;
  for (const auto& [fourCC, format] : {std::pair{fourcc::Uyvy, ComposeFormat::Uyvy},
                                       std::pair{fourcc::Yuy2, ComposeFormat::Yuy2}}) {
    overlayDesc.pixelFormat.fourCC = fourCC;
    if (CreateSurface(overlayDesc, &overlaySurface) >= 0) {
      overlayAllocated = 1;
      composeFormat = format;
      return;
    }
  }
  Check(lastResult, "Your hardware doesn't support RGB nor YUV overlays.  See FAQ");
}

void Video::CreateComposeSurface() {
  if (IsYuvFormat(composeFormat)) {
    // The conversion writes the overlay itself; nothing of its own to release.
    composeSurface = overlaySurface;
    composeAllocated = 0;
    return;
  }
  composeDesc.flags = ddsd::Caps | ddsd::Height | ddsd::Width;
  composeDesc.height = static_cast<uint32_t>(height);
  composeDesc.width = static_cast<uint32_t>(width + 1);  // the spare column is never shown
  composeDesc.caps.caps = ddscaps::SystemMemory;
  if (Check(CreateSurface(composeDesc, &composeSurface),
            "Error creating system memory compose surface")) {
    composeAllocated = 1;
  }
}

void Video::ReleaseSurface(Surface*& surface, int32_t& allocated) {
  if (allocated == 0) return;
  surface->Release();
  surface = nullptr;
  allocated = 0;
}

void Video::FreeSurfaces() {
  ReleaseSurface(primarySurface, primaryAllocated);
  ReleaseSurface(overlaySurface, overlayAllocated);
  ReleaseSurface(composeSurface, composeAllocated);
  composeSurface = nullptr;  // it may have borrowed the overlay
  if (buffersAllocated != 0) FreePixelBuffers();
}

void Video::RestoreSurface(Surface* surface, int32_t allocated, const char* text) {
  if (allocated == 0 || surface == nullptr) return;
  lastResult = surface->IsLost();
  if (lastResult == dderr::SurfaceLost) Check(surface->Restore(), text);
}

void Video::RestoreSurfaces() {
  RestoreSurface(composeSurface, composeAllocated,
                 "Video::RestoreSurfaces, Error restoring compose buffer");
  RestoreSurface(primarySurface, primaryAllocated,
                 "Video::RestoreSurfaces, Error restoring front desktop buffer");
  RestoreSurface(overlaySurface, overlayAllocated,
                 "Video::RestoreSurfaces, Error restoring back desktop buffer");
}

}  // namespace corvex
