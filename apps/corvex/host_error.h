#pragma once
#include <stdexcept>
#include <string>

namespace corvex::host {

// Exit statuses of corvex, one per kind of problem, so scripts can tell them apart.
enum class ExitStatus : int {
  kOk = 0,
  kNoMemory = 1,     // the machine ran out of memory
  kUsage = 2,        // a bad option or option value, a size the display cannot offer
  kInput = 3,        // an input file that is missing, unreadable or not audio
  kOutput = 4,       // an output that cannot be written, no ffmpeg, ffmpeg failing
  kPlugin = 5,       // the plug-in refused to start or ended the process
};

// A problem to report to the user as one line; what() is that line without the program name.
class HostError : public std::runtime_error {
 public:
  HostError(ExitStatus exitStatus, const std::string& message)
      : std::runtime_error(message), status(exitStatus) {}
  ExitStatus status;
};

}  // namespace corvex::host
