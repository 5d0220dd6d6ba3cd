#include "core/random.h"

namespace zt {

namespace {

uint64_t SplitMix(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

void Random::Seed(uint64_t seed) {
  state_[0] = SplitMix(seed);
  state_[1] = SplitMix(seed);
}

// xorshift128+: small, fast and the same on every platform.
uint64_t Random::NextBits() {
  uint64_t s1 = state_[0];
  const uint64_t s0 = state_[1];
  state_[0] = s0;
  s1 ^= s1 << 23;
  state_[1] = s1 ^ s0 ^ (s1 >> 17) ^ (s0 >> 26);
  return state_[1] + s0;
}

int32_t Random::Next(int32_t n) {
  if (n <= 0) return 0;
  // Multiply-shift on the top 32 bits; the bias for n below a few thousand is far under 1e-6.
  const uint64_t bits = NextBits() >> 32;
  return static_cast<int32_t>((bits * static_cast<uint64_t>(n)) >> 32);
}

float Random::Fraction() { return static_cast<float>(NextBits() >> 40) / static_cast<float>(1u << 24); }

}  // namespace zt
