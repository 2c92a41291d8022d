// corvex as a user runs it. Few tests start the real program (each start is slow under the
// sanitizers); the others run its command line in this process.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "command_line.h"
#include "host_error.h"
#include "key_script.h"
#include "platform/messages.h"
#include "program_runs.h"
#include "test_files.h"
#include "video/video.h"

namespace corvex::host {
namespace {

using namespace testing;

double ProbeNumber(const std::string& probe, const std::string& key) {
  const size_t at = probe.find(key + "=");
  return at == std::string::npos ? -1.0 : std::atof(probe.c_str() + at + key.size() + 1);
}

TEST(CorvexProgram, TheDemoBecomesAVideoOfTheAskedLengthSizeAndPictures) {
  TempFolder folder;
  const std::string video = folder.File("demo.mp4");
  const ProgramRun run = RunProcess({kCorvex, "render", "--size", "320x240", "--duration", "3",
                                     "--seed", "3", "--start", "16", "-q", "-o", video});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out + run.err, "") << "quiet";
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"demo.mp4"});

  const std::string probe =
      RunProcess({"ffprobe", "-v", "error", "-count_frames", "-show_entries",
                  "stream=codec_type,codec_name,width,height,nb_read_frames:format=duration", video})
          .out;
  EXPECT_NE(probe.find("codec_name=h264"), std::string::npos) << probe;
  EXPECT_NE(probe.find("codec_type=audio"), std::string::npos) << probe;
  EXPECT_EQ(ProbeNumber(probe, "width"), 320);
  EXPECT_EQ(ProbeNumber(probe, "height"), 240);
  EXPECT_EQ(ProbeNumber(probe, "nb_read_frames"), 90);
  EXPECT_NEAR(ProbeNumber(probe, "duration"), 3.0, 0.05);

  const std::string raw = folder.File("frames.rgb");
  RunProcess({"ffmpeg", "-v", "error", "-i", video, "-f", "rawvideo", "-pix_fmt", "rgb24", raw});
  const std::string bytes = ReadFile(raw);
  const size_t frameBytes = 320 * 240 * 3;
  ASSERT_EQ(bytes.size(), 90 * frameBytes);
  const auto* pixels = reinterpret_cast<const uint8_t*>(bytes.data());
  int lit = 0, moving = 0;  // frames with some bright pixels; frames unlike the one 0.5 s before
  for (size_t at = 0; at < bytes.size(); at += frameBytes) {
    int32_t bright = 0, changed = 0;
    for (size_t i = at; i < at + frameBytes; ++i) {
      bright += pixels[i] > 64;
      changed += at >= 15 * frameBytes && std::abs(pixels[i] - pixels[i - 15 * frameBytes]) > 16;
    }
    lit += bright > 500;
    moving += changed > 500;
  }
  EXPECT_GT(lit, 60);
  EXPECT_GT(moving, 50);
}

