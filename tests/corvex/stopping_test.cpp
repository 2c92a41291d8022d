// The real corvex program stopped by a signal in the middle of a render, and its memory over
// long songs: what a user sees and what is left on disk.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "program_runs.h"
#include "test_files.h"

namespace corvex::host {
namespace {

using namespace testing;

// Starts corvex with the given arguments, its temporary folder inside `temp` and its stderr in
// `errPath`; returns its process id. The stop signals have their default actions, whatever
// this process was started with, except `ignored`, which corvex starts with ignored.
pid_t StartCorvex(const std::vector<std::string>& args, const std::string& temp, const std::string& errPath,
                  const std::string& asanOptions = "", rlim_t addressSpace = RLIM_INFINITY, int ignored = 0) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP}) std::signal(signal, signal == ignored ? SIG_IGN : SIG_DFL);
    const struct rlimit limit {addressSpace, addressSpace};
    setrlimit(RLIMIT_AS, &limit);
    setenv("TMPDIR", temp.c_str(), 1);
    if (!asanOptions.empty()) {
      const char* before = std::getenv("ASAN_OPTIONS");
      setenv("ASAN_OPTIONS", ((before != nullptr ? std::string(before) + ":" : "") + asanOptions).c_str(), 1);
    }
    freopen("/dev/null", "r", stdin);
    freopen("/dev/null", "w", stdout);
    freopen(errPath.c_str(), "w", stderr);
    std::vector<char*> argv{const_cast<char*>(kCorvex.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(kCorvex.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

// Whether any process still has `text` in its command line (an ffmpeg left running).
bool SomeProcessMentions(const std::string& text) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string command = ReadFile(entry.path().string() + "/cmdline");
    if (command.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(Stopping, ASignalMidRenderStopsFfmpegRemovesEverythingStagedAndEndsWith128PlusIt) {
  struct Case {
    int signal;
    const char* name;
    bool png;
  };
  for (const Case& c : {Case{SIGINT, "INT", false}, Case{SIGTERM, "TERM", true}, Case{SIGHUP, "HUP", false},
                        Case{SIGQUIT, "QUIT", true}}) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string temp = folder.File("temp"), err = folder.File("err");
    std::filesystem::create_directory(temp);
    const std::vector<std::string> output =
        c.png ? std::vector<std::string>{"--png", folder.File("frames")} : std::vector<std::string>{"-o", folder.File("demo.mp4")};
    std::vector<std::string> args = {"render", "--size", "320x240"};
    args.insert(args.end(), output.begin(), output.end());
    const pid_t corvex = StartCorvex(args, temp, err);
    ASSERT_GT(corvex, 0);
    // A few frames in, with the output staged and (for a video) ffmpeg at work.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (ReadFile(err).find("frame=     ") == std::string::npos && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(corvex, c.signal);
    int status = 0;
    ASSERT_EQ(waitpid(corvex, &status, 0), corvex);

    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself: nothing was cleaned up";
    EXPECT_EQ(WEXITSTATUS(status), 128 + c.signal);
    const std::string said = ReadFile(err);
    const std::string last = std::string("x\ncorvex: stopped by SIG") + c.name + "; nothing was written\n";
    ASSERT_GE(said.size(), last.size()) << said;
    EXPECT_EQ(said.substr(said.size() - last.size()), last) << "the progress line is ended first: " << said;
    EXPECT_EQ(FolderNames(folder.path()), (std::vector<std::string>{"err", "temp"})) << "a staged file is left";
    EXPECT_EQ(FolderNames(temp), std::vector<std::string>{}) << "the work folder is left";
    EXPECT_FALSE(SomeProcessMentions(folder.path())) << "ffmpeg still runs";
  }
}

TEST(Stopping, ASignalIgnoredWhenCorvexStartsLeavesTheRenderGoingAsUnderNohup) {
  TempFolder folder;
  const std::string temp = folder.File("temp"), err = folder.File("err"), video = folder.File("demo.mp4");
  std::filesystem::create_directory(temp);
  const pid_t corvex = StartCorvex({"render", "--size", "320x240", "--duration", "4", "-o", video}, temp, err, "",
                                   RLIM_INFINITY, SIGHUP);
  ASSERT_GT(corvex, 0);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (ReadFile(err).find("frame=     ") == std::string::npos && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(corvex, SIGHUP);
  int status = 0;
  ASSERT_EQ(waitpid(corvex, &status, 0), corvex);
  ASSERT_TRUE(WIFEXITED(status)) << ReadFile(err);
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadFile(err);
  EXPECT_NE(ReadFile(err).find("corvex: wrote " + video + " (120 frames"), std::string::npos) << ReadFile(err);
}

// Peak resident memory of a corvex run, in MB.
double PeakMegabytes(const std::vector<std::string>& args, const std::string& temp, const std::string& err) {
  // The sanitizer's quarantine would otherwise keep every freed decoder frame for a while.
  const pid_t corvex = StartCorvex(args, temp, err, "quarantine_size_mb=4");
  int status = 0;
  struct rusage usage {};
  if (wait4(corvex, &status, 0, &usage) != corvex || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << ReadFile(err);
    return 0.0;
  }
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

TEST(Stopping, MemoryStaysFlatWhateverTheSongsLength) {
  TempFolder folder;
  const std::string temp = folder.File("temp"), err = folder.File("err");
  std::filesystem::create_directory(temp);
  // 20 s and 20 minutes of a tone: 20 minutes in memory as 16-bit stereo would be 106 MB.
  for (const auto& [name, seconds] : {std::pair("short.flac", 20), std::pair("long.flac", 1200)}) {
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -f lavfi -i sine=f=440:r=22050:d=" + std::to_string(seconds) +
                           " " + folder.File(name)).c_str()), 0);
  }
  const auto peak = [&](const char* name, int start) {
    return PeakMegabytes({"render", folder.File(name), "--start", std::to_string(start), "--duration", "1",
                          "--size", "64x64", "-q", "-o", folder.File(std::string(name) + ".mp4")},
                         temp, err);
  };
  const double little = peak("short.flac", 18), lot = peak("long.flac", 1198);
  EXPECT_GT(little, 0.0);
  EXPECT_LT(lot - little, 20.0) << little << " MB for 20 s, " << lot << " MB for 20 minutes";

  // A WAV of 2 s whose closing LIST chunk claims 1.2 GB and its text tag 1.1 GB: the tag is
  // left unread, the song plays, and memory stays what the song needs.
  WriteSineWav(folder.File("claims.wav"), 22050, 2.0, 440.0, 8000.0);
  std::ofstream(folder.File("claims.wav"), std::ios::binary | std::ios::app)
      .write("LIST\0\0\0\x48INFOISFT\0\0\0\x46untitled song\0\0\0", 36);
  const double lied = peak("claims.wav", 0);
  EXPECT_GT(lied, 0.0);
  EXPECT_LT(lied - little, 20.0) << little << " MB for a true header, " << lied << " MB for a lying one";
}

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer reserves more address space than any limit
TEST(Stopping, RunningOutOfMemoryIsOneLineAndLeavesNothing) {
  TempFolder folder;
  const std::string temp = folder.File("temp"), err = folder.File("err");
  std::filesystem::create_directory(temp);
  WriteSineWav(folder.File("tone.wav"), 22050, 1.0, 440.0, 8000.0);
  // 400 MB of address space: the program starts, an 8K picture's buffers do not fit.
  const pid_t corvex = StartCorvex({"render", folder.File("tone.wav"), "--size", "7680x4320", "-q", "-o",
                                    folder.File("big.mp4")}, temp, err, "", rlim_t{400} << 20);
  int status = 0;
  ASSERT_EQ(waitpid(corvex, &status, 0), corvex);
  ASSERT_TRUE(WIFEXITED(status)) << ReadFile(err);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadFile(err), "corvex: out of memory\n");
  EXPECT_EQ(FolderNames(folder.path()), (std::vector<std::string>{"err", "temp", "tone.wav"}));
  EXPECT_EQ(FolderNames(temp), std::vector<std::string>{});
}
#endif

}  // namespace
}  // namespace corvex::host
