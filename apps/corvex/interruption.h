#pragma once
#include <exception>
#include <optional>

#include "taken_signals.h"

namespace corvex::host {

// A render stopped by SIGINT, SIGQUIT, SIGTERM or SIGHUP. It unwinds like any failure, so
// everything staged is removed on the way out; the program then ends with 128 + the signal.
class Interrupted : public std::exception {
 public:
  explicit Interrupted(int signal) : signal_(signal) {}
  int signal() const { return signal_; }
  const char* what() const noexcept override { return "interrupted"; }

 private:
  int signal_;
};

// While one lives, SIGINT, SIGQUIT, SIGTERM and SIGHUP are caught instead of ending the process
// at once (unless ignored when it was made): the signal is noted, a blocked write or wait returns
// early, and the next check throws Interrupted. The previous handlers come back when it goes.
class InterruptionGuard {
 public:
  InterruptionGuard();
  InterruptionGuard(const InterruptionGuard&) = delete;
  InterruptionGuard& operator=(const InterruptionGuard&) = delete;

 private:
  std::optional<TakenSignals> taken_;  // taken once the last signal noted is forgotten
};

// Throws Interrupted when one of the signals arrived since the guard was made.
void StopIfInterrupted();

}  // namespace corvex::host
