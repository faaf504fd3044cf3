#include "codegen/speed_levels.h"

namespace qv {
namespace {

constexpr int kLargestTaps = 1 << kMaxSpeedLevels;
constexpr int kPair = 2;

int HalfRoundedUp(int n) { return n / 2 + n % 2; }

}  // namespace

SpeedLevels ComputeSpeedLevels(int taps) {
  SpeedLevels levels;
  if (taps < kMinSpeedLevelTaps || taps > kLargestTaps) {
    return levels;
  }
  int n = HalfRoundedUp(taps);
  levels.sizes[0] = n;
  levels.count = 1;
  while (n > kPair) {
    n = HalfRoundedUp(n);
    levels.sizes[static_cast<std::size_t>(levels.count)] = n;
    ++levels.count;
  }
  return levels;
}

}  // namespace qv
