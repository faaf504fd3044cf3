// The JSON printout of a calculated design: the four records under their own field names,
// written straight to text without building a document.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

#include <fmt/format.h>

#include "cli/json_fields.h"
#include "cli/outputs.h"

namespace qv::cli {

// Appends one object {"spec", "scale", "design", "responses"} to `text`, fields in record
// order, without a newline. Enumerations are their integer codes; numerator/denominator hold
// effectiveOrder + 1 values and zeros/poles effectiveOrder [re, im] pairs for the Butterworth,
// Chebyshev and Bessel models (else they are empty); firTaps holds `taps` values for the FIR
// class (else it is empty). Every curve has 256 values. Reals are written in the shortest form
// that reads back to the same double (single-precision fields as their exact value), and a
// value that is not finite as null. About 30 kB for a default design. Only the items of
// `fields` are written, in the same order; a record none of whose items is selected is left
// out whole.
void AppendDesignJson(fmt::memory_buffer& text, const Calculation& calculated,
                      const JsonFields& fields = {});

// Appends {"error": message, "code": code} to `text`, without a newline; `message` is escaped
// as a JSON string.
void AppendErrorJson(fmt::memory_buffer& text, std::string_view message, std::int32_t code);

// Writes AppendDesignJson(calculated, fields) to `out` on one line followed by a newline.
// Returns false when the stream reports a write failure.
bool WriteDesignJson(std::ostream& out, const Calculation& calculated,
                     const JsonFields& fields = {});

}  // namespace qv::cli
