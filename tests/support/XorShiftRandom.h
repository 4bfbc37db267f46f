#pragma once

#include <cstdint>
#include <vector>

// A small deterministic generator (xorshift) for the fuzz tests, so a failing case can be
// replayed by its round.
class XorShiftRandom {
 public:
  explicit XorShiftRandom(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<std::uint32_t>(state_ >> 16);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(static_cast<int>(items.size()))];
  }

 private:
  std::uint64_t state_;
};
