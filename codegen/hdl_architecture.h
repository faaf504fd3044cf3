// The two architectures of the generated filter hardware and what each can express.
#pragma once

#include "records/filter_spec.h"

namespace qv {

// Size: one multiplier, N + 1 clocks per sample. Speed: folded symmetric taps and an adder tree,
// one sample per clock. The numbers are the options dialog's slider positions.
enum class HdlArchitecture : int { Size = 1, Speed = 2 };

// The fewest taps each architecture can express: size multiplies delay stage N-2, speed needs a
// level chain ending in a pair.
inline constexpr int kMinSizeTaps = 2;
inline constexpr int kMinSpeedTaps = 3;

// The signal widths the Verilog module and the testbenches are written for, bits: a sign bit and
// at least one more, at most what the testbenches hold in a 32-bit integer.
inline constexpr int kMinHdlWidth = 2;
inline constexpr int kMaxHdlWidth = 32;
// The width the options start at: the dialog's default and that of --resolution.
inline constexpr int kDefaultHdlWidth = 16;

// True when `architecture` is Size or Speed and can express `taps` taps: Size at least
// kMinSizeTaps, Speed an odd count of at least kMinSpeedTaps (it folds symmetric pairs).
[[nodiscard]] constexpr bool HdlArchitectureExpresses(HdlArchitecture architecture, int taps) {
  switch (architecture) {
    case HdlArchitecture::Size:
      return taps >= kMinSizeTaps;
    case HdlArchitecture::Speed:
      return taps >= kMinSpeedTaps && taps % 2 != 0;
  }
  return false;
}

// True when the hardware generators can write `spec` in `architecture`: a quantised FIR design
// whose tap count the architecture expresses. The output service refuses each other case with
// its own message first; the generators refuse them as records they cannot write.
[[nodiscard]] constexpr bool HdlDesignWritable(const FilterSpec& spec,
                                               HdlArchitecture architecture) {
  return spec.filterClass == FilterClass::Fir && spec.quantization != Quantization::Float &&
         HdlArchitectureExpresses(architecture, spec.taps);
}

}  // namespace qv
