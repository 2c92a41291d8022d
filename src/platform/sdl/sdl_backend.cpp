#include "platform/sdl/sdl_backend.h"

#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

#include <algorithm>
#include <cstring>

#include "platform/display_flags.h"
#include "platform/messages.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_modes.h"

namespace corvex::platform::sdl {

namespace {

// Surfaces are plain memory here; the figure only has to let every offered mode through the
// plug-in's memory filter.
constexpr uint32_t kVideoMemory = 1024u * 1024u * 1024u;

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

SdlBackend::SdlBackend(const char* windowTitle)
    : store(*this),
      profiles(store.failures),
      dialogs(*this, store),
      display(store, graphics),
      windows_(store, *this) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw NoDisplay(SDL_GetError());
  // Without a display SDL falls back to drawing off screen, where nobody would see the
  // picture; that is only wanted when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
      (asked == nullptr || std::strcmp(asked, driver) != 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    throw NoDisplay("no X11 or Wayland display could be opened");
  }
  const Size desktop = DesktopSize();
  display.modes = OfferedModes(desktop, MonitorModes());
  display.desktop = headless::StandardMode(desktop.width, desktop.height, 32);
  display.videoMemory = kVideoMemory;
  display.overlaySupport = headless::OverlaySupport::None;

  window_ = SDL_CreateWindow(windowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640,
                             480, SDL_WINDOW_HIDDEN);
  if (window_ != nullptr) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (window_ != nullptr && renderer_ == nullptr) {
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  }
  if (window_ != nullptr) windowWatch_ = std::make_unique<X11WindowWatch>(window_);
  if (renderer_ == nullptr) {
    const std::string reason = SDL_GetError();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    windowWatch_.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    throw NoDisplay(reason);
  }
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGui::GetIO().IniFilename = nullptr;  // dialogs open where they always open
  ImGui::StyleColorsClassic();
  // The dialogs are laid out for an 8-point proportional font: Liberation Sans at 12.5 pixels
  // fits their controls, with little padding around each.
  if (ImGui::GetIO().Fonts->AddFontFromFileTTF(CORVEX_FONT_FILE, 12.5f) == nullptr) {
    ImGui::GetIO().Fonts->AddFontDefault();
  }
  ImGuiStyle& style = ImGui::GetStyle();
  style.FramePadding = ImVec2(3.0f, 1.0f);
  style.ItemSpacing = ImVec2(4.0f, 2.0f);
  style.ItemInnerSpacing = ImVec2(3.0f, 2.0f);
  ImGui_ImplSDL2_InitForSDLRenderer(window_);
  ImGui_ImplSDLRenderer_Init(renderer_);
}

SdlBackend::~SdlBackend() {
  ImGui_ImplSDLRenderer_Shutdown();
  ImGui_ImplSDL2_Shutdown();
  ImGui::DestroyContext();
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  SDL_DestroyRenderer(renderer_);
  SDL_DestroyWindow(window_);
  windowWatch_.reset();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlBackend::PumpEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    ImGui_ImplSDL2_ProcessEvent(&event);
    const WindowHandle target = display.CooperativeWindow();
    if (target == nullptr || store.Find(target) == nullptr) continue;
    if (event.type == SDL_KEYDOWN) {
      if (ImGui::GetIO().WantTextInput) continue;
      if (const std::optional<KeyMessage> key = KeyMessageOf(event.key)) {
        store.PostWindowMessage(target, key->message, key->virtualKey, key->keyData);
      }
    } else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_MOVED) {
      // A move the user made; the moves this backend makes itself are already in place.
      if (fullScreen_) continue;
      Rect rect;
      store.GetWindowRect(target, &rect);
      if (rect.left == event.window.data1 && rect.top == event.window.data2) continue;
      store.SetWindowPos(target, event.window.data1, event.window.data2, 0, 0,
                         swp::NoSize | swp::NoZOrder);
      store.GetWindowRect(target, &appliedRect_);
    } else if ((event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) ||
               event.type == SDL_QUIT) {
      CloseOnce(target);
    }
  }
  // A window destroyed by someone else ends the run as its close button does.
  const WindowHandle target = display.CooperativeWindow();
  if (windowWatch_ && windowWatch_->Lost() && target != nullptr && store.Find(target) != nullptr) {
    CloseOnce(target);
  }
}

void SdlBackend::CloseOnce(WindowHandle target) {
  if (!closeSent_) store.PostWindowMessage(target, wm::Close, 0, 0);
  closeSent_ = true;
}

void SdlBackend::FollowDisplayMode(const headless::Picture& picture) {
  const bool full = display.ModeChanged() && (display.CooperativeFlags() & ddscl::FullScreen) != 0;
  if (full != fullScreen_) {
    if (full) {
      // Without a window manager nobody acts on the full-screen request, so the window also
      // covers the display itself.
      SDL_Rect bounds;
      if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &bounds) == 0) {
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
      }
    }
    SDL_SetWindowFullscreen(window_, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    fullScreen_ = full;
    appliedRect_ = Rect{};
  }
  if (!full) {
    Rect rect;
    const WindowHandle target = display.CooperativeWindow();
    if (target != nullptr && store.GetWindowRect(target, &rect) && !SameRect(rect, appliedRect_)) {
      SDL_SetWindowSize(window_, picture.width, picture.height);
      SDL_SetWindowPosition(window_, rect.left, rect.top);
      appliedRect_ = rect;
    }
  }
  if (!shown_) {
    SDL_ShowWindow(window_);
    shown_ = true;
  }
}

void SdlBackend::Upload(const headless::Picture& picture) {
  if (texture_ == nullptr || textureWidth_ != picture.width || textureHeight_ != picture.height) {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    // RGB888 is 32 bits a pixel, 0x00RRGGBB: the picture's own layout, copied as it is.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                 picture.width, picture.height);
    textureWidth_ = picture.width;
    textureHeight_ = picture.height;
  }
  if (texture_ != nullptr) {
    SDL_UpdateTexture(texture_, nullptr, picture.pixels.data(), picture.width * 4);
  }
}

SDL_Rect SdlBackend::PictureArea(const headless::Picture& picture) const {
  int outWidth = 0, outHeight = 0;
  SDL_GetRendererOutputSize(renderer_, &outWidth, &outHeight);
  if (!fullScreen_ || outWidth <= 0 || outHeight <= 0) {
    return SDL_Rect{0, 0, picture.width, picture.height};
  }
  // The largest size of the picture's shape that fits, centred, with black bars around.
  const double scale = std::min(static_cast<double>(outWidth) / picture.width,
                                static_cast<double>(outHeight) / picture.height);
  const int width = static_cast<int>(picture.width * scale);
  const int height = static_cast<int>(picture.height * scale);
  return SDL_Rect{(outWidth - width) / 2, (outHeight - height) / 2, width, height};
}

void SdlBackend::Present() {
  const headless::Picture picture = display.PresentedPicture();
  if (picture.width > 0 && picture.height > 0) {
    FollowDisplayMode(picture);
    Upload(picture);
  }
  ImGui_ImplSDLRenderer_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  ImGui::NewFrame();
  painter_.Draw(dialogs, store);
  ImGui::Render();
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (texture_ != nullptr && picture.width > 0) {
    const SDL_Rect area = PictureArea(picture);
    SDL_RenderCopy(renderer_, texture_, nullptr, &area);
  }
  ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
  SDL_RenderPresent(renderer_);
  ++presentedFrames_;
  painter_.Apply(dialogs);
}

}  // namespace corvex::platform::sdl
