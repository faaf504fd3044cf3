// The VHDL generator: one synthesizable file with the entity `fir` of a quantised FIR design in
// the serial "size" architecture (one multiplier, NTAP_g + 1 clocks per sample) or the parallel
// "speed" architecture (folded symmetric taps, an adder tree, one sample per clock).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "records/filter_spec.h"

namespace qv {

enum class VhdlArchitecture : int { Size = 1, Speed = 2 };

// The fewest taps each architecture can express: size multiplies delay stage NTAP_g-2, speed
// needs a level chain ending in a pair.
inline constexpr int kMinSizeTaps = 2;
inline constexpr int kMinSpeedTaps = 3;

// The checks made before the architecture is chosen, in order: kVhdlIirClass (-13),
// kVhdlFloatQuantization (-14), kNotCalculated (-15); kOutputOk when the design can be written.
int CheckVhdlDesign(const FilterSpec& spec, bool calculated);

// The checks made once the architecture (1 = Size, 2 = Speed) is chosen, in order:
// kVhdlBadArchitecture (-11), kSpeedTapsEven (-16), kSizeTooFewTaps (-17) or
// kSpeedTooFewTaps (-18); kOutputOk when the architecture can express spec.taps taps.
int CheckVhdlArchitecture(const FilterSpec& spec, int architecture);

// Writes the VHDL file of a calculated, quantised FIR design to `path`, which is created or
// replaced whole (OutputFile): a failure leaves the file there as it was.
//   spec, scale:  the validated specification and its display scale (frequency unit).
//   denominator:  a[0..effectiveOrder], read only to list the poles of the IIR models.
//   firTaps:      h[0..taps-1], whole numbers; written truncated to integers into the ROM.
//   shift:        the taps' scaling exponent, the bits the output drops (0..62).
//   architecture: 1 = Size, 2 = Speed.
//   comment:      the estimate as header lines, each "-- ... \n" (EstimateResources).
// Returns kOutputOk (0); before anything is written kVhdlBadArchitecture (-11), the codes of
// CheckVhdlDesign and CheckVhdlArchitecture, kDesignMismatch (-19) when the records do not
// describe a design of `spec`, or kOutputNotCreated (-10); kOutputNotClosed (-12) when a
// write, flush, close or the replacement fails (nothing changed).
int GenerateVhdlCode(const FilterSpec& spec, const DisplayScale& scale,
                     std::span<const double> denominator, std::span<const double> firTaps,
                     int shift, int architecture, std::string_view comment,
                     const std::string& path);

}  // namespace qv
