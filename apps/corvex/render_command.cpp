#include "render_command.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <regex>

#include "ffmpeg_sink.h"
#include "host_error.h"
#include "interruption.h"
#include "key_script.h"
#include "playlist.h"
#include "plugin_names.h"
#include "png_sink.h"
#include "progress_line.h"
#include "render_session.h"
#include "settings_stage.h"
#include "staged_file.h"
#include "work_folder.h"

namespace corvex::host {

namespace {

[[noreturn]] void Usage(const std::string& message) {
  throw HostError(ExitStatus::kUsage, message);
}

// Two decimals, as a time on the playlist reads; a number too large for that (--start 1e308)
// in exponent form, whole, rather than cut off at the end of the buffer.
std::string FormatSeconds(double seconds) {
  char text[48];
  std::snprintf(text, sizeof text, std::fabs(seconds) < 1e15 ? "%.2f s" : "%g s", seconds);
  return text;
}

SettingsOverrides OverridesFrom(const RenderOptions& options) {
  SettingsOverrides overrides;
  if (options.framesPerScene) {
    if (*options.framesPerScene != -1 && *options.framesPerScene < 1) {
      Usage("--frames-per-scene must be 1 or more, or -1 for never");
    }
    overrides.framesPerScene = options.framesPerScene;
  }
  if (!options.lockRenderer.empty()) overrides.lockedRenderer = RendererSlot(options.lockRenderer);
  if (!options.lockTransform.empty()) {
    overrides.lockedTransform = TransformSlot(options.lockTransform);
  }
  return overrides;
}

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

// Frames [first, last) of one song as raw 16-bit stereo, decoded a piece at a time.
void WriteSongStretch(Playlist& playlist, size_t index, int64_t first, int64_t last,
                      const std::string& path) {
  static_assert(std::endian::native == std::endian::little, "ffmpeg is told s16le");
  auto fail = [&] {
    throw HostError(ExitStatus::kOutput, path + ": cannot write the audio for the video (" +
                                             std::strerror(errno) + ")");
  };
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) fail();
  constexpr int64_t kPieceFrames = 16384;
  std::vector<int16_t> piece(kPieceFrames * 2);
  for (int64_t at = first; at < last; at += kPieceFrames) {
    StopIfInterrupted();
    const int64_t count = std::min(kPieceFrames, last - at);
    const int64_t got = playlist.ReadFrames(index, at, count, piece.data());
    std::fill(piece.begin() + got * 2, piece.begin() + count * 2, int16_t{0});
    if (std::fwrite(piece.data(), 4, static_cast<size_t>(count), file.get()) != static_cast<size_t>(count)) fail();
  }
  if (std::fflush(file.get()) != 0) fail();
}

// The audio of the rendered stretch, one file per song it touches, for ffmpeg to mux in.
std::vector<AudioPart> WriteAudioStretch(Playlist& playlist, double start, double duration,
                                         const WorkFolder& work) {
  std::vector<AudioPart> parts;
  const double end = start + duration;
  for (size_t i = 0; i < playlist.Size(); ++i) {
    const double songStart = playlist.StartSeconds(i);
    const double songEnd = songStart + playlist.LengthSeconds(i);
    if (songEnd <= start || songStart >= end) continue;
    const int32_t rate = playlist.SampleRate(i);
    const auto first = static_cast<int64_t>(std::llround((std::max(start, songStart) - songStart) * rate));
    const auto last = static_cast<int64_t>(std::llround((std::min(end, songEnd) - songStart) * rate));
    parts.push_back(AudioPart{work.File("audio-" + std::to_string(i) + ".raw"), rate});
    WriteSongStretch(playlist, i, first, last, parts.back().path);
  }
  return parts;
}

// An output that is one of the files the run reads would be lost when the output replaces it.
void CheckNotAnInput(const std::string& output, const RenderOptions& options) {
  std::vector<std::string> read = options.inputs;
  if (!options.settingsFile.empty()) read.push_back(options.settingsFile);
  for (const std::string& input : read) {
    std::error_code error;
    if (std::filesystem::equivalent(output, input, error)) {
      Usage(output + ": that is the input " + input + ", which the video would replace; name "
                     "another output with -o");
    }
  }
}

// Keys before the first rendered moment would all land on the first frame; they are left out.
std::vector<ScriptedKey> KeysFrom(const std::vector<ScriptedKey>& keys, double start, FILE* messages) {
  std::vector<ScriptedKey> kept;
  std::string left;
  for (const ScriptedKey& key : keys) {
    if (key.seconds + 1e-9 >= start) {
      kept.push_back(key);
    } else {
      char entry[64];
      std::snprintf(entry, sizeof entry, "%s%g:%s", left.empty() ? "" : ", ", key.seconds, key.name.c_str());
      left += entry;
    }
  }
  if (!left.empty() && messages != nullptr) {
    std::fprintf(messages, "corvex: --keys before --start %s are not pressed: %s\n",
                 FormatSeconds(start).c_str(), left.c_str());
  }
  return kept;
}

std::string DefaultStem(const RenderOptions& options) {
  if (options.inputs.empty()) return "corvex-demo";
  return std::filesystem::path(options.inputs.front()).stem().string();
}

}  // namespace

