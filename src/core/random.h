// The game's one seeded random generator. A game is a pure function of its seed,
// its frame times and its key snapshots, so every random choice goes through here.
#pragma once

#include <array>
#include <cstdint>

namespace zt {

class Random {
 public:
  explicit Random(uint64_t seed = 1) { Seed(seed); }
  void Seed(uint64_t seed);
  int32_t Next(int32_t n);  // "random n": uniform 0..n-1; 0 when n <= 0
  float Fraction();         // uniform in [0, 1)

  // The generator's whole state, to carry a game's randomness on from where it stood.
  using State = std::array<uint64_t, 2>;
  State Save() const { return state_; }
  void Restore(const State& state) { state_ = state; }

 private:
  uint64_t NextBits();
  State state_{};
};

}  // namespace zt
