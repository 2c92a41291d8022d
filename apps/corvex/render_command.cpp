#include "render_command.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <regex>

#include "ffmpeg_sink.h"
#include "host_error.h"
#include "key_script.h"
#include "playlist.h"
#include "plugin_names.h"
#include "png_sink.h"
#include "progress_line.h"
#include "render_session.h"
#include "settings_stage.h"
#include "work_folder.h"

namespace corvex::host {

namespace {

[[noreturn]] void Usage(const std::string& message) {
  throw HostError(ExitStatus::kUsage, message);
}

std::string FormatSeconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
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

// The audio of the rendered stretch, one WAV file per song it touches, for ffmpeg to mux in.
std::vector<std::string> WriteAudioStretch(Playlist& playlist, double start, double duration,
                                           const WorkFolder& work) {
  std::vector<std::string> files;
  const double end = start + duration;
  for (size_t i = 0; i < playlist.Size(); ++i) {
    const double songStart = playlist.StartSeconds(i);
    const double songEnd = songStart + playlist.LengthSeconds(i);
    if (songEnd <= start || songStart >= end) continue;
    const AudioTrack& track = playlist.Track(i);
    const auto first = static_cast<int64_t>(std::llround((std::max(start, songStart) - songStart) * track.sampleRate));
    const auto last = static_cast<int64_t>(std::llround((std::min(end, songEnd) - songStart) * track.sampleRate));
    files.push_back(work.File("audio-" + std::to_string(i) + ".wav"));
    WriteWavFile(files.back(), track, first, last - first);
  }
  return files;
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
  const FrameSize size = ParseFrameSize(options.size);
  if (!(options.fps >= 1.0 && options.fps <= 240.0)) Usage("--fps must be from 1 to 240");
  if (!(options.start >= 0.0) || !std::isfinite(options.start)) Usage("--start must be 0 or more");
  if (options.duration && !(*options.duration > 0.0 && std::isfinite(*options.duration))) {
    Usage("--duration must be more than 0");
  }
  const SettingsOverrides overrides = OverridesFrom(options);
  const std::vector<ScriptedKey> keys = ParseKeyScript(options.keys);
  std::optional<std::string> settingsFile =
      options.settingsFile.empty() ? DefaultSettingsFile() : std::optional(options.settingsFile);

  Playlist playlist =
      options.inputs.empty() ? Playlist::Demo() : Playlist::FromFiles(options.inputs);
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
  std::string pngFolder = options.pngFolder;
  if (pngFolder.empty()) {
    const std::optional<std::string> ffmpeg = FindProgram("ffmpeg");
    if (ffmpeg) {
      const std::string output = options.output.empty() ? DefaultStem(options) + ".mp4" : options.output;
      const std::vector<std::string> audio = WriteAudioStretch(playlist, options.start, duration, work);
      sink = std::make_unique<FfmpegSink>(*ffmpeg, output, VideoFormat{size.width, size.height, options.fps},
                                          audio, work.File("ffmpeg.log"));
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
  if (!sink) sink = std::make_unique<PngSink>(pngFolder, size.width, size.height);

  SessionConfig config;
  config.width = size.width;
  config.height = size.height;
  config.fps = options.fps;
  config.startSeconds = options.start;
  config.frameCount = frameCount;
  config.seed = options.seed;
  config.showInfo = options.info;
  config.keys = keys;
  config.pluginFolder = work.path();
  RenderSession session(playlist, config);
  ProgressLine progress(messages);
  session.progress = &progress;
  const SessionResult result = session.Run(*sink);
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
