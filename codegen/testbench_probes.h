// The probe windows of a testbench: input samples chosen so that a coefficient the hardware holds
// one step too large or too small changes an output. Random samples rarely show such an error:
// with 8-bit inputs and a shift of 16, one step moves a sum by at most 128 of the 65,536 between
// two output values. A probe window puts the sum just below (or at) a rounding boundary, so that
// the one step of any coefficient carries the output across it.
#pragma once

#include <cstdint>
#include <span>

#include "codegen/hdl_architecture.h"

namespace qv {

// The most probe windows a testbench holds; most designs need two (one for the step up, one for
// the step down).
inline constexpr int kMaxProbeWindows = 8;

// The pseudo-random numbers of the testbenches: Knuth's MMIX linear congruential generator from a
// fixed seed, so that a testbench file is the same every time.
class TestbenchRandom {
 public:
  explicit TestbenchRandom(std::uint64_t seed) : state_(seed) {}
  // `bits` (1..32) high bits of the next state, as a signed number of that width.
  std::int32_t NextSigned(int bits);
  // A number in lo..hi (lo <= hi), nearly uniform.
  std::int32_t NextIn(std::int32_t lo, std::int32_t hi);

 private:
  std::uint64_t state_;
};

// Writes up to kMaxProbeWindows windows of N samples each into `samples`, oldest sample first;
// the output at the last sample of a window depends on that window alone. Together the windows
// hold, for every coefficient the hardware stores and for each of one step up and one step
// down, an output that the wrong coefficient changes, wherever a bounded search finds one.
//   coefficients: the N ROM values (HdlCoefficient), N = 2..kMaxTaps (speed: odd, >= 3);
//   architecture: Size (each tap its own coefficient) or Speed (coefficient k of 0..(N-1)/2
//                 serves taps k and N-1-k);
//   shift: 0..62;  width: the sample width, 2..32;  samples: room for kMaxProbeWindows * N.
// Returns the number of samples written, a multiple of N.
int MakeProbeWindows(std::span<const std::int32_t> coefficients, HdlArchitecture architecture,
                     int shift, int width, std::span<std::int32_t> samples);

}  // namespace qv
