// One line of quorvanel-cli --batch: read from the input, then answered with the JSON printout
// of its design or an error object.
#pragma once

#include <fmt/format.h>

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/json_fields.h"
#include "cli/outputs.h"
#include "records/filter_spec.h"

namespace qv::cli {

// The code of a refused line that is no specification at all (not JSON, not an object, an
// unknown field, a value of the wrong type, a NUL byte, too long). It is the exit status of a
// usage error, and no calculation code is positive.
inline constexpr std::int32_t kLineNotASpecification = 1;

// Longest line read, in bytes without its newline; a longer one is refused and passed over
// without being held, so memory stays flat whatever the input.
inline constexpr std::size_t kMaxBatchLineBytes = 65536;

// Reads a line's JSON object into `spec`, which starts from the defaults of a new design: each
// field named as in the printout's "spec" object overrides its value (enumerations by their
// integer codes, whole numbers within int32, reals finite; "structure" and "sectionScaling"
// only as codes of their lists; "scheme" an object of the tolerance scheme's fields, which sets
// a scheme unless its "active" is false). Then, as the parameter form does, low and high pass
// take fcut2 from fcut1. Returns false with the reason in `message` when the line is no
// specification.
bool ReadBatchSpec(std::string_view line, FilterSpec& spec, std::string& message);

enum class LineRead {
  Line,     // a line, without its newline (the last one may have none)
  TooLong,  // a line longer than kMaxBatchLineBytes, passed over to its end
  End,      // the input has ended
  Failed,   // the input could not be read further
};

// The lines of a batch input, one at a time, in a buffer of kMaxBatchLineBytes + 1 bytes.
class BatchInput {
 public:
  explicit BatchInput(std::istream& in);

  // Reads the next line; for LineRead::Line, `line` holds it until the next call.
  LineRead Next(std::string_view& line);

  // After LineRead::Failed: the system's reason, or an empty text when it gave none.
  const std::string& failure() const { return failure_; }

 private:
  std::istream& in_;
  std::vector<char> buffer_;
  std::string failure_;
};

// Appends the answer to one line and its newline to `text`: the JSON printout of the
// calculated design (its `fields`), or {"error": message, "code": code} for a refused line (the
// calculation's own code and message, or kLineNotASpecification). Every line is a new design,
// as one run of the tool is. The curves are computed only when `fields` prints some of them.
void AnswerBatchLine(LineRead read, std::string_view line, fmt::memory_buffer& text,
                     const JsonFields& fields = {});

}  // namespace qv::cli
