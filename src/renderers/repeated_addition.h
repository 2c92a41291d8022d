#pragma once
#include <cstdint>

namespace corvex {

// What `count` repeated additions `value += step` leave in `value`, to the bit, without taking
// every step: between two neighbouring powers of two the doubles are evenly spaced, so there the
// rounded step is the same each time and a run of steps is one multiplication in whole units of
// that spacing. Takes time in proportion to the number of such stretches the walk crosses (a few
// thousand at most), not to `count`.
double AddRepeatedly(double value, double step, uint64_t count);

}  // namespace corvex
