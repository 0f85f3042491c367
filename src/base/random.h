#pragma once
// The program-wide random generator. A plain 32-bit linear congruential generator, so a seed
// gives the same sequence on every machine and compiler (determinism of scripted runs).
#include <cstdint>

namespace qv {

struct Random {
  std::uint32_t seed = 0;

  void Seed(std::uint32_t s) { seed = s; }
  // Uniform integer in 0..n-1; 0 when n <= 0.
  int Next(int n) {
    seed = seed * 134775813u + 1u;
    if (n <= 0) return 0;
    return static_cast<int>((static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(n)) >>
                            32);
  }
  // Uniform real in [0, 1).
  double NextReal() {
    seed = seed * 134775813u + 1u;
    return static_cast<double>(seed) / 4294967296.0;
  }
};

}  // namespace qv
