// The hardware resources an architecture needs for a design: multipliers, flip-flops, output
// latency and clock frequency, with the texts that the options dialog shows and that head the
// VHDL file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "records/filter_spec.h"

namespace qv {

inline constexpr int kEstimateLines = 9;

struct ResourceEstimate {
  bool available = false;  // false when the architecture cannot express the tap count
  std::int64_t multipliers = 0;
  std::int64_t filterFlipFlops = 0;
  std::int64_t coefficientFlipFlops = 0;
  std::int64_t latencyClocks = 0;  // clocks from an input sample to its output
  std::int64_t clockHz = 0;        // the clock the architecture needs, Hz
};

// The estimate for spec.taps taps, spec.fsample Hz and the coefficient width of
// spec.quantization (8 for 8-bit, 16 otherwise), with signal samples `resolution` bits wide
// (any value, taken as it is). Size needs 2..511 taps, Speed 3..511; for any other
// architecture value, or outside those tap counts, the estimate is not available.
// Computed in 64-bit integers, so no count overflows.
ResourceEstimate EstimateResources(const FilterSpec& spec, HdlArchitecture architecture,
                                   int resolution);

// The estimate as text lines, without line ends: the resolution, the coefficient quantisation,
// then the five resource lines and the sampling frequency with a closing remark (nine lines),
// or a line saying why the estimate is not available.
struct EstimateReport {
  int lineCount = 0;
  std::array<std::string, kEstimateLines> lines{};

  [[nodiscard]] std::string DisplayText() const;    // every line followed by "\r\n"
  [[nodiscard]] std::string HeaderComment() const;  // every line as "-- " + line + "\n"
  [[nodiscard]] std::string CommentLines(
      std::string_view prefix) const;           // every line as prefix + line + "\n"
  [[nodiscard]] std::string PlainText() const;  // every line followed by "\n"
};

EstimateReport ReportEstimate(const FilterSpec& spec, HdlArchitecture architecture, int resolution);

}  // namespace qv
