// The parts that the C, VHDL and Verilog file headers share: the identification block, the summary
// of the specification, the z-domain zeros and poles, and the checks that the records handed to
// a generator describe a designed filter.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

#include "records/filter_names.h"
#include "records/filter_spec.h"

namespace qv {

// Largest `shift` whose 2^shift a generator writes as an integer (DCgain); the quantisation
// never comes near it.
inline constexpr int kMaxShift = 62;

// Writes, in one formatted write, prefix + name + " version " + version, the web-site and the
// e-mail lines (each behind `prefix`, each ending "\n"), then `closing`.
void WriteIdentification(std::ostream& out, std::string_view prefix, std::string_view closing);

// Writes the filter type, model, order or roll-off, sampling frequency, cut frequencies and
// (Chebyshev) ripple lines, each behind `prefix`. Frequencies are shown in scale.freqUnit:
// the sampling frequency by integer division by scale.freqDivisor, the cut frequencies in reals.
void WriteSpecSummary(std::ostream& out, std::string_view prefix, const FilterSpec& spec,
                      const DisplayScale& scale);

// For the Butterworth, Chebyshev and Bessel models writes `sectionLead` + prefix +
// "Z domain Zeros\n" with one "z = re + j im" line per zero (PlaceIirZeros), then the same for
// the poles, the effectiveOrder roots of denominator a[0..effectiveOrder] (a[0] multiplies the
// highest power). Writes nothing for the other models.
void WriteZerosAndPoles(std::ostream& out, std::string_view sectionLead, std::string_view prefix,
                        const FilterSpec& spec, std::span<const double> denominator);

// The head of a hardware file (VHDL, Verilog) between the rules `top` and `bottom`: the
// identification, "FIR N Taps", the coefficient quantisation, the summary, the zeros and poles,
// then `comment` (the estimate lines, already behind their comment marks). Every line begins
// with `prefix` ("-- " or "// "); an empty comment line is the prefix without its blank.
void WriteHardwareHeader(std::ostream& out, std::string_view prefix, std::string_view top,
                         std::string_view bottom, const FilterSpec& spec, const DisplayScale& scale,
                         std::span<const double> denominator, std::string_view comment);

// True when the enumerations are in range, scale.freqDivisor is positive and, for the IIR
// models, effectiveOrder matches order and band type, lies in 0..19 and `denominator` holds
// a[0..effectiveOrder]: everything the header needs.
bool SummaryInputsValid(const FilterSpec& spec, const DisplayScale& scale,
                        std::span<const double> denominator);

// True when `values` holds at least `count` entries, each finite and truncating toward zero to
// a 32-bit integer.
bool CoefficientsFitInt32(std::span<const double> values, int count);

// True when the FIR records a hardware generator reads are safe to write: at most kMaxTaps taps,
// shift within 0..kMaxShift, and h[0..taps-1] accepted by CoefficientsFitInt32.
bool FirTapsValid(const FilterSpec& spec, std::span<const double> firTaps, int shift);

// A coefficient that CoefficientsFitInt32 accepted, truncated toward zero.
std::int32_t TruncateCoefficient(double value);

}  // namespace qv
