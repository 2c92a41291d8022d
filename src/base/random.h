#pragma once
#include <cstdint>

namespace corvex {

// A whole number from 0 to n inclusive: the C library's rand() modulo n + 1. The generator is
// seeded from the calendar clock at the first call in the process, unless SeedRandom ran first.
int32_t RandomInt(int32_t n);

// Seeds the generator (srand) and marks it seeded, so a run can be reproduced exactly on one
// C library. Used by tests and by the host's --seed.
void SeedRandom(uint32_t seed);

}  // namespace corvex
