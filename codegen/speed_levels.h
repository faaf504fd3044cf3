// The adder-tree levels of the speed architecture: how many operands each level of the tree
// holds, from the folded products down to the last pair before the final adder.
#pragma once

#include <array>

namespace qv {

// Room for the levels of any tap count up to 2^16; 511 taps need 8.
inline constexpr int kMaxSpeedLevels = 16;
// The fewest taps for which the level chain exists.
inline constexpr int kMinSpeedLevelTaps = 3;

struct SpeedLevels {
  int count = 0;  // entries n_0..n_(count-1); 0 when the chain does not exist
  std::array<int, kMaxSpeedLevels> sizes{};  // n_0 = ceil(taps / 2), n_(k+1) = ceil(n_k / 2)

  int Last() const { return count - 1; }  // L, the index of the last level (count >= 1)
};

// The level sizes for `taps` taps: n_0 = ceil(taps/2), each next level ceil(half) of the one
// before, ending at the first level of at most 2 operands (which is then exactly 2). For
// taps < 3 or taps > 2^16 the chain does not exist and count is 0.
SpeedLevels ComputeSpeedLevels(int taps);

}  // namespace qv
