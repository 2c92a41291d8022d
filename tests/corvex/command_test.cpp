// corvex as a user runs it: the program itself, its output files, its messages and statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_files.h"

namespace corvex::host {
namespace {

using testing::FolderNames;
using testing::ProgramRun;
using testing::ReadFile;
using testing::RunCorvex;
using testing::RunProgram;
using testing::TempFolder;

std::string Probe(const std::string& video, const std::string& entries) {
  return RunProgram({"ffprobe", "-v", "error", "-count_frames", "-show_entries", entries, "-of",
                     "default=noprint_wrappers=1", video})
      .out;
}

double ProbeNumber(const std::string& probe, const std::string& key) {
  const size_t at = probe.find(key + "=");
  return at == std::string::npos ? -1.0 : std::atof(probe.c_str() + at + key.size() + 1);
}

// Decodes a video into its frames of packed RGB.
std::vector<std::vector<uint8_t>> DecodeFrames(const std::string& video, const std::string& raw,
                                               size_t frameBytes) {
  RunProgram({"ffmpeg", "-v", "error", "-y", "-i", video, "-f", "rawvideo", "-pix_fmt", "rgb24", raw});
  const std::string bytes = ReadFile(raw);
  std::vector<std::vector<uint8_t>> frames;
  for (size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
    frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + frameBytes));
  }
  return frames;
}

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double sum = 0.0;
  for (size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
  return sum / static_cast<double>(a.size());
}

TEST(CorvexProgram, TheDemoBecomesAVideoOfTheAskedLengthSizeAndPictures) {
  TempFolder folder;
  const std::string video = folder.File("demo.mp4");
  const ProgramRun run = RunCorvex({"render", "--size", "320x240", "--duration", "3", "--seed",
                                    "3", "--start", "16", "-q", "-o", video});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "") << "quiet";
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::string>{"demo.mp4"})
      << "nothing but the video is left";

  const std::string streams = Probe(video, "stream=codec_type,codec_name,width,height,nb_read_frames");
  EXPECT_NE(streams.find("codec_name=h264"), std::string::npos) << streams;
  EXPECT_NE(streams.find("codec_type=audio"), std::string::npos) << streams;
  EXPECT_EQ(ProbeNumber(streams, "width"), 320);
  EXPECT_EQ(ProbeNumber(streams, "height"), 240);
  EXPECT_EQ(ProbeNumber(streams, "nb_read_frames"), 90);
  EXPECT_NEAR(ProbeNumber(Probe(video, "format=duration"), "duration"), 3.0, 0.05);

  const auto frames = DecodeFrames(video, folder.File("frames.rgb"), 320 * 240 * 3);
  ASSERT_EQ(frames.size(), 90u);
  int lit = 0;
  for (const auto& frame : frames) {
    lit += std::count_if(frame.begin(), frame.end(), [](uint8_t v) { return v > 64; }) > 500;
  }
  EXPECT_GT(lit, 60) << "most frames show something";
  EXPECT_GT(MeanDifference(frames[30], frames[60]), 1.0) << "the picture moves";
  EXPECT_GT(MeanDifference(frames[60], frames[89]), 1.0);
}

TEST(CorvexProgram, TheSameSeedGivesTheSamePngFrames) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("tone.wav"), 22050, 1.0, 330.0, 12000.0, "Tone");
  std::vector<std::string> runs[3];
  const char* seeds[3] = {"42", "42", "43"};
  for (int i = 0; i < 3; ++i) {
    const std::string frames = folder.File("frames" + std::to_string(i));
    const ProgramRun run = RunCorvex({"render", folder.File("tone.wav"), "--png", frames, "--seed",
                                      seeds[i], "--size", "128x96", "--duration", "0.5", "-q"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string& name : FolderNames(frames)) runs[i].push_back(ReadFile(frames + "/" + name));
    ASSERT_EQ(FolderNames(frames).front(), "frame_000001.png");
  }
  ASSERT_EQ(runs[0].size(), 15u);
  EXPECT_TRUE(runs[0] == runs[1]) << "same seed, same frames";
  EXPECT_FALSE(runs[0] == runs[2]) << "another seed, another run";
  // The PNG header holds the size: the display offered exactly the size asked for.
  const std::string& png = runs[0][0];
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  const auto be32 = [&](size_t at) {
    return (static_cast<uint8_t>(png[at]) << 24) | (static_cast<uint8_t>(png[at + 1]) << 16) |
           (static_cast<uint8_t>(png[at + 2]) << 8) | static_cast<uint8_t>(png[at + 3]);
  };
  EXPECT_EQ(be32(16), 128);
  EXPECT_EQ(be32(20), 96);
}

// A stand-in for ffmpeg that takes some input, writes part of a file and fails.
std::string FailingFfmpeg(const TempFolder& folder) {
  const std::string bin = folder.File("bin");
  std::filesystem::create_directory(bin);
  const std::string script = bin + "/ffmpeg";
  std::ofstream(script) << "#!/bin/sh\n"
                           "for last; do :; done\n"
                           "head -c 100000 >/dev/null\n"
                           "echo half > \"$last\"\n"
                           "echo 'Conversion failed: disk on fire' >&2\n"
                           "exit 1\n";
  chmod(script.c_str(), 0755);
  return bin + ":/usr/bin:/bin";
}

