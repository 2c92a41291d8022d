#pragma once
// The C library's math calls that a map build makes, caught at link time with their
// arguments, so that the calls alone can be timed afterwards on exactly what the build asked
// for: the same arguments, as many of them as the build really makes (values it shares between
// mirrored pixels are asked for once), in the build's order within each function. A program
// that links corvex_library_calls has every call to atan2, sin, cos, sincos and pow routed
// through here; outside RecordBuild they pass straight on to the library.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvex {
class TransformManager;
}

namespace corvex::bench {

struct TwoArguments {
  double a, b;
};

struct LibraryCalls {
  std::vector<TwoArguments> atan2;  // (y, x)
  std::vector<double> sin, cos, sincos;
  std::vector<TwoArguments> pow;  // (base, exponent)
  size_t Count() const { return atan2.size() + sin.size() + cos.size() + sincos.size() + pow.size(); }
};

// Builds the map's current transform once on the calling thread and returns the calls the build
// made. The build runs on one thread whatever map.buildThreads says (restored afterwards): the
// count of calls does not depend on the threads, and only this thread's calls are caught.
LibraryCalls RecordBuild(TransformManager& map);

// Makes every recorded call again, straight to the library, and returns the sum of the results
// so that none of them can be left out.
double ReplayCalls(const LibraryCalls& calls);

}  // namespace corvex::bench
