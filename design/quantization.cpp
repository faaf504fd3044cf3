#include "design/quantization.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

#include "design/design_driver.h"
#include "records/word_format.h"

namespace qv {
namespace {

// The scaling of one word: a product of two words (2 x bits - 1 bits without the sign) bounds
// the exponent of the denominator and the taps, one word (bits - 1) that of the numerator.
struct ScaleLimits {
  double fullScale;    // F: one more than the largest positive word
  int exponentLimit;   // L1: largest e for the denominator or the taps
  int numeratorLimit;  // L2: largest e2 for the IIR numerator
};

constexpr ScaleLimits LimitsOf(const WordFormat& word) {
  return {word.fullScale, 2 * word.bits - 1, word.bits - 1};
}

double LargestMagnitude(std::span<const double> values) {
  double largest = 0.0;
  for (const double v : values) largest = std::max(largest, std::abs(v));
  return largest;
}

bool AllFinite(std::span<const double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The scaling exponent e = trunc(log2(F / largest)), with log2 as log10 / log10 2, checked
// against `limit`. When the largest value is a power of two (or rounding puts the logarithm
// on an integer) the scaled largest value would be F itself, one more than the word holds:
// one bit less is used. A negative exponent means the values exceed the word.
DesignCode ScalingExponent(double fullScale, double largest, int limit, int& exponent) {
  const double log2Ratio = std::log10(fullScale / largest) / std::log10(2.0);
  if (!(log2Ratio < limit + 1.0)) return DesignCode::QuantizationNotPossible;
  if (!(log2Ratio > -1.0)) return DesignCode::QuantizationNotPossible;
  int e = static_cast<int>(log2Ratio);
  if (std::ldexp(largest, e) >= fullScale) --e;
  if (e < 0) return DesignCode::QuantizationNotPossible;
  exponent = e;
  return DesignCode::Ok;
}

// Cuts value x 2^e toward zero; the exponents above keep the result inside the word.
double Quantize(double value, int e) {
  return static_cast<double>(static_cast<std::int32_t>(std::ldexp(value, e)));
}

DesignCode QuantizeFir(const ScaleLimits& format, int taps, FilterDesign& design) {
  const auto h = std::span<double>(design.firTaps).first(taps);
  if (!AllFinite(h)) return DesignCode::QuantizationNotPossible;
  const double largest = LargestMagnitude(h);
  if (largest == 0.0) return DesignCode::ZeroGain;
  int e = 0;
  if (const DesignCode code = ScalingExponent(format.fullScale, largest, format.exponentLimit, e);
      code != DesignCode::Ok) {
    return code;
  }
  for (double& tap : h) tap = Quantize(tap, e);
  design.shift = e;
  return DesignCode::Ok;
}

DesignCode QuantizeIir(const ScaleLimits& format, int count, FilterDesign& design) {
  const auto b = std::span<double>(design.numerator).first(count);
  const auto a = std::span<double>(design.denominator).first(count);
  if (!AllFinite(b) || !AllFinite(a)) return DesignCode::QuantizationNotPossible;
  const double largest = std::max(LargestMagnitude(b), LargestMagnitude(a));
  if (largest == 0.0) return DesignCode::ZeroGain;
  int e = 0;
  if (const DesignCode code = ScalingExponent(format.fullScale, largest, format.exponentLimit, e);
      code != DesignCode::Ok) {
    return code;
  }
  const double largestNumerator = std::ldexp(LargestMagnitude(b), e);
  if (largestNumerator == 0.0) return DesignCode::ZeroGain;
  int e2 = 0;
  if (const DesignCode code =
          ScalingExponent(format.fullScale, largestNumerator, format.numeratorLimit, e2);
      code != DesignCode::Ok) {
    return code;
  }
  for (double& coefficient : b) coefficient = Quantize(coefficient, e + e2);
  for (double& coefficient : a) coefficient = Quantize(coefficient, e);
  design.shift = e2;
  return DesignCode::Ok;
}

}  // namespace

DesignCode QuantizeDesign(const FilterSpec& spec, FilterDesign& design) {
  if (!IsQuantized(spec.quantization)) {
    design.shift = 0;
    return DesignCode::Ok;
  }
  const ScaleLimits format = LimitsOf(WordFormatOf(spec.quantization));
  if (spec.filterClass == FilterClass::Fir) {
    return QuantizeFir(format, std::clamp(spec.taps, 0, kMaxTaps), design);
  }
  return QuantizeIir(format, std::clamp(spec.effectiveOrder, 0, kMaxCoefficients - 1) + 1, design);
}

}  // namespace qv
