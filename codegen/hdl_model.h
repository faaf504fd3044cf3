// The exact integer model of the generated filter hardware (VHDL and Verilog alike): what Y_OUT
// and SATURATION_ERR show for each input sample, and how many samples later they show it.
#pragma once

#include <cstdint>
#include <span>

#include "codegen/hdl_architecture.h"
#include "codegen/speed_levels.h"
#include "records/filter_spec.h"

namespace qv {

// Speed: X_IN_reg, DELAY(0), Xsum, the products, the final adder and Y_OUT, plus one register
// per adder-tree level after the products.
inline constexpr int kSpeedFixedRegisters = 6;
// The most sample periods HdlSampleLatency gives for any tap count.
inline constexpr int kMaxHdlSampleLatency = kMaxSpeedLevels - 1 + kSpeedFixedRegisters;

struct HdlOutput {
  std::int64_t y = 0;      // Y_OUT as a signed integer
  bool saturated = false;  // SATURATION_ERR
};

// The coefficient the ROM holds for `tap`: the low coefficient-width bits (8 or 16 by
// quantisation) of its truncated two's complement, read back as signed.
std::int32_t HdlCoefficient(double tap, Quantization quantization);

// The sample periods from presenting X_IN (right after the output of the period is read) to
// reading its output: 2 for size, the adder-tree levels + 5 for speed; 0 when the
// architecture cannot express `taps`.
int HdlSampleLatency(HdlArchitecture architecture, int taps);

// The output for input sample t of x[0..]: h_eff[k] = coefficients[k] for size; for speed the
// architecture folds the pairs (k, N-1-k) onto the first half, h_eff[k] =
// coefficients[min(k, N-1-k)], which is the same filter for symmetric taps. Then
// y = floor(sum_k h_eff[k] x[t-k] / 2^shift) (x before 0 and past its end reads 0), clamped to
// `width` signed bits with `saturated` set when clamped.
//   coefficients: N ROM values (HdlCoefficient), |value| <= 2^15;  x: samples of `width` bits;
//   width: 2..32;  shift: 0..62.  Sums stay below 2^56, so nothing overflows.
HdlOutput HdlModelOutput(std::span<const std::int32_t> coefficients, HdlArchitecture architecture,
                         int shift, int width, std::span<const std::int32_t> x, long t);

}  // namespace qv
