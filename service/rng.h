#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace zelko_service {

// The simulation must give the same day on every machine for the same seed, so it uses its own
// generator and transforms instead of the implementation-defined std:: distributions.
inline std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// A hash of several numbers, used to draw values that depend on (match, minute, selection)
// without keeping any state: the simulated day stays a pure function of seed and time.
inline std::uint64_t HashOf(std::initializer_list<std::uint64_t> parts) {
  std::uint64_t h = 0x5A17E1C0DEull;
  for (std::uint64_t part : parts) h = Mix(h ^ Mix(part));
  return h;
}

// Uniform in [0, 1) from a hash.
inline double UnitOf(std::uint64_t h) {
  return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
}

// Standard normal from a hash (Box-Muller on two derived uniforms).
inline double NormalOf(std::uint64_t h) {
  const double u1 = 1.0 - UnitOf(Mix(h));
  const double u2 = UnitOf(Mix(h ^ 0xA5A5A5A5ull));
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    return Mix(state_);
  }
  double Unit() { return UnitOf(Next()); }
  double Normal() { return NormalOf(Next()); }
  // Uniform integer in [low, high].
  int Between(int low, int high) {
    const auto span = static_cast<std::uint64_t>(high - low + 1);
    return low + static_cast<int>(Next() % span);
  }
  bool Chance(double p) { return Unit() < p; }
  // Knuth's method; the rates here are small.
  int Poisson(double mean) {
    const double limit = std::exp(-mean);
    int count = 0;
    double product = Unit();
    while (product > limit) {
      ++count;
      product *= Unit();
    }
    return count;
  }

 private:
  std::uint64_t state_;
};

}  // namespace zelko_service
