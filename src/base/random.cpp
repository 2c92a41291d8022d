#include "base/random.h"

#include <cstdlib>
#include <ctime>

namespace corvex {

namespace {
bool seeded = false;
}

void SeedRandom(uint32_t seed) {
  std::srand(seed);
  seeded = true;
}

int32_t RandomInt(int32_t n) {
  if (!seeded) SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
  // No whole number lies in 0..n for a negative n (a frame without columns, say); 0 keeps the
  // caller inside its arrays.
  if (n < 0) return 0;
  return static_cast<int32_t>(std::rand() % (static_cast<int64_t>(n) + 1));
}

}  // namespace corvex