TEST(CorvexProgram, TheSameSeedGivesTheSamePngFramesInEveryRun) {
  TempFolder folder;
  WriteSineWav(folder.File("tone.wav"), 22050, 1.0, 330.0, 12000.0, "Tone");
  std::vector<std::string> runs[2];
  for (int i = 0; i < 2; ++i) {
    const std::string frames = folder.File("frames" + std::to_string(i));
    const ProgramRun run = RunProcess({kCorvex, "render", folder.File("tone.wav"), "--png", frames,
                                       "--seed", "42", "--size", "128x96", "--duration", "0.5", "-q"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(FolderNames(frames).front(), "frame_000001.png");
    for (const std::string& name : FolderNames(frames)) runs[i].push_back(ReadFile(frames + "/" + name));
  }
  ASSERT_EQ(runs[0].size(), 15u);
  EXPECT_TRUE(runs[0] == runs[1]);
  // The header holds the size: the display offered exactly the size asked for.
  EXPECT_EQ(runs[0][0].substr(16, 8), std::string("\0\0\0\x80\0\0\0\x60", 8));
}

TEST(CorvexProgram, AVideoNameAsLongAsAFolderTakesIsWrittenThoughItsTemporaryNameIsLonger) {
  TempFolder folder;
  WriteSineWav(folder.File("tone.wav"), 22050, 0.2, 330.0, 12000.0);
  const std::string video = folder.File(std::string(251, 'v') + ".mp4");  // 255 bytes
  const ProgramRun run = RunProcess({kCorvex, "render", "-q", folder.File("tone.wav"), "--size", "64x64", "-o", video});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(video));
  EXPECT_EQ(FolderNames(folder.path()).size(), 2u) << "a temporary file is left";
}

TEST(CorvexProgram, AFileTheSizeLimitDoesNotTakeIsNamedWithTheSystemsReasonAndNothingIsLeft) {
  TempFolder folder;
  WriteSineWav(folder.File("tone.wav"), 22050, 0.5, 330.0, 12000.0);
  std::filesystem::create_directory(folder.File("tmp"));
  // No file may grow past 512 bytes, less than any frame or the song's samples: as on a full
  // disk each write past it fails, and the signal that comes with it by default must not end
  // corvex with its temporary folder (made under TMPDIR) left behind.
  const auto underLimit = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"sh", "-c", "ulimit -f 1; TMPDIR=\"$0\" exec \"$@\"",
                               folder.File("tmp"), kCorvex, "render", "-q", folder.File("tone.wav")});
    return RunProcess(args);
  };
  const std::string frames = folder.File("frames");
  const ProgramRun png = underLimit({"--png", frames});
  EXPECT_EQ(png.status, 4);
  EXPECT_EQ(png.err, "corvex: " + frames + "/frame_000001.png: cannot write: File too large\n");
  EXPECT_FALSE(std::filesystem::exists(frames)) << "the folder corvex made was left behind";

  const ProgramRun video = underLimit({"-o", folder.File("out.mkv")});
  EXPECT_EQ(video.status, 4);
  EXPECT_NE(video.err.find("File too large"), std::string::npos) << video.err;
  EXPECT_TRUE(FolderNames(folder.File("tmp")).empty()) << "the temporary folder was left";
  EXPECT_EQ(FolderNames(folder.path()).size(), 2u) << "a staged video was left";
}

TEST(CorvexProgram, ANotesReaderThatGoesAwayLeavesTheRenderToFinish) {
  TempFolder folder;
  WriteSineWav(folder.File("tone.wav"), 22050, 0.5, 330.0, 12000.0);
  std::filesystem::create_directory(folder.File("tmp"));
  const std::string frames = folder.File("frames");
  // The notes go to a pipe whose reader has ended before the first of them is written.
  const ProgramRun run = RunProcess(
      {"bash", "-c", "TMPDIR=\"$0\" \"$@\" 2>&1 | true; exit ${PIPESTATUS[0]}",
       folder.File("tmp"), kCorvex, "render", folder.File("tone.wav"), "--png", frames});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FolderNames(frames).size(), 15u) << "half the frames";
  EXPECT_TRUE(FolderNames(folder.File("tmp")).empty()) << "the temporary folder was left";
}

// A stand-in for ffmpeg that takes `bytes` of the frames, says two lines about its output
// (the last argument) with its note of a repeated line between them, and fails.
std::string FailingFfmpegFolder(const TempFolder& folder, int bytes) {
  std::filesystem::create_directory(folder.File("bin"));
  std::ofstream(folder.File("bin/ffmpeg"))
      << "#!/bin/sh\nfor last; do :; done\nhead -c " << bytes << " >/dev/null\necho half > \"$last\"\n"
      << "echo \"Error writing trailer of $last: No space left on device\" >&2\n"
      << "echo '    Last message repeated 3 times' >&2\n"
      << "echo 'Conversion failed!' >&2\nexit 1\n";
  chmod(folder.File("bin/ffmpeg").c_str(), 0755);
  return folder.File("bin") + ":/usr/bin:/bin";
}

