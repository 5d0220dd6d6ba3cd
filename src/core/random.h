// The game's one seeded random generator. A game is a pure function of its seed,
// its frame times and its key snapshots, so every random choice goes through here.
#pragma once

#include <cstdint>

namespace zt {

class Random {
 public:
  explicit Random(uint64_t seed = 1) { Seed(seed); }
  void Seed(uint64_t seed);
  int32_t Next(int32_t n);  // "random n": uniform 0..n-1; 0 when n <= 0
  float Fraction();         // uniform in [0, 1)

 private:
  uint64_t NextBits();
  uint64_t state_[2] = {};
};

}  // namespace zt
