// The JSON printout of a calculated design: the four records under their own field names.
#pragma once

#include <ostream>

#include <nlohmann/json.hpp>

#include "cli/outputs.h"

namespace qv::cli {

// One object {"spec", "scale", "design", "responses"}, fields in record order. Enumerations
// are their integer codes; numerator/denominator hold effectiveOrder + 1 values and zeros/poles
// effectiveOrder [re, im] pairs for the Butterworth, Chebyshev and Bessel models (else they are
// empty); firTaps holds `taps` values for the FIR class (else it is empty). Every curve has 256
// values. Reals are written so that they read back to the same double.
nlohmann::ordered_json DesignToJson(const CalculatedDesign& calculated);

// Writes DesignToJson(calculated) to `out` on one line followed by a newline. Returns false
// when the stream reports a write failure.
bool WriteDesignJson(std::ostream& out, const CalculatedDesign& calculated);

}  // namespace qv::cli
