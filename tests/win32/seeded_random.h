#pragma once

#include <cstdint>
#include <cstddef>

// A fixed-seed generator of our own (splitmix64): the same seed gives the same sequence with any
// standard library, so a generated case that fails reproduces everywhere.
class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(Next() % bound); }
  bool OneIn(std::size_t chances) { return Below(chances) == 0; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

 private:
  std::uint64_t state_;
};
