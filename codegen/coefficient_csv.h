// The coefficients of a design as comma-separated values: a header line and one row per
// coefficient, nothing else, so that spreadsheets and numeric libraries read it as it is.
#pragma once

#include <string>

#include "codegen/output_codes.h"
#include "records/filter_spec.h"

namespace qv {

// Writes the stored coefficients of a calculated design to `path`, which is created or
// replaced whole (OutputFile): a failure leaves the file there as it was. The class decides the
// rows: FIR "index,tap" with h[0..taps-1]; IIR "index,numerator,denominator" with b[k], a[k] for
// k = 0..effectiveOrder. Every value is written in the fewest digits that read back to the same
// double (whole numbers for quantised designs, which keep their 2^shift scaling).
// Returns OutputCode::Ok (0); before anything is written OutputCode::DesignMismatch (-19) when the
// counts are out of range or a value is not finite, or OutputCode::NotCreated (-10);
// OutputCode::NotClosed (-12) when a write, flush, close or the replacement fails (nothing
// changed).
[[nodiscard]] OutputCode GenerateCoefficientCsv(const FilterSpec& spec, const FilterDesign& design,
                                                const std::string& path);

}  // namespace qv
