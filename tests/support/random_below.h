#pragma once
// A small linear congruential generator for tests that draw many random cases: the same seed
// gives the same cases on every platform and standard library.

#include <cstdint>

struct RandomBelow {
  uint32_t seed;
  // A number from 0 to n - 1.
  uint32_t operator()(uint32_t n) {
    seed = seed * 1103515245 + 12345;
    return (seed >> 16) % n;
  }
};
