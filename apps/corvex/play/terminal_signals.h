#pragma once
// SDL turns Ctrl-C and kill's SIGTERM into a quit, which a live run takes as the closing of its
// window: the plug-in quits and saves its settings. A closed terminal (SIGHUP) and Ctrl+\ or
// SIGQUIT would end the process at once instead, the settings unsaved and a settings copy
// left in its temporary folder. While one of these lives they are passed on as SIGTERM (raise
// is safe in a handler), so they end the run the same way. A signal ignored when corvex started
// stays ignored, as under nohup.
#include <signal.h>

#include <array>

namespace corvex::host {

class TerminalSignalsAsTermination {
 public:
  TerminalSignalsAsTermination() {
    struct sigaction action {};
    action.sa_handler = [](int) { raise(SIGTERM); };
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kSignals.size(); ++i) {
      sigaction(kSignals[i], nullptr, &previous_[i]);
      if (previous_[i].sa_handler == SIG_DFL) sigaction(kSignals[i], &action, nullptr);
    }
  }
  ~TerminalSignalsAsTermination() {
    for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  }
  TerminalSignalsAsTermination(const TerminalSignalsAsTermination&) = delete;
  TerminalSignalsAsTermination& operator=(const TerminalSignalsAsTermination&) = delete;

 private:
  static constexpr std::array<int, 2> kSignals = {SIGHUP, SIGQUIT};
  std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace corvex::host
