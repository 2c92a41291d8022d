// The parts of the live player that need no display: keys as virtual-key messages, the modes
// offered on a monitor, and the clock that says what is being heard.
#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "platform/messages.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_modes.h"
#include "play/audio_clock.h"

namespace corvex::host::testing {
namespace {

using platform::sdl::KeyMessageOf;
using platform::sdl::OfferedModes;
using platform::sdl::Size;

SDL_KeyboardEvent Key(SDL_Keycode key, uint16_t modifiers = KMOD_NONE) {
  SDL_KeyboardEvent event{};
  event.type = SDL_KEYDOWN;
  event.keysym.sym = key;
  event.keysym.mod = modifiers;
  return event;
}

TEST(LiveKeys, ReachTheWindowWithTheirVirtualKeyCodes) {
  const struct {
    SDL_Keycode key;
    uint32_t code;
  } cases[] = {{SDLK_a, 'A'},       {SDLK_z, 'Z'},      {SDLK_0, '0'},      {SDLK_9, '9'},
               {SDLK_F1, 112},      {SDLK_F12, 123},    {SDLK_TAB, 9},      {SDLK_ESCAPE, 27},
               {SDLK_SPACE, 32},    {SDLK_LEFT, 37},    {SDLK_UP, 38},      {SDLK_RIGHT, 39},
               {SDLK_DOWN, 40},     {SDLK_KP_0, 96},    {SDLK_KP_9, 105},   {SDLK_KP_ENTER, 13}};
  for (const auto& c : cases) {
    const auto message = KeyMessageOf(Key(c.key));
    ASSERT_TRUE(message.has_value()) << SDL_GetKeyName(c.key);
    EXPECT_EQ(message->virtualKey, c.code) << SDL_GetKeyName(c.key);
    EXPECT_EQ(message->message, platform::wm::KeyDown) << SDL_GetKeyName(c.key);
  }
  EXPECT_FALSE(KeyMessageOf(Key(SDLK_APPLICATION)).has_value()) << "a key with no code is dropped";
}

TEST(LiveKeys, AltMakesSystemKeysWithTheContextBit) {
  const auto altEnter = KeyMessageOf(Key(SDLK_RETURN, KMOD_LALT));
  ASSERT_TRUE(altEnter.has_value());
  EXPECT_EQ(altEnter->message, platform::wm::SysKeyDown);
  EXPECT_EQ(altEnter->virtualKey, platform::vk::Return);
  EXPECT_NE(altEnter->keyData & (intptr_t{1} << 29), 0);
  const auto altF4 = KeyMessageOf(Key(SDLK_F4, KMOD_RALT));
  ASSERT_TRUE(altF4.has_value());
  EXPECT_EQ(altF4->message, platform::wm::SysKeyDown);
  EXPECT_EQ(altF4->virtualKey, platform::vk::F4);
  const auto f10 = KeyMessageOf(Key(SDLK_F10));
  ASSERT_TRUE(f10.has_value());
  EXPECT_EQ(f10->message, platform::wm::SysKeyDown) << "F10 is a system key of its own";
  EXPECT_EQ(f10->keyData & (intptr_t{1} << 29), 0) << "but without Alt held";
  const auto ctrlX = KeyMessageOf(Key(SDLK_x, KMOD_LCTRL));
  ASSERT_TRUE(ctrlX.has_value());
  EXPECT_EQ(ctrlX->message, platform::wm::KeyDown);
}

TEST(LiveModes, MonitorSizesAndCommonSizesThatFitSmallestFirstOnce) {
  const auto modes = OfferedModes(Size{1366, 768}, {{1366, 768}, {1024, 768}, {1024, 768}, {800, 600}});
  std::vector<std::pair<int32_t, int32_t>> sizes;
  for (const auto& mode : modes) {
    sizes.emplace_back(mode.width, mode.height);
    EXPECT_EQ(mode.bitsPerPixel, 32);
  }
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1366, 768}};
  EXPECT_EQ(sizes, expected);
  const auto bare = OfferedModes(Size{320, 200}, {});
  ASSERT_EQ(bare.size(), 1u) << "a desktop smaller than every common size still offers itself";
  EXPECT_EQ(bare[0].width, 320);
}

uint64_t Counter(double seconds) {
  return static_cast<uint64_t>(seconds * static_cast<double>(SDL_GetPerformanceFrequency()));
}

TEST(LiveAudioClock, HeardMomentFollowsTheCallbacksAtTheDeviceRate) {
  AudioClock clock(1000);
  const std::vector<int16_t> sound(2 * 3000, 1);
  std::vector<int16_t> out(2 * 500);
  EXPECT_FALSE(clock.Heard(Counter(1.0)).has_value()) << "nothing is heard before a callback";
  clock.Append(sound.data(), 1000, 2.0);
  clock.Append(sound.data(), 1000, 30.0);  // a seek: the next frames belong to 30 s
  EXPECT_EQ(clock.Take(out.data(), 500, Counter(10.0)), 500);
  EXPECT_NEAR(*clock.Heard(Counter(10.0)), 2.0, 1e-9);
  EXPECT_NEAR(*clock.Heard(Counter(10.2)), 2.2, 1e-6);
  EXPECT_NEAR(*clock.Heard(Counter(11.0)), 2.5, 1e-6) << "never beyond what was handed over";
  EXPECT_EQ(clock.Take(out.data(), 500, Counter(10.5)), 500);
  EXPECT_EQ(clock.Take(out.data(), 500, Counter(11.0)), 500);
  EXPECT_NEAR(*clock.Heard(Counter(11.1)), 30.1, 1e-6) << "across the seek";
  EXPECT_EQ(clock.QueuedFrames(), 500);
  clock.Clear();
  EXPECT_EQ(clock.QueuedFrames(), 0);
  EXPECT_FALSE(clock.Heard(Counter(12.0)).has_value()) << "a seek forgets the old moment";
}

TEST(LiveAudioClock, AnEmptyQueuePlaysSilenceAndHoldsTheLastMoment) {
  AudioClock clock(1000);
  const std::vector<int16_t> sound(2 * 100, 7);
  std::vector<int16_t> out(2 * 300, 99);
  clock.Append(sound.data(), 100, 5.0);
  EXPECT_EQ(clock.Take(out.data(), 300, Counter(1.0)), 100);
  EXPECT_EQ(out[199], 7);
  EXPECT_EQ(out[200], 0) << "past the queue the device gets silence";
  EXPECT_EQ(out[599], 0);
  EXPECT_EQ(clock.Take(out.data(), 300, Counter(1.3)), 0);
  EXPECT_NEAR(*clock.Heard(Counter(2.0)), 5.1, 1e-6);
}

}  // namespace
}  // namespace corvex::host::testing