TEST(CorvexProgram, EachBadInputGivesOneLineAStatusAndNoOutput) {
  TempFolder folder;
  const std::string tone = folder.File("tone.wav"), out = folder.File("out.mp4");
  WriteSineWav(tone, 44100, 1.0, 440.0, 8000.0);
  WriteAudio(folder.File("empty.wav"), 44100, 2, 0, nullptr);
  std::ofstream(folder.File("notes.txt")) << "not audio\n";
  std::filesystem::create_directory(folder.File("sub"));
  mkfifo(folder.File("fifo.ini").c_str(), 0644);
  mkfifo(folder.File("fifo.mp4").c_str(), 0644);
  std::filesystem::create_directory(folder.File("old-frames"));
  std::ofstream(folder.File("old-frames/frame_000001.png")) << "an earlier run's\n";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message, path = "";
  };
  const Case cases[] = {
      {{"render", folder.File("gone.wav"), "-o", out}, 3, folder.File("gone.wav") + ": no such file"},
      {{"render", folder.File("sub"), "-o", out}, 3, folder.File("sub") + ": cannot read: it is a folder"},
      {{"render", folder.File("fifo.ini"), "-o", out}, 3, "fifo.ini: cannot read: it is not a regular file"},
      {{"render", tone, "/dev/zero", "-o", out}, 3, "/dev/zero: cannot read: it is not a regular file"},
      {{"render", tone, folder.File("notes.txt"), "-o", out}, 3, folder.File("notes.txt") + ": not an audio file"},
      {{"render", folder.File("empty.wav"), "-o", out}, 3, folder.File("empty.wav") + ": contains no audio"},
      {{"render", tone, "--size", "63x64", "-o", out}, 2, "--size 63x64: the display cannot offer that size"},
      {{"render", tone, "--size", "7680x4321", "-o", out}, 2, "the display cannot offer that size"},
      {{"render", tone, "--size", "wide", "-o", out}, 2, "--size \"wide\": expected WIDTHxHEIGHT"},
      {{"render", tone, "-o", folder.File("no/out.mp4")}, 4, folder.File("no/out.mp4") + ": cannot write: No such file"},
      {{"render", tone, "-o", folder.File("sub")}, 4, folder.File("sub") + ": cannot write: it is a folder"},
      {{"render", tone, "-o", folder.File("fifo.mp4")}, 4, "fifo.mp4: cannot write: it is not a regular file"},
      {{"render", tone, "--png", tone}, 4, tone + ": cannot write: it is a file, not a folder"},
      {{"render", tone, "--png", folder.File("old-frames")}, 4, "old-frames: cannot write: it holds the frames of an earlier run"},
      {{"render", tone, "-o", out}, 4, "the ffmpeg program was not found on PATH", "/nonexistent"},
      {{"render", tone, "-o", out}, 4, "ffmpeg stopped while taking frame 1: Error writing trailer of " + out +
       ": No space left on device / Conversion failed!", FailingFfmpegFolder(folder, 100000)},
      {{"render", tone, "-o", folder.File("out.webm")}, 2, "a .webm file cannot hold an H.264 video"},
      {{"render", tone, "-o", folder.File("out")}, 2, "out: no extension to choose the video's container by"},
      {{"render", tone, "--keys", "0:Esc", "-o", out}, 4, "the plug-in ended the run before its first frame"},
      {{"render", tone, "--keys", "0:Esc", "--png", folder.File("frames")}, 4, "nothing to write"},
      {{"render", tone, "--lock-renderer", "Teapot", "-o", out}, 2, "no renderer named \"Teapot\""},
      {{"render", tone, "--lock-transform", "15", "-o", out}, 2, "no transform named \"15\""},
      {{"render", tone, "--keys", "3:F13", "-o", out}, 2, "--keys: \"3:F13\": unknown key"},
      {{"render", tone, "--start", "1", "-o", out}, 2, "--start 1.00 s is at or past the end of the audio (1.00 s)"},
      {{"render", tone, "--start", "1e308", "-o", out}, 2, "--start 1e+308 s is at or past the end of the audio (1.00 s)"},
      {{"render", tone, "--start", "nan", "-o", out}, 2, "--start must be a number of seconds, 0 or more"},
      {{"render", tone, "--duration", "inf", "-o", out}, 2, "--duration must be a number of seconds, more than 0"},
      {{"render", tone, "--settings", folder.File("none.ini"), "-o", out}, 3, folder.File("none.ini") + ": no such settings file"},
      {{"render", tone, "--settings", folder.File("fifo.ini"), "-o", out}, 3, "fifo.ini: not a settings file: it is not a regular file"},
      {{"render", tone, "--settings", "/dev/zero", "-o", out}, 3, "/dev/zero: not a settings file"},
      {{"render", tone, "--fps", "0", "-o", out}, 2, "--fps must be from 1 to 240"},
      {{"render", tone, "--preset", "ludicrous", "-o", out}, 2, "--preset ludicrous: not a preset of the encoder (ultrafast, "},
      {{"render", tone, "--crf", "52", "-o", out}, 2, "--crf must be from 0 to 51"},
      {{"render", tone, "--frames-per-scene", "0", "-o", out}, 2, "--frames-per-scene must be 1 or more"},
      {{"render", tone, "--bogus"}, 2, "--bogus (see corvex render --help)"},
      {{"play", "--frames", "x"}, 2, "--frames = x (see corvex play --help)"},
      {{"--bogus"}, 2, "--bogus (see corvex --help)"},
  };
  const std::vector<std::string> before = FolderNames(folder.path());
  for (const Case& c : cases) {
    ScopedPath path(c.path);
    const ProgramRun run = RunCorvexHere(c.args);
    SCOPED_TRACE(c.message + " <- " + run.err);
    EXPECT_EQ(run.status, c.status);
    // One line, after the progress line when frames were made before the failure.
    const std::string progress = run.err.rfind("\rframe=", 0) == 0 ? run.err.substr(0, run.err.find('\n') + 1) : "";
    const std::string said = run.err.substr(progress.size());
    EXPECT_EQ(said.rfind("corvex: ", 0), 0u);
    EXPECT_NE(said.find(c.message), std::string::npos);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_EQ(FolderNames(folder.path()), before) << "something was left behind";
    EXPECT_EQ(theVideo, nullptr) << "the plug-in was not shut down";
  }
  EXPECT_TRUE(std::filesystem::is_fifo(folder.File("fifo.mp4"))) << "a pipe was replaced by a file";
  EXPECT_EQ(ReadFile(folder.File("old-frames/frame_000001.png")), "an earlier run's\n");
}

