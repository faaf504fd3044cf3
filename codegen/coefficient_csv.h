// The coefficients of a design as comma-separated values: a header line and one row per
// coefficient, nothing else, so that spreadsheets and numeric libraries read it as it is.
#pragma once

#include <ostream>

#include "codegen/output_codes.h"
#include "engine/calculate.h"

namespace qv {

// Writes the stored coefficients of a calculated design to `out`. The class decides the rows:
// FIR "index,tap" with h[0..taps-1]; IIR "index,numerator,denominator" with b[k], a[k] for
// k = 0..effectiveOrder. Every value is written in the fewest digits that read back to the same
// double (whole numbers for quantised designs, which keep their 2^shift scaling).
// Returns OutputCode::Ok, or OutputCode::DesignMismatch (-19), writing nothing, when the counts
// are out of range or a value is not finite. Stream failures are left to the caller.
[[nodiscard]] OutputCode WriteCoefficientCsv(std::ostream& out, const Calculation& calculation);

}  // namespace qv
