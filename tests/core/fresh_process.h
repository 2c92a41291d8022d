#pragma once
// Runs a scenario in a process that starts from this test program as it was before any test
// ran. The renderers keep process-wide statics that nothing resets, so two runs can only be
// compared, and a frame hash only reproduced, when each starts from a freshly loaded state.
//
// Before the first test a copy of the program is forked and waits; each scenario is sent to it
// and run in a child forked from that pristine copy, which writes its result to a pipe. A
// scenario must not use gtest assertions (they would stay in the child): it returns data and
// the test checks it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace corvex::testing {

using Bytes = std::vector<uint8_t>;
using ScenarioFunction = Bytes (*)(const Bytes& input);

namespace fresh_process {

inline bool WriteAll(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

inline bool ReadAll(int fd, void* data, size_t size) {
  auto* bytes = static_cast<uint8_t*>(data);
  while (size > 0) {
    const ssize_t got = read(fd, bytes, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

inline Bytes ReadToEnd(int fd) {
  Bytes all;
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return all;
    all.insert(all.end(), chunk, chunk + got);
  }
}

struct Pristine {
  pid_t pid = -1;
  int requests = -1;  // to the pristine copy: scenario address, input size, input
  int replies = -1;   // from it: wait status, output size, output
};

inline Pristine& ThePristine() {
  static Pristine pristine;
  return pristine;
}

// The pristine copy's loop: one child per scenario, its output passed back once it has ended.
[[noreturn]] inline void Serve(int requests, int replies) {
  for (;;) {
    uintptr_t address = 0;
    uint64_t size = 0;
    if (!ReadAll(requests, &address, sizeof address) || !ReadAll(requests, &size, sizeof size)) {
      _exit(0);
    }
    Bytes input(size);
    if (!ReadAll(requests, input.data(), input.size())) _exit(0);
    int output[2];
    if (pipe(output) != 0) _exit(1);
    const pid_t child = fork();
    if (child == 0) {
      close(output[0]);
      close(requests);
      close(replies);
      const Bytes result = reinterpret_cast<ScenarioFunction>(address)(input);
      _exit(WriteAll(output[1], result.data(), result.size()) ? 0 : 3);
    }
    close(output[1]);
    const Bytes result = child > 0 ? ReadToEnd(output[0]) : Bytes{};
    close(output[0]);
    int32_t status = -1;
    if (child > 0) {
      int raw = 0;
      while (waitpid(child, &raw, 0) < 0 && errno == EINTR) {
      }
      status = raw;
    }
    const uint64_t resultSize = result.size();
    if (!WriteAll(replies, &status, sizeof status) ||
        !WriteAll(replies, &resultSize, sizeof resultSize) ||
        !WriteAll(replies, result.data(), result.size())) {
      _exit(0);
    }
  }
}

class PristineCopy : public ::testing::Environment {
 public:
  void SetUp() override {
    int requests[2], replies[2];
    ASSERT_EQ(pipe(requests), 0);
    ASSERT_EQ(pipe(replies), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(requests[1]);
      close(replies[0]);
      Serve(requests[0], replies[1]);
    }
    close(requests[0]);
    close(replies[1]);
    ThePristine() = {pid, requests[1], replies[0]};
  }
  void TearDown() override {
    Pristine& pristine = ThePristine();
    if (pristine.pid <= 0) return;
    close(pristine.requests);
    close(pristine.replies);
    waitpid(pristine.pid, nullptr, 0);
    pristine = {};
  }
};

inline ::testing::Environment* const kPristineCopy =
    ::testing::AddGlobalTestEnvironment(new PristineCopy);

template <typename T>
void Append(Bytes& bytes, const T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  // Grown then copied into: GCC 12 at -O3 mistakes an insert into an empty vector for an
  // overflow (-Wstringop-overflow).
  const size_t at = bytes.size();
  bytes.resize(at + sizeof value);
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

template <typename T>
struct Codec {
  static_assert(std::is_trivially_copyable_v<T>);
  static Bytes Encode(const T& value) {
    Bytes bytes;
    Append(bytes, value);
    return bytes;
  }
  static T Decode(const Bytes& bytes) {
    T value{};
    if (bytes.size() == sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
    return value;
  }
};

template <typename T>
struct Codec<std::vector<T>> {
  static_assert(std::is_trivially_copyable_v<T>);
  static Bytes Encode(const std::vector<T>& values) {
    Bytes bytes(values.size() * sizeof(T));
    if (!bytes.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
  }
  static std::vector<T> Decode(const Bytes& bytes) {
    std::vector<T> values(bytes.size() / sizeof(T));
    if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
    return values;
  }
};

// Unpacks the typed scenario's address and arguments, runs it, packs its result.
template <typename Result, typename Args>
Bytes Typed(const Bytes& input) {
  Result (*scenario)(const Args&) = nullptr;
  std::memcpy(&scenario, input.data(), sizeof scenario);
  Args args{};
  std::memcpy(&args, input.data() + sizeof scenario, sizeof args);
  return Codec<Result>::Encode(scenario(args));
}

}  // namespace fresh_process

// Runs scenario(input) in a fresh child; records a test failure and returns nothing when the
// child does not end normally.
inline Bytes RunFresh(ScenarioFunction scenario, const Bytes& input) {
  using namespace fresh_process;
  Pristine& pristine = ThePristine();
  if (pristine.pid <= 0) {
    ADD_FAILURE() << "no pristine copy of the test program to run the scenario in";
    return {};
  }
  const auto address = reinterpret_cast<uintptr_t>(scenario);
  const uint64_t size = input.size();
  int32_t status = -1;
  uint64_t resultSize = 0;
  if (!WriteAll(pristine.requests, &address, sizeof address) ||
      !WriteAll(pristine.requests, &size, sizeof size) ||
      !WriteAll(pristine.requests, input.data(), input.size()) ||
      !ReadAll(pristine.replies, &status, sizeof status) ||
      !ReadAll(pristine.replies, &resultSize, sizeof resultSize)) {
    ADD_FAILURE() << "the pristine copy of the test program is gone";
    return {};
  }
  Bytes result(resultSize);
  ReadAll(pristine.replies, result.data(), result.size());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << "the scenario's process ended "
                  << (WIFSIGNALED(status) ? "by signal " : "with status ")
                  << (WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
    return {};
  }
  return result;
}

// Typed form: Args must be trivially copyable; Result too, or a vector of such values.
template <typename Result, typename Args>
Result RunFresh(Result (*scenario)(const Args&), const Args& args) {
  using namespace fresh_process;
  static_assert(std::is_trivially_copyable_v<Args>);
  Bytes input;
  Append(input, scenario);
  Append(input, args);
  return Codec<Result>::Decode(RunFresh(&Typed<Result, Args>, input));
}

}  // namespace corvex::testing
