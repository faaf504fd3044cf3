// The two architectures of the generated filter hardware, what each can express, and the checks
// every hardware output (VHDL, Verilog, their testbenches, the estimate) makes before writing.
#pragma once

#include "codegen/output_codes.h"
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

// The checks made before the architecture is chosen, in order: IirClass, FloatQuantization,
// NotCalculated; Ok when the design can be written.
[[nodiscard]] OutputCode CheckHdlDesign(const FilterSpec& spec, bool calculated);

// The checks made once the architecture is chosen, in order: BadArchitecture (neither Size nor
// Speed), SpeedTapsEven, SizeTooFewTaps or SpeedTooFewTaps; Ok when the architecture can
// express spec.taps taps.
[[nodiscard]] OutputCode CheckHdlArchitecture(const FilterSpec& spec, HdlArchitecture architecture);

}  // namespace qv
