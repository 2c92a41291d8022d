#include "interruption.h"

#include <signal.h>

namespace corvex::host {

namespace {

volatile sig_atomic_t caughtSignal = 0;

void NoteSignal(int signal) { caughtSignal = signal; }

}  // namespace

InterruptionGuard::InterruptionGuard() {
  caughtSignal = 0;
  // Ctrl-C, Ctrl-\, kill's default and a closed terminal. A write to ffmpeg blocked on a full
  // pipe comes back when one arrives and sees it.
  taken_.emplace(std::initializer_list<int>{SIGINT, SIGQUIT, SIGTERM, SIGHUP}, &NoteSignal);
}

void StopIfInterrupted() {
  if (caughtSignal != 0) throw Interrupted(caughtSignal);
}

}  // namespace corvex::host
