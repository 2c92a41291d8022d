#pragma once
// The renderers keep their state in function-local statics that nothing resets, so runs that
// are compared, or whose first frames matter, each go to a child forked from a copy of the test
// program taken before the first test. A scenario returns plain data for the test to check (an
// assertion in the child would be lost).
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <type_traits>
#include <vector>

namespace corvex::testing {

// One call, in memory shared by the test program, its pristine copy and the copy's children.
struct FreshCall {
  void (*run)(FreshCall&);  // unpacks the arguments, runs the scenario, packs its result
  void (*scenario)();
  alignas(16) unsigned char args[256];
  size_t resultBytes;
  alignas(16) unsigned char result[8u << 20];
};
inline FreshCall* freshCall = nullptr;
inline int freshRequests = -1, freshReplies = -1;

// The copy forks a child for each request and sends back the child's wait status.
struct PristineCopy : ::testing::Environment {
  void SetUp() override {
    freshCall = static_cast<FreshCall*>(mmap(nullptr, sizeof(FreshCall), PROT_READ | PROT_WRITE,
                                             MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    int toCopy[2], fromCopy[2];
    ASSERT_TRUE(freshCall != MAP_FAILED && pipe(toCopy) == 0 && pipe(fromCopy) == 0);
    if (fork() == 0) {
      close(toCopy[1]);
      close(fromCopy[0]);
      for (char request; read(toCopy[0], &request, 1) == 1;) {
        const pid_t child = fork();
        if (child == 0) {
          freshCall->run(*freshCall);
          _exit(0);
        }
        int status = -1;
        if (child > 0) waitpid(child, &status, 0);
        if (write(fromCopy[1], &status, sizeof status) != sizeof status) break;
      }
      _exit(0);  // the test program has ended
    }
    close(toCopy[0]);
    close(fromCopy[1]);
    freshRequests = toCopy[1];
    freshReplies = fromCopy[0];
  }
};
inline ::testing::Environment* const kPristineCopy =
    ::testing::AddGlobalTestEnvironment(new PristineCopy);

// scenario(args) in a fresh child; a failure and no data when the child does not end well.
template <typename T, typename Args>
std::vector<T> RunFresh(std::vector<T> (*scenario)(const Args&), const Args& args) {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_copyable_v<Args>);
  static_assert(sizeof(Args) <= sizeof(FreshCall::args));
  freshCall->scenario = reinterpret_cast<void (*)()>(scenario);
  std::memcpy(freshCall->args, &args, sizeof args);
  freshCall->run = [](FreshCall& call) {
    Args unpacked;
    std::memcpy(&unpacked, call.args, sizeof unpacked);
    const auto result = reinterpret_cast<decltype(scenario)>(call.scenario)(unpacked);
    call.resultBytes = result.size() * sizeof(T);
    if (call.resultBytes > sizeof call.result) _exit(2);
    if (call.resultBytes > 0) std::memcpy(call.result, result.data(), call.resultBytes);
  };
  int status = -1;
  if (write(freshRequests, "", 1) != 1 ||
      read(freshReplies, &status, sizeof status) != sizeof status || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << "the scenario's process failed (wait status " << status << ")";
    return {};
  }
  std::vector<T> result(freshCall->resultBytes / sizeof(T));
  if (!result.empty()) std::memcpy(result.data(), freshCall->result, freshCall->resultBytes);
  return result;
}

}  // namespace corvex::testing
