#include "codegen/resource_estimate.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "codegen/speed_levels.h"
#include "codegen/vhdl_generator.h"
#include "records/word_format.h"

namespace qv {
namespace {

constexpr int kLineCapacity = 96;

std::int64_t CoefficientWidth(Quantization quantization) {
  return HardwareWordFormat(quantization).bits;
}

ResourceEstimate EstimateSize(std::int64_t n, std::int64_t w, std::int64_t c, std::int64_t fs) {
  ResourceEstimate e;
  e.available = true;
  e.multipliers = 1;
  e.filterFlipFlops = (n + 3) * w + 2 * n + 3 * c - 2;
  e.coefficientFlipFlops = (n + 1) * c;
  e.latencyClocks = n + 1;
  e.clockHz = fs * (n + 1);
  return e;
}

ResourceEstimate EstimateSpeed(std::int64_t n, std::int64_t w, std::int64_t c, std::int64_t fs) {
  const SpeedLevels levels = ComputeSpeedLevels(static_cast<int>(n));
  const std::int64_t n0 = levels.sizes[0];
  const std::int64_t count = levels.count;
  std::int64_t levelFlipFlops = 0;
  for (int k = 0; k < levels.count; ++k) {
    levelFlipFlops += (w + c + 1 + k) * levels.sizes[static_cast<std::size_t>(k)];
  }
  ResourceEstimate e;
  e.available = true;
  e.multipliers = n0;
  e.filterFlipFlops = levelFlipFlops + (n + n0 + 2) * w + count + c + 1;
  e.coefficientFlipFlops = n0 * c;
  e.latencyClocks = count + 4;
  e.clockHz = fs;
  return e;
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[kLineCapacity];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

}  // namespace

ResourceEstimate EstimateResources(const FilterSpec& spec, HdlArchitecture architecture,
                                   int resolution) {
  const std::int64_t n = spec.taps;
  const std::int64_t w = resolution;
  const std::int64_t c = CoefficientWidth(spec.quantization);
  const std::int64_t fs = spec.fsample;
  if (n > kMaxTaps) {
    return {};
  }
  if (architecture == HdlArchitecture::Size && n >= kMinSizeTaps) {
    return EstimateSize(n, w, c, fs);
  }
  if (architecture == HdlArchitecture::Speed && n >= kMinSpeedTaps) {
    return EstimateSpeed(n, w, c, fs);
  }
  return {};
}

EstimateReport ReportEstimate(const FilterSpec& spec, HdlArchitecture architecture,
                              int resolution) {
  const ResourceEstimate e = EstimateResources(spec, architecture, resolution);
  EstimateReport report;
  auto add = [&report](std::string line) {
    report.lines[static_cast<std::size_t>(report.lineCount++)] = std::move(line);
  };
  add(Format("Signal Resolution: %d-bit", resolution));
  add(std::string("Coefficients Quantization: ") + HardwareWordFormat(spec.quantization).name);
  if (!e.available) {
    if (architecture == HdlArchitecture::Speed) {
      add(Format("Estimate not available: SPEED needs %d to %d taps", kMinSpeedTaps, kMaxTaps));
    } else if (architecture == HdlArchitecture::Size) {
      add(Format("Estimate not available: SIZE needs %d to %d taps", kMinSizeTaps, kMaxTaps));
    } else {
      add("Estimate not available: the architecture must be SIZE or SPEED");
    }
    return report;
  }
  add(Format("%" PRId64 " multiplier(s)", e.multipliers));
  add(Format("%" PRId64 " FFs for the filter*", e.filterFlipFlops));
  add(Format("%" PRId64 " FFs for the coefficients*", e.coefficientFlipFlops));
  add(Format("%" PRId64 " clks output latency", e.latencyClocks));
  add(Format("%" PRId64 " Hz for Fclk", e.clockHz));
  add(Format("%d Hz for Fsampling", static_cast<int>(spec.fsample)));
  add("* May change with synthezis optimization");
  return report;
}

std::string EstimateReport::DisplayText() const {
  std::string text;
  for (int i = 0; i < lineCount; ++i) {
    text += lines[static_cast<std::size_t>(i)] + "\r\n";
  }
  return text;
}

std::string EstimateReport::HeaderComment() const { return CommentLines("-- "); }

std::string EstimateReport::CommentLines(std::string_view prefix) const {
  std::string text;
  for (int i = 0; i < lineCount; ++i) {
    text += std::string(prefix) + lines[static_cast<std::size_t>(i)] + "\n";
  }
  return text;
}

std::string EstimateReport::PlainText() const {
  std::string text;
  for (int i = 0; i < lineCount; ++i) {
    text += lines[static_cast<std::size_t>(i)] + "\n";
  }
  return text;
}

}  // namespace qv
