#include "library_floor/library_calls.h"

#include "transforms/transform_manager.h"

// The linker sends every reference to f in the program to __wrap_f and __real_f to the
// library's f (-Wl,--wrap=f, set by the corvex_library_calls target). The compiler has already
// chosen the calls by then, a sine and a cosine of one angle made into one sincos included, so
// what is caught is what the build's code really calls.
extern "C" {
double __real_atan2(double y, double x);
double __real_sin(double x);
double __real_cos(double x);
void __real_sincos(double x, double* sine, double* cosine);
double __real_pow(double base, double exponent);
}

namespace corvex::bench {
namespace {
// Where the calling thread's calls go while it records; other threads' calls are not caught.
thread_local LibraryCalls* recording = nullptr;
}  // namespace

LibraryCalls RecordBuild(TransformManager& map) {
  LibraryCalls calls;
  const int32_t threads = map.buildThreads;
  map.buildThreads = 1;
  recording = &calls;
  map.BuildMap();
  recording = nullptr;
  map.buildThreads = threads;
  return calls;
}

double ReplayCalls(const LibraryCalls& calls) {
  double sum = 0;
  for (const TwoArguments& c : calls.atan2) sum += __real_atan2(c.a, c.b);
  for (double x : calls.sin) sum += __real_sin(x);
  for (double x : calls.cos) sum += __real_cos(x);
  for (double x : calls.sincos) {
    double sine, cosine;
    __real_sincos(x, &sine, &cosine);
    sum += sine + cosine;
  }
  for (const TwoArguments& c : calls.pow) sum += __real_pow(c.a, c.b);
  return sum;
}

}  // namespace corvex::bench

extern "C" {
using corvex::bench::recording;

double __wrap_atan2(double y, double x) {
  if (recording != nullptr) recording->atan2.push_back({y, x});
  return __real_atan2(y, x);
}
double __wrap_sin(double x) {
  if (recording != nullptr) recording->sin.push_back(x);
  return __real_sin(x);
}
double __wrap_cos(double x) {
  if (recording != nullptr) recording->cos.push_back(x);
  return __real_cos(x);
}
void __wrap_sincos(double x, double* sine, double* cosine) {
  if (recording != nullptr) recording->sincos.push_back(x);
  __real_sincos(x, sine, cosine);
}
double __wrap_pow(double base, double exponent) {
  if (recording != nullptr) recording->pow.push_back({base, exponent});
  return __real_pow(base, exponent);
}
}
