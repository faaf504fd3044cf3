// quorvanel-cli --batch: many designs in one run, one JSON specification per input line and
// one JSON result per output line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "records/filter_spec.h"

namespace qv::cli {

// The code of a refused line that is no specification at all (not JSON, not an object, an
// unknown field, a value of the wrong type, too long). It is the exit status of a usage error,
// and no calculation code is positive.
inline constexpr std::int32_t kLineNotASpecification = 1;

// Longest line read, in bytes without its newline; a longer one is refused and passed over
// without being held, so memory stays flat whatever the input.
inline constexpr std::size_t kMaxBatchLineBytes = 65536;

// Reads a line's JSON object into `spec`, which starts from the defaults of a new design: each
// field named as in the printout's "spec" object overrides its value (enumerations by their
// integer codes, whole numbers within int32, reals finite). Then, as the parameter form does,
// low and high pass take fcut2 from fcut1. Returns false with the reason in `message` when the
// line is no specification.
bool ReadBatchSpec(std::string_view line, FilterSpec& spec, std::string& message);

// Reads `in` line by line to its end and writes one line to `out` for each: the JSON printout
// of the calculated design, or {"error": message, "code": code} for a refused line (the
// calculation's own code and message, or kLineNotASpecification). Every line is flushed as it
// is written. Returns kExitSuccess once the input has ended, or kExitOutputFailed as soon as
// `out` fails.
int RunBatch(std::istream& in, std::ostream& out);

}  // namespace qv::cli