TEST(CorvexProgram, WithoutFfmpegOrAnOutputNameTheFramesBecomePngsNamedAfterTheSong) {
  TempFolder folder;
  WriteSineWav(folder.File("song.wav"), 44100, 0.2, 440.0, 8000.0);
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  ScopedPath path("/nonexistent");
  const ProgramRun run = RunCorvexHere({"render", "song.wav", "--size", "128x96"});
  std::filesystem::current_path(here);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.rfind("corvex: ffmpeg not found; writing PNG frames to song-frames instead\n", 0), 0u);
  EXPECT_NE(run.err.find("\rframe=     6 fps="), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" time=00:00:00.20 speed="), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\ncorvex: wrote 6 PNG frames in song-frames (6 frames, 128x96, 30 fps)\n"),
            std::string::npos) << run.err;
  EXPECT_EQ(FolderNames(folder.File("song-frames")).size(), 6u);
}

TEST(CorvexProgram, TheVideoShowsThePngFramesColoursAndTheEncoderTakesItsSettings) {
  TempFolder folder;
  WriteSineWav(folder.File("tone.wav"), 22050, 0.5, 330.0, 12000.0);
  // Each in a fresh process: a run leaves the plug-in's process-wide state behind.
  const std::vector<std::string> common = {kCorvex, "render", folder.File("tone.wav"), "--seed", "42", "--size",
                                           "130x96", "-q"};
  const auto render = [&](std::vector<std::string> more) {
    more.insert(more.begin(), common.begin(), common.end());
    const ProgramRun run = RunProcess(more);
    EXPECT_EQ(run.status, 0) << run.err;
  };
  render({"--png", folder.File("frames")});
  render({"--crf", "0", "--preset", "ultrafast", "-o", folder.File("fine.mkv")});
  render({"--crf", "40", "-o", folder.File("coarse.mkv")});
  const std::string png = DecodedRgb(folder.File("frames/frame_%06d.png"), folder.File("png.rgb"));
  const std::string video = DecodedRgb(folder.File("fine.mkv"), folder.File("video.rgb"));
  ASSERT_EQ(png.size(), 15u * 130 * 96 * 3);
  ASSERT_EQ(video.size(), png.size());
  // Only the halved colour resolution differs: a frame dropped, shifted or torn differs by tens.
  double difference[3] = {0, 0, 0};
  for (size_t i = 0; i < png.size(); ++i) {
    difference[i % 3] += std::abs(static_cast<uint8_t>(png[i]) - static_cast<uint8_t>(video[i]));
  }
  for (double& channel : difference) {
    channel /= static_cast<double>(png.size() / 3);
    EXPECT_LT(channel, 2.0) << "mean difference of a channel, red first";
  }
  EXPECT_GT(std::filesystem::file_size(folder.File("fine.mkv")), 4 * std::filesystem::file_size(folder.File("coarse.mkv")));
  const std::string probe = RunProcess({"ffprobe", "-v", "error", "-show_entries", "stream=color_space,color_range",
                                        folder.File("fine.mkv")}).out;
  EXPECT_NE(probe.find("color_space=bt709"), std::string::npos) << probe;
  EXPECT_NE(probe.find("color_range=tv"), std::string::npos) << probe;
}

