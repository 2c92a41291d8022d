#pragma once
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/plugin_harness.h"
#include "work_folder.h"

namespace corvex::host::testing {

using TempFolder = WorkFolder;

// An audio file written with libsndfile (format from SF_FORMAT_*); sample(frame, channel).
inline void WriteAudio(const std::string& path, int format, int32_t sampleRate, int32_t channels,
                       int64_t frames, const std::function<int16_t(int64_t, int32_t)>& sample,
                       const std::string& title = "", const std::string& artist = "") {
  SF_INFO info{0, sampleRate, channels, format, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) throw std::runtime_error("cannot write " + path);
  if (!title.empty()) sf_set_string(file, SF_STR_TITLE, title.c_str());
  if (!artist.empty()) sf_set_string(file, SF_STR_ARTIST, artist.c_str());
  std::vector<int16_t> data;
  for (int64_t frame = 0; frame < frames; ++frame) {
    for (int32_t channel = 0; channel < channels; ++channel) data.push_back(sample(frame, channel));
  }
  sf_writef_short(file, data.data(), frames);
  sf_close(file);
}

// A stereo 16-bit WAV of a sine, amplitude in 16-bit units.
inline void WriteSineWav(const std::string& path, int32_t sampleRate, double seconds, double frequency,
                         double amplitude, const std::string& title = "") {
  const double step = 2.0 * std::acos(-1.0) * frequency / sampleRate;
  WriteAudio(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sampleRate, 2, static_cast<int64_t>(seconds * sampleRate),
             [&](int64_t frame, int32_t) { return static_cast<int16_t>(std::lround(amplitude * std::sin(step * frame))); },
             title);
}

// The whole file, as the plug-in tests read theirs.
inline constexpr auto ReadFile = &::corvex::testing::PluginHarness::ReadFile;

}  // namespace corvex::host::testing
