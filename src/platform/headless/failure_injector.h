#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace corvex::platform::headless {

// Makes one chosen call of the headless backend fail with a chosen result code, so every
// failure path of the plug-in can be driven from a test. An injection names the operation
// by its Windows name ("CreateWindow" for CreateClassWindow, "Lock", ...) and how many
// successful calls to let through first.
class FailureInjector {
 public:
  void Inject(const std::string& operation, int32_t result, int32_t skip = 0) {
    pending_[operation] = Pending{result, skip};
  }
  void Clear() { pending_.clear(); }
  // Whether an injection is still waiting: the operation was not called often enough.
  bool IsPending(const std::string& operation) const { return pending_.count(operation) != 0; }

  // Called by each operation: the result to fail with, once, when its turn has come.
  std::optional<int32_t> Take(const std::string& operation) {
    auto found = pending_.find(operation);
    if (found == pending_.end()) return std::nullopt;
    if (found->second.skip > 0) {
      --found->second.skip;
      return std::nullopt;
    }
    int32_t result = found->second.result;
    pending_.erase(found);
    return result;
  }

 private:
  struct Pending {
    int32_t result;
    int32_t skip;
  };
  std::map<std::string, Pending> pending_;
};

}  // namespace corvex::platform::headless