TEST(CorvexProgram, AnErrorMidRenderStartsOnALineOfItsOwnAndQuotesFfmpegWithTheOutputsName) {
  TempFolder folder;
  const std::string tone = folder.File("tone.wav"), out = folder.File("out.mp4");
  WriteSineWav(tone, 44100, 1.0, 440.0, 8000.0);
  ScopedPath path(FailingFfmpegFolder(folder, 300000));  // about 8 frames of 128x96
  const ProgramRun run = RunCorvexHere({"render", tone, "--size", "128x96", "-o", out});
  EXPECT_EQ(run.status, 4);
  EXPECT_EQ(run.err.rfind("\rframe=", 0), 0u) << run.err;
  const std::string said = "x\ncorvex: ffmpeg stopped while taking frame ";
  EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(": Error writing trailer of " + out + ": No space left on device / Conversion failed!\n"),
            std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(".partial"), std::string::npos) << "the hidden name is not the user's";
  EXPECT_EQ(FolderNames(folder.path()), (std::vector<std::string>{"bin", "tone.wav"}));
}

TEST(CorvexProgram, TheOutputIsNeverOneOfTheInputs) {
  TempFolder folder;
  WriteAudio(folder.File("keep.mkv"), 22050, 2, 22050, [](int64_t f, int32_t) { return static_cast<int16_t>(f); });
  // A WAV file named like a video: its default output has its own name.
  WriteAudio(folder.File("track.mp4"), 22050, 2, 22050, [](int64_t f, int32_t) { return static_cast<int16_t>(f); },
             {{"-f", "wav"}});
  const std::string keep = ReadFile(folder.File("keep.mkv")), track = ReadFile(folder.File("track.mp4"));
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  const ProgramRun named = RunCorvexHere({"render", "keep.mkv", "-o", folder.File("keep.mkv")});
  const ProgramRun byDefault = RunCorvexHere({"render", "track.mp4"});
  const ProgramRun settings = RunCorvexHere({"render", "track.mp4", "--settings", "my.mp4", "-o", "my.mp4"});
  std::filesystem::current_path(here);
  EXPECT_EQ(named.status, 2);
  EXPECT_EQ(named.err, "corvex: " + folder.File("keep.mkv") +
                           ": that is the input keep.mkv, which the video would replace; name another output with -o\n");
  EXPECT_EQ(byDefault.status, 2);
  EXPECT_NE(byDefault.err.find("track.mp4: that is the input track.mp4"), std::string::npos) << byDefault.err;
  EXPECT_EQ(settings.status, 3) << "a settings file that is not there is not replaced either: " << settings.err;
  EXPECT_EQ(ReadFile(folder.File("keep.mkv")), keep);
  EXPECT_EQ(ReadFile(folder.File("track.mp4")), track);
  EXPECT_EQ(FolderNames(folder.path()), (std::vector<std::string>{"keep.mkv", "track.mp4"}));
}