FrameSize ParseFrameSize(const std::string& text) {
  static const std::regex pattern(R"(\s*(\d{1,6})\s*[xX]\s*(\d{1,6})\s*)");
  std::smatch match;
  if (!std::regex_match(text, match, pattern)) {
    Usage("--size \"" + text + "\": expected WIDTHxHEIGHT, e.g. 1280x720");
  }
  const FrameSize size{std::stoi(match[1]), std::stoi(match[2])};
  if (size.width < kMinSide || size.height < kMinSide || size.width > kMaxWidth ||
      size.height > kMaxHeight) {
    Usage("--size " + text + ": the display cannot offer that size (from " +
          std::to_string(kMinSide) + "x" + std::to_string(kMinSide) + " to " +
          std::to_string(kMaxWidth) + "x" + std::to_string(kMaxHeight) + ")");
  }
  return size;
}

void RunRender(const RenderOptions& options, FILE* messages) {
  InterruptionGuard interruption;
  const FrameSize size = ParseFrameSize(options.size);
  if (!(options.fps >= 1.0 && options.fps <= 240.0)) Usage("--fps must be from 1 to 240");
  if (!(options.start >= 0.0) || !std::isfinite(options.start)) {
    Usage("--start must be a number of seconds, 0 or more");
  }
  if (options.duration && !(*options.duration > 0.0 && std::isfinite(*options.duration))) {
    Usage("--duration must be a number of seconds, more than 0");
  }
  const std::vector<std::string>& presets = EncoderPresets();
  if (std::find(presets.begin(), presets.end(), options.preset) == presets.end()) {
    std::string names;
    for (const std::string& name : presets) names += (names.empty() ? "" : ", ") + name;
    Usage("--preset " + options.preset + ": not a preset of the encoder (" + names + ")");
  }
  if (options.crf < 0 || options.crf > 51) Usage("--crf must be from 0 to 51");
  const SettingsOverrides overrides = OverridesFrom(options);
  const std::vector<ScriptedKey> allKeys = ParseKeyScript(options.keys);
  std::optional<std::string> settingsFile =
      options.settingsFile.empty() ? DefaultSettingsFile() : std::optional(options.settingsFile);

  // Where the frames go is settled before any file is read, so a wrong name costs nothing.
  std::string pngFolder = options.pngFolder;
  std::optional<std::string> ffmpeg;
  std::string output;
  if (pngFolder.empty()) {
    ffmpeg = FindProgram("ffmpeg");
    if (ffmpeg) {
      output = options.output.empty() ? DefaultStem(options) + ".mp4" : options.output;
      CheckReplaceable(output);
      CheckVideoContainer(output);
      CheckNotAnInput(output, options);
    } else if (!options.output.empty()) {
      throw HostError(ExitStatus::kOutput,
                      "the ffmpeg program was not found on PATH; it makes the video " +
                          options.output + " (install ffmpeg, or write PNG frames with --png DIR)");
    } else {
      pngFolder = DefaultStem(options) + "-frames";
      if (messages != nullptr) {
        std::fprintf(messages, "corvex: ffmpeg not found; writing PNG frames to %s instead\n",
                     pngFolder.c_str());
      }
    }
  }

  Playlist playlist =
      options.inputs.empty() ? Playlist::Demo() : Playlist::FromFiles(options.inputs);
  StopIfInterrupted();
  const double total = playlist.DurationSeconds();
  if (options.start >= total) {
    Usage("--start " + FormatSeconds(options.start) + " is at or past the end of the audio (" +
          FormatSeconds(total) + ")");
  }
  const double duration = std::min(options.duration.value_or(total), total - options.start);
  const int64_t frameCount = std::max<int64_t>(1, std::llround(duration * options.fps));

  WorkFolder work;
  StageSettings(settingsFile, overrides, work.File("vis_corvex.ini"));

  std::unique_ptr<FrameSink> sink;
  if (ffmpeg) {
    const std::vector<AudioPart> audio = WriteAudioStretch(playlist, options.start, duration, work);
    const VideoFormat format{size.width, size.height, options.fps, options.preset, options.crf};
    sink = std::make_unique<FfmpegSink>(*ffmpeg, output, format, audio, work.File("ffmpeg.log"));
  } else {
    sink = std::make_unique<PngSink>(pngFolder);
  }

  SessionConfig config;
  config.width = size.width;
  config.height = size.height;
  config.fps = options.fps;
  config.startSeconds = options.start;
  config.frameCount = frameCount;
  config.seed = options.seed;
  config.showInfo = options.info;
  config.keys = KeysFrom(allKeys, options.start, messages);
  config.pluginFolder = work.path();
  RenderSession session(playlist, config);
  ProgressLine progress(messages);
  session.progress = &progress;
  session.betweenFrames = &StopIfInterrupted;
  const SessionResult result = session.Run(*sink);
  if (result.frames == 0) {
    // An empty video would be no video at all: nothing is kept.
    throw HostError(ExitStatus::kOutput,
                    "nothing to write: the plug-in ended the run before its first frame (Esc at "
                    "the start?)");
  }
  progress.Finish(result.frames, static_cast<double>(result.frames) / options.fps);
  sink->Finish();

  if (messages != nullptr) {
    for (const std::string& message : result.messages) {
      std::fprintf(messages, "corvex: the plug-in said: %s\n", message.c_str());
    }
    if (result.quitByPlugin) {
      std::fprintf(messages, "corvex: the plug-in asked to stop after frame %lld\n",
                   static_cast<long long>(result.frames));
    }
    std::fprintf(messages, "corvex: wrote %s (%lld frames, %dx%d, %g fps)\n",
                 sink->Describe().c_str(), static_cast<long long>(result.frames), size.width,
                 size.height, options.fps);
  }
}

}  // namespace corvex::host
