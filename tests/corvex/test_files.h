#pragma once
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/plugin_harness.h"
#include "work_folder.h"

namespace corvex::host::testing {

using TempFolder = WorkFolder;

// What the ffmpeg program is asked to make of the samples: its arguments after the input (a
// codec, a layout), and tags.
struct Encoding {
  Encoding(std::vector<std::string> arguments = {}, std::string title = "", std::string artist = "",
           std::string layout = "")
      : arguments(std::move(arguments)), title(std::move(title)), artist(std::move(artist)),
        layout(std::move(layout)) {}
  std::vector<std::string> arguments;  // e.g. {"-c:a", "alac"}; none: ffmpeg's choice for the name
  std::string title, artist;
  std::string layout;  // the input's channel layout, e.g. "5.1"; empty: the usual one
};

inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// An audio file made by the ffmpeg program from 16-bit samples, sample(frame, channel); the
// container and codec follow the name's extension unless `encoding` says otherwise.
inline void WriteAudio(const std::string& path, int32_t sampleRate, int32_t channels, int64_t frames,
                       const std::function<int16_t(int64_t, int32_t)>& sample, const Encoding& encoding = {}) {
  const std::string raw = path + ".s16";
  {
    std::vector<int16_t> data;
    data.reserve(static_cast<size_t>(frames * channels));
    for (int64_t frame = 0; frame < frames; ++frame) {
      for (int32_t channel = 0; channel < channels; ++channel) data.push_back(sample(frame, channel));
    }
    std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                               static_cast<std::streamsize>(data.size() * 2));
  }
  std::string command = "ffmpeg -nostdin -v error -y -f s16le -ar " + std::to_string(sampleRate);
  command += encoding.layout.empty() ? " -channels " + std::to_string(channels) : " -ch_layout " + encoding.layout;
  command += " -i " + Quoted(raw);
  for (const std::string& argument : encoding.arguments) command += " " + Quoted(argument);
  if (!encoding.title.empty()) command += " -metadata " + Quoted("title=" + encoding.title);
  if (!encoding.artist.empty()) command += " -metadata " + Quoted("artist=" + encoding.artist);
  command += " " + Quoted(path);
  const int status = std::system(command.c_str());
  std::remove(raw.c_str());
  if (status != 0) throw std::runtime_error("ffmpeg could not make " + path);
}

// A stereo 16-bit WAV of a sine, amplitude in 16-bit units.
inline void WriteSineWav(const std::string& path, int32_t sampleRate, double seconds, double frequency,
                         double amplitude, const std::string& title = "") {
  const double step = 2.0 * std::acos(-1.0) * frequency / sampleRate;
  WriteAudio(path, sampleRate, 2, static_cast<int64_t>(seconds * sampleRate),
             [&](int64_t frame, int32_t) { return static_cast<int16_t>(std::lround(amplitude * std::sin(step * frame))); },
             Encoding{{}, title});
}

// The whole file, as the plug-in tests read theirs.
inline constexpr auto ReadFile = &::corvex::testing::PluginHarness::ReadFile;

// The frames of a video (or of numbered pictures, "frame_%06d.png") decoded by the ffmpeg
// program to RGB, as one string of bytes; `raw` is the file it passes through, removed after.
inline std::string DecodedRgb(const std::string& input, const std::string& raw) {
  const int status = std::system(("ffmpeg -nostdin -v error -y -i " + Quoted(input) +
                                  " -fps_mode passthrough -f rawvideo -pix_fmt rgb24 " + Quoted(raw)).c_str());
  if (status != 0) throw std::runtime_error("ffmpeg could not decode " + input);
  std::string bytes = ReadFile(raw);
  std::remove(raw.c_str());
  return bytes;
}

}  // namespace corvex::host::testing
