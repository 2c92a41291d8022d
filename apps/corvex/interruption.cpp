#include "interruption.h"

#include <signal.h>

#include <array>

namespace corvex::host {

namespace {

// Ctrl-C, Ctrl-\, kill's default and a closed terminal.
constexpr std::array<int, 4> kStopSignals = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
volatile sig_atomic_t caughtSignal = 0;
std::array<struct sigaction, kStopSignals.size()> previous{};

void NoteSignal(int signal) { caughtSignal = signal; }

}  // namespace

InterruptionGuard::InterruptionGuard() {
  caughtSignal = 0;
  struct sigaction action {};
  action.sa_handler = &NoteSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a write to ffmpeg blocked on a full pipe must come back and see the signal.
  action.sa_flags = 0;
  for (size_t i = 0; i < kStopSignals.size(); ++i) {
    sigaction(kStopSignals[i], nullptr, &previous[i]);
    // A signal ignored when corvex started stays ignored: nohup keeps a render going when its
    // terminal closes, and a shell's background job is not stopped by keys meant for the
    // foreground.
    if (previous[i].sa_handler == SIG_IGN) continue;
    sigaction(kStopSignals[i], &action, nullptr);
  }
}

InterruptionGuard::~InterruptionGuard() {
  for (size_t i = 0; i < kStopSignals.size(); ++i) sigaction(kStopSignals[i], &previous[i], nullptr);
}

void StopIfInterrupted() {
  if (caughtSignal != 0) throw Interrupted(caughtSignal);
}

}  // namespace corvex::host
