#include "command_line.h"

#include <CLI/CLI.hpp>

#include <signal.h>
#include <string.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "host_error.h"
#include "interruption.h"
#include "play/play_command.h"
#include "plugin_names.h"
#include "render_command.h"
#include "render_options.h"

namespace corvex::host {

namespace {

void AddRenderOptions(CLI::App& render, RenderOptions& options) {
  render.add_option("inputs", options.inputs,
                    "Audio files played in order as a playlist (MP3, AAC/M4A, FLAC, ALAC, Ogg, "
                    "Opus, WAV, WMA, the sound of video files); none: the built-in demo track")
      ->type_name("FILE...");
  CLI::Option* output = render.add_option("-o,--output", options.output,
                    "Video file to write (H.264 in MP4 with the audio); default: the first "
                    "input's name with .mp4, or corvex-demo.mp4")
      ->type_name("FILE");
  CLI::Option* png = render.add_option("--png", options.pngFolder,
                                       "Write the frames as PNG files into this folder instead "
                                       "of a video")
                          ->type_name("DIR");
  png->excludes(output);
  render.add_option("--preset", options.preset,
                    "How hard the H.264 encoder works: ultrafast, superfast, veryfast, faster, "
                    "fast, medium, slow, slower, veryslow (slower: smaller files). The default "
                    "keeps a 1080p render on two cores faster than real time with the encoder "
                    "doing most of the work; veryfast makes files about half as big")
      ->capture_default_str()->type_name("NAME")->excludes(png);
  render.add_option("--crf", options.crf,
                    "The video's quality, from 0 (lossless, huge) to 51 (worst); 6 more halves "
                    "the size")
      ->capture_default_str()->type_name("N")->excludes(png);
  render.add_option("--size", options.size, "Picture size")->capture_default_str()->type_name("WxH");
  render.add_option("--fps", options.fps, "Frames per second")->capture_default_str()->type_name("N");
  render.add_option("--seed", options.seed,
                    "Seed of the random choices, for a run that can be repeated exactly")
      ->type_name("N");
  render.add_option("--start", options.start,
                    "Where to begin, in seconds on the playlist's timeline")->capture_default_str()
      ->type_name("SECONDS");
  render.add_option("--duration", options.duration,
                    "How many seconds to render; default: to the end")
      ->type_name("SECONDS");
  render.add_option("--frames-per-scene", options.framesPerScene,
                    "Scene length in frames (-1: never change by itself)")
      ->type_name("N");
  render.add_option("--lock-renderer", options.lockRenderer,
                    "Lock a renderer, by name or slot (see --list)")
      ->type_name("NAME");
  render.add_option("--lock-transform", options.lockTransform,
                    "Lock a transform, by name or slot (see --list)")
      ->type_name("NAME");
  render.add_option("--keys", options.keys,
                    "Keys pressed at given times, e.g. \"12.5:F5,30:Space\" (seconds:key; keys "
                    "F1..F12, Space, Tab, Esc, Enter, A..Z, 0..9, Alt+KEY)")
      ->type_name("SCRIPT");
  render.add_option("--settings", options.settingsFile,
                    "Settings file to read (default: vis_corvex.ini beside corvex, if there); "
                    "an offline run never writes it")
      ->type_name("FILE");
  render.add_flag("--info", options.info, "Show the information overlay (F4) from the start");
  render.add_flag("-q,--quiet", options.quiet, "No progress line and no notes");
}

void AddPlayOptions(CLI::App& play, PlayOptions& options) {
  play.add_option("inputs", options.inputs,
                  "Audio files played in order as a playlist; none: the built-in demo track")
      ->type_name("FILE...");
  play.add_flag("--capture", options.capture,
                "Visualize what the computer is playing (the monitor of the default output) "
                "instead of files");
  play.add_option("--latency", options.latencyMs,
                  "How far ahead of the sound the picture is drawn, for a display with lag "
                  "(default: the plug-in's 50 ms)")
      ->type_name("MS");
  play.add_option("--size", options.size, "Picture size in a window")->type_name("WxH");
  play.add_flag("--fullscreen", options.fullScreen,
                "Start in full screen (at --size, or the desktop's size)");
  play.add_option("--refresh", options.refreshHz,
                  "Frames per second to pace at (default: the display's refresh rate; 0: as "
                  "fast as it goes)")
      ->type_name("HZ");
  play.add_option("--frames", options.frames, "Stop after this many frames")->type_name("N");
  play.add_option("--seed", options.seed, "Seed of the random choices")->type_name("N");
  play.add_option("--settings", options.settingsFile,
                  "Settings file to use and keep, made if it is not there yet (default: "
                  "vis_corvex.ini beside corvex)")
      ->type_name("FILE");
  play.add_flag("--info", options.info, "Show the information overlay (F4) from the start");
  play.add_flag("-q,--quiet", options.quiet, "No notes");
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  // corvex's work is the file it writes, not the notes it prints: when the reader of its notes
  // goes away (corvex render ... 2>&1 | head), those writes fail quietly instead of the signal
  // ending the render with its frames half written and its temporary folder left behind.
  signal(SIGPIPE, SIG_IGN);
  // A file that would grow past the user's file-size limit (ulimit -f) fails its write with "File
  // too large", reported and cleaned up as a full disk is, instead of the signal ending corvex
  // in the same way. ffmpeg inherits this and reports the failed write in its own words.
  signal(SIGXFSZ, SIG_IGN);
  CLI::App app("corvex: hosts the Corvex visualization plug-in on Linux.", "corvex");
  app.set_version_flag("--version", std::string("corvex ") + CORVEX_VERSION);
  bool list = false;
  app.add_flag("--list", list, "List the renderers and transforms with their slots");
  app.fallthrough();

  RenderOptions options;
  CLI::App* render = app.add_subcommand(
      "render", "Render audio files (or the built-in demo) to a video or PNG frames");
  AddRenderOptions(*render, options);
  PlayOptions playOptions;
  CLI::App* play = app.add_subcommand(
      "play", "Play audio files (or the computer's sound) with the visualization in a window");
  AddPlayOptions(*play, playOptions);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    // The help of the command the mistake was made in.
    const char* command = play->parsed() ? "corvex play" : render->parsed() ? "corvex render" : "corvex";
    std::fprintf(stderr, "corvex: %s (see %s --help)\n", error.what(), command);
    return static_cast<int>(ExitStatus::kUsage);
  }

  if (list) {
    std::fputs(SlotListing().c_str(), stdout);
    return 0;
  }
  if (!render->parsed() && !play->parsed()) {
    std::fputs(app.help().c_str(), stderr);
    return static_cast<int>(ExitStatus::kUsage);
  }
  try {
    if (play->parsed()) {
      RunPlay(playOptions, playOptions.quiet ? nullptr : stderr);
    } else {
      RunRender(options, options.quiet ? nullptr : stderr);
    }
  } catch (const HostError& error) {
    std::fprintf(stderr, "corvex: %s\n", error.what());
    std::fflush(stderr);
    // The plug-in asked for the process to end: it ends here, as it would under a player,
    // without tearing down what the plug-in left half made.
    if (error.status == ExitStatus::kPlugin) std::_Exit(static_cast<int>(error.status));
    return static_cast<int>(error.status);
  } catch (const Interrupted& stop) {
    std::fprintf(stderr, "corvex: stopped by SIG%s; nothing was written\n", sigabbrev_np(stop.signal()));
    return 128 + stop.signal();
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "corvex: out of memory\n");
    return static_cast<int>(ExitStatus::kNoMemory);
  }
  return 0;
}

}  // namespace corvex::host
