#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "work_folder.h"

namespace corvex::host::testing {

// A temporary folder for one test, removed with its contents: the host's own.
using TempFolder = WorkFolder;

// Writes an audio file with libsndfile (format from SF_FORMAT_*), sample(frame, channel)
// giving each 16-bit sample, and the title and artist tags when not empty.
void WriteAudio(const std::string& path, int format, int32_t sampleRate, int32_t channels,
                int64_t frames, const std::function<int16_t(int64_t, int32_t)>& sample,
                const std::string& title = "", const std::string& artist = "");

// A sine of the given frequency and amplitude (16-bit units), stereo 16-bit WAV.
void WriteSineWav(const std::string& path, int32_t sampleRate, double seconds, double frequency,
                  double amplitude, const std::string& title = "");

std::string ReadFile(const std::string& path);

// Runs the corvex program with args in the folder `where` (empty: this process's); a non-empty
// pathVariable replaces PATH.
struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};
ProgramRun RunCorvex(const std::vector<std::string>& args, const std::string& where = "",
                     const std::string& pathVariable = "");
ProgramRun RunProgram(const std::vector<std::string>& argv);

// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder);

}  // namespace corvex::host::testing