TEST(CorvexProgram, KeysBeforeTheStartAreLeftOutWithANote) {
  TempFolder folder;
  WriteSineWav(folder.File("tone.wav"), 22050, 1.0, 440.0, 8000.0);
  const ProgramRun run = RunCorvexHere({"render", folder.File("tone.wav"), "--start", "0.5", "--keys",
                                        "0.25:Esc,0.1:F5,0.6:Space", "--size", "64x64", "--png",
                                        folder.File("frames")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.rfind("corvex: --keys before --start 0.50 s are not pressed: 0.1:F5, 0.25:Esc\n", 0), 0u) << run.err;
  EXPECT_EQ(FolderNames(folder.File("frames")).size(), 15u) << "Esc before the start ended nothing";
}

TEST(CorvexProgram, ListShowsTheSlots) {
  const std::string list = RunCorvexHere({"--list"}).out;
  EXPECT_NE(list.find("Renderers (slot, name):\n   0  Plain-Vanilla Waveforms\n"), std::string::npos) << list;
  EXPECT_NE(list.find("  13  Floating Triangle\nTransforms (slot, name):\n"), std::string::npos);
  EXPECT_NE(list.find("\n  14  "), std::string::npos);
}

TEST(KeyScript, TimesAndNamesBecomeKeyMessagesInTimeOrder) {
  using namespace platform;
  const auto keys = ParseKeyScript(" 12.5:F5, 30:space,3:Alt+Enter,12.5:x , 0:f12,1e1:Tab,4:esc,5:7,,");
  const std::tuple<double, uint32_t, uint32_t> expected[] = {
      {0, wm::KeyDown, vk::F12}, {3, wm::SysKeyDown, vk::Return}, {4, wm::KeyDown, vk::Escape},
      {5, wm::KeyDown, '7'},     {10, wm::KeyDown, vk::Tab},      {12.5, wm::KeyDown, vk::F5},
      {12.5, wm::KeyDown, 'X'},  {30, wm::KeyDown, vk::Space}};
  ASSERT_EQ(keys.size(), std::size(expected));
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(std::tuple(keys[i].seconds, keys[i].message, keys[i].virtualKey), expected[i]) << i;
  }
}

TEST(KeyScript, AFaultyEntryIsNamedInTheMessage) {
  for (const char* script : {"12.5", "x:F5", "-1:F5", "nan:F5", "1:F13", "1:F0", "1:Shift", "1:",
                             "2:F5,3:Alt+", "1:F99999999999", "1..5:F5"}) {
    try {
      ParseKeyScript(script);
      ADD_FAILURE() << script << " was accepted";
    } catch (const HostError& error) {
      EXPECT_EQ(error.status, ExitStatus::kUsage);
      EXPECT_EQ(std::string(error.what()).rfind("--keys: \"", 0), 0u) << error.what();
    }
  }
}

}  // namespace
}  // namespace corvex::host
