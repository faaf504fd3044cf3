#include "codegen/hdl_model.h"

#include <algorithm>

#include "codegen/design_summary.h"
#include "codegen/vhdl_generator.h"
#include "records/word_format.h"

namespace qv {
namespace {

// Size: one period to take the sample into the delay line, one to sum it out.
constexpr int kSizeLatency = 2;

}  // namespace

std::int32_t HdlCoefficient(double tap, Quantization quantization) {
  const int bits = HardwareWordFormat(quantization).bits;
  const auto word = static_cast<std::uint32_t>(TruncateCoefficient(tap));
  const std::uint32_t low = word & ((std::uint32_t{1} << bits) - 1);
  const std::uint32_t sign = std::uint32_t{1} << (bits - 1);
  return static_cast<std::int32_t>(low ^ sign) - static_cast<std::int32_t>(sign);
}

int HdlSampleLatency(HdlArchitecture architecture, int taps) {
  if (architecture == HdlArchitecture::Size && taps >= kMinSizeTaps) {
    return kSizeLatency;
  }
  const SpeedLevels levels = ComputeSpeedLevels(taps);
  if (architecture == HdlArchitecture::Speed && levels.count > 0) {
    return levels.count - 1 + kSpeedFixedRegisters;
  }
  return 0;
}

HdlOutput HdlModelOutput(std::span<const std::int32_t> coefficients, HdlArchitecture architecture,
                         int shift, int width, std::span<const std::int32_t> x, long t) {
  const bool speed = architecture == HdlArchitecture::Speed;
  const long n = static_cast<long>(coefficients.size());
  std::int64_t acc = 0;
  for (long k = 0; k < n; ++k) {
    const long i = t - k;
    if (i < 0 || i >= static_cast<long>(x.size())) {
      continue;
    }
    const long tap = speed ? std::min(k, n - 1 - k) : k;
    acc +=
        std::int64_t{coefficients[static_cast<std::size_t>(tap)]} * x[static_cast<std::size_t>(i)];
  }
  const std::int64_t high = (std::int64_t{1} << (width - 1)) - 1;
  const std::int64_t low = -high - 1;
  const std::int64_t y = acc >> shift;  // arithmetic: the hardware drops the low bits (floor)
  if (y > high) return {high, true};
  if (y < low) return {low, true};
  return {y, false};
}

}  // namespace qv
