// A quantised IIR filter as a cascade of second-order sections in integer arithmetic, laid out
// as CMSIS-DSP's arm_biquad_cascade_df1_q15 takes it.
#pragma once

#include <array>
#include <cstdint>

namespace qv {

// Order 19 needs nine second-order sections and one first-order remainder.
inline constexpr int kMaxSections = 10;

// One section in integer units of the word: with x the input, y the output and the products
// summed exactly,
//   y[t] = saturate(floor((b0 x[t] + b1 x[t-1] + b2 x[t-2] + a1 y[t-1] + a2 y[t-2])
//                         / 2^(wordBits - 1 - postShift)))
// so a1 and a2 are the denominator's coefficients negated (the feedback is added). A
// first-order section has b2 = a2 = 0.
struct FixedPointSection {
  std::int32_t b0 = 0;
  std::int32_t b1 = 0;
  std::int32_t b2 = 0;
  std::int32_t a1 = 0;
  std::int32_t a2 = 0;

  friend bool operator==(const FixedPointSection&, const FixedPointSection&) = default;
};

struct FixedPointCascade {
  std::int32_t wordBits = 16;  // 8 or 16: samples and coefficients are signed words this wide
  std::int32_t postShift = 0;  // coefficients are the true ones times 2^(wordBits - 1 - postShift)
  std::int32_t count = 0;      // sections in use, 1..kMaxSections; the first filters first
  std::array<FixedPointSection, kMaxSections> sections{};
  // The cascade's gain over the design's, at most 1: below 1 when the design itself would lift
  // a full-scale input beyond full scale (the ripple peaks of an even-order Chebyshev).
  double headroom = 1.0;

  friend bool operator==(const FixedPointCascade&, const FixedPointCascade&) = default;
};

}  // namespace qv