TEST(CorvexProgram, EachBadInputGivesOneLineAStatusAndNoOutput) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("tone.wav"), 44100, 1.0, 440.0, 8000.0);
  std::ofstream(folder.File("notes.txt")) << "not audio\n";
  std::filesystem::create_directory(folder.File("sub"));
  const std::string tone = folder.File("tone.wav");
  const std::string out = folder.File("out.mp4");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
    std::string path = "";
  };
  const std::vector<Case> cases = {
      {{"render", folder.File("gone.wav"), "-o", out}, 3, folder.File("gone.wav") + ": no such file"},
      {{"render", folder.File("sub"), "-o", out}, 3, folder.File("sub") + ": cannot read: it is a folder"},
      {{"render", folder.File("notes.txt"), "-o", out}, 3, folder.File("notes.txt") + ": not an audio file"},
      {{"render", tone, "--size", "16x16", "-o", out}, 2, "--size 16x16: the display cannot offer that size"},
      {{"render", tone, "--size", "wide", "-o", out}, 2, "--size \"wide\": expected WIDTHxHEIGHT"},
      {{"render", tone, "-o", folder.File("nowhere/out.mp4")}, 4, folder.File("nowhere/out.mp4") + ": cannot write: No such file or directory"},
      {{"render", tone, "-o", folder.File("sub")}, 4, folder.File("sub") + ": cannot write: it is a folder"},
      {{"render", tone, "--png", tone}, 4, tone + ": cannot write: it is a file, not a folder"},
      {{"render", tone, "-o", out}, 4, "the ffmpeg program was not found on PATH", "/nonexistent"},
      {{"render", tone, "-o", out}, 4, "Conversion failed: disk on fire", FailingFfmpeg(folder)},
      {{"render", tone, "--lock-renderer", "Teapot", "-o", out}, 2, "no renderer named \"Teapot\""},
      {{"render", tone, "--keys", "3:F13", "-o", out}, 2, "--keys: \"3:F13\": unknown key"},
      {{"render", tone, "--start", "5", "-o", out}, 2, "--start 5.00 s is at or past the end of the audio (1.00 s)"},
      {{"render", tone, "--settings", folder.File("none.ini"), "-o", out}, 3, folder.File("none.ini") + ": no such settings file"},
      {{"render", tone, "--fps", "0", "-o", out}, 2, "--fps must be from 1 to 240"},
      {{"render", tone, "--bogus"}, 2, "--bogus"},
  };
  const std::vector<std::string> before = FolderNames(folder.path());
  for (const Case& c : cases) {
    const ProgramRun run = RunCorvex(c.args, folder.path(), c.path);
    std::string command;
    for (const std::string& arg : c.args) command += " " + arg;
    EXPECT_EQ(run.status, c.status) << command << "\n" << run.err;
    EXPECT_EQ(run.err.rfind("corvex: ", 0), 0u) << command << "\n" << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << command << "\n" << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << command << "\n" << run.err;
    EXPECT_EQ(FolderNames(folder.path()), before) << command << ": something was left behind";
  }
}

TEST(CorvexProgram, ListVersionAndHelpAnswerWithoutRendering) {
  const ProgramRun list = RunCorvex({"--list"});
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("   0  Plain-Vanilla Waveforms\n"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("  13  Floating Triangle\n"), std::string::npos);
  EXPECT_NE(list.out.find("Transforms"), std::string::npos);
  EXPECT_NE(list.out.find("  14  "), std::string::npos);
  EXPECT_EQ(RunCorvex({"render", "--list"}).out, list.out);

  const ProgramRun version = RunCorvex({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "corvex 1.07\n");

  const ProgramRun help = RunCorvex({"render", "--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"--output", "--png", "--size", "--fps", "--seed", "--start", "--duration",
                             "--frames-per-scene", "--lock-renderer", "--lock-transform", "--keys",
                             "--settings", "--info", "--quiet"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(RunCorvex({}).status, 2) << "no command";
}

TEST(CorvexProgram, WithoutFfmpegAndNoOutputNamedTheFramesBecomePngs) {
  TempFolder folder;
  testing::WriteSineWav(folder.File("song.wav"), 44100, 0.2, 440.0, 8000.0);
  const ProgramRun run = RunCorvex({"render", "song.wav", "--size", "128x96"}, folder.path(), "/nonexistent");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("corvex: ffmpeg not found; writing PNG frames to song-frames instead\n"),
            std::string::npos) << run.err;
  EXPECT_NE(run.err.find("frame=     6"), std::string::npos) << "the progress line: " << run.err;
  EXPECT_NE(run.err.find("corvex: wrote 6 PNG frames in song-frames"), std::string::npos) << run.err;
  EXPECT_EQ(FolderNames(folder.File("song-frames")).size(), 6u);
}

}  // namespace
}  // namespace corvex::host
