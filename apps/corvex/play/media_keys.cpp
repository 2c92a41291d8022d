#include "play/media_keys.h"

#include "platform/messages.h"
#include "play/playback.h"

namespace corvex::host {

namespace {
constexpr uint32_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr double kShortSeek = 5.0;
constexpr double kLongSeek = 30.0;
}  // namespace

std::optional<MediaAction> MediaActionOf(uint32_t message, uint32_t virtualKey) {
  if (message != platform::wm::KeyDown) return std::nullopt;
  switch (virtualKey) {
    case 'Z': return MediaAction{MediaCommand::Previous};
    case 'X': return MediaAction{MediaCommand::Play};
    case 'C': return MediaAction{MediaCommand::Pause};
    case 'V': return MediaAction{MediaCommand::Stop};
    case 'B': return MediaAction{MediaCommand::Next};
    case 'K': return MediaAction{MediaCommand::About};
    case kLeft: return MediaAction{MediaCommand::Seek, -kShortSeek};
    case kRight: return MediaAction{MediaCommand::Seek, kShortSeek};
    case kDown: return MediaAction{MediaCommand::Seek, -kLongSeek};
    case kUp: return MediaAction{MediaCommand::Seek, kLongSeek};
    default: return std::nullopt;
  }
}

void Apply(const MediaAction& action, Playback& playback) {
  switch (action.command) {
    case MediaCommand::Previous: playback.Previous(); break;
    case MediaCommand::Play: playback.Play(); break;
    case MediaCommand::Pause: playback.Pause(); break;
    case MediaCommand::Stop: playback.Stop(); break;
    case MediaCommand::Next: playback.Next(); break;
    case MediaCommand::Seek: playback.Seek(action.seconds); break;
    case MediaCommand::About: break;
  }
}

}  // namespace corvex::host
