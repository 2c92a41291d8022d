#pragma once
#include <signal.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace corvex::host {

// While one lives, `handler` takes each of `signals` that was not ignored when it was made: a
// signal ignored at start stays ignored, so that nohup keeps corvex going when its terminal
// closes and a shell's background job is not stopped by keys meant for the foreground. No
// SA_RESTART: a call blocked when a signal comes returns and the caller can see it. The
// previous actions come back when it goes.
class TakenSignals {
 public:
  TakenSignals(std::initializer_list<int> signals, void (*handler)(int));
  ~TakenSignals();
  TakenSignals(const TakenSignals&) = delete;
  TakenSignals& operator=(const TakenSignals&) = delete;

 private:
  std::vector<std::pair<int, struct sigaction>> previous_;
};

}  // namespace corvex::host
