#include "taken_signals.h"

namespace corvex::host {

TakenSignals::TakenSignals(std::initializer_list<int> signals, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (const int signal : signals) {
    struct sigaction before {};
    sigaction(signal, nullptr, &before);
    if (before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
    previous_.emplace_back(signal, before);
  }
}

TakenSignals::~TakenSignals() {
  for (const auto& [signal, before] : previous_) sigaction(signal, &before, nullptr);
}

}  // namespace corvex::host
