#include "analysis/simulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace qv {
namespace {

// Zeros kept ahead of time 0 so that x(t - k) and y(t - k) read 0 for every k <= order. This
// is what the newest-first histories of the filter hold before the input reaches them, so
// indexing time-ordered buffers gives the same values without ageing a history every sample.
constexpr int kHistoryPad = kMaxCoefficients;

using History = std::array<double, kHistoryPad + kSimulationSamples>;

enum class Stimulus { Impulse, Step };

bool IsQuantized(Quantization quantization) {
  return quantization == Quantization::Signed8 || quantization == Quantization::Signed16;
}

// Samples actually produced: count limited to 0..512 and to the room in `out`.
int SampleCount(int count, std::span<double> out) {
  const auto room = static_cast<int>(std::min<std::size_t>(out.size(), kSimulationSamples));
  return std::clamp(count, 0, room);
}

// A coefficient count taken from the spec, kept within what the caller handed over.
int LimitedCount(int wanted, std::size_t available) {
  const auto room = static_cast<int>(std::min<std::size_t>(available, kTapCapacity));
  return std::clamp(wanted, 0, room);
}

// v cut toward zero to a whole number through a 64-bit integer, as the integer filter holds
// it (so a negative fraction becomes +0). Beyond 2^52 every double is already whole, which
// also keeps the conversion inside the 64-bit range.
double TruncateWhole(double value) {
  constexpr double kAllWhole = 4503599627370496.0;  // 2^52
  if (!(std::abs(value) < kAllWhole)) return value;
  return static_cast<double>(static_cast<std::int64_t>(value));
}

// A product cut toward zero to a 32-bit signed whole number, as an integer multiplier
// delivers it. Values outside the word saturate rather than wrap; quantised designs never
// produce them, since every coefficient and the input stay within their words.
double TruncateToInt32(double value) {
  constexpr double kAboveMax = 2147483648.0;   // 2^31
  constexpr double kBelowMin = -2147483649.0;  // -2^31 - 1
  if (std::isnan(value)) return 0.0;
  if (value >= kAboveMax) return std::numeric_limits<std::int32_t>::max();
  if (value <= kBelowMin) return std::numeric_limits<std::int32_t>::min();
  return static_cast<double>(static_cast<std::int32_t>(value));
}

// Scales integer-unit outputs back by 1/2^e and 1/s into `out` and returns the peak: the
// largest absolute value, replaced only by a strictly greater one, starting at 0.
double ScaleOutputs(const double* raw, int samples, int e, double amplitude,
                    std::span<double> out) {
  const double scale = std::ldexp(1.0, e);
  double peak = 0.0;
  for (int t = 0; t < samples; ++t) {
    out[t] = raw[t] / scale / amplitude;
    if (std::abs(out[t]) > peak) peak = std::abs(out[t]);
  }
  return peak;
}

double SimulateIir(const FilterSpec& spec, std::span<const double> b, std::span<const double> a,
                   int e, int count, std::span<double> out, Stimulus stimulus) {
  const int samples = SampleCount(count, out);
  History y{};
  if (b.empty() || a.empty()) return ScaleOutputs(y.data() + kHistoryPad, samples, e, 1.0, out);
  const int order =
      std::min({LimitedCount(spec.effectiveOrder, b.size() - 1),
                LimitedCount(spec.effectiveOrder, a.size() - 1), kMaxCoefficients - 1});
  const bool quantized = IsQuantized(spec.quantization);
  const double amplitude = InputAmplitude(spec.quantization);

  const bool unitLead = a[0] == 1.0;
  History x{};
  for (int t = 0; t < samples; ++t) {
    const int now = kHistoryPad + t;
    x[now] = (stimulus == Stimulus::Step || t == 0) ? amplitude : 0.0;
    if (quantized) {
      // Every product is cut to a whole number and so is the first partial sum; a sum of
      // whole doubles is whole again (exactly so below 2^53, and every double above 2^52 is
      // whole), and none of them is -0. Cutting the partial sums therefore changes nothing,
      // and leaving it out keeps the chain of dependent additions short.
      double acc = TruncateWhole(b[0] * x[now]);
      for (int k = 1; k <= order; ++k) {
        acc = (TruncateWhole(b[k] * x[now - k]) - TruncateWhole(a[k] * y[now - k])) + acc;
      }
      y[now] = TruncateWhole(acc / a[0]);
    } else {
      double acc = b[0] * x[now];
      for (int k = 1; k <= order; ++k) acc = (b[k] * x[now - k] - a[k] * y[now - k]) + acc;
      // A float design has a[0] = 1, and acc / 1 is acc to the bit; leaving the division off
      // the recursive path halves the latency of every sample.
      y[now] = unitLead ? acc : acc / a[0];
    }
  }
  return ScaleOutputs(y.data() + kHistoryPad, samples, e, amplitude, out);
}

// The convolution acc = sum over k of h[k] x(t - k) sees the impulse or step only where
// x(t - k) is not 0; every other term is a zero (+0 or -0) added to a sum that starts at +0
// and so can never be -0, which leaves the sum unchanged bit for bit. The impulse response is
// therefore the single term 0 + h[t] s, and the step response the running sum of the terms.
double SimulateFir(const FilterSpec& spec, std::span<const double> h, int e, int count,
                   std::span<double> out, Stimulus stimulus) {
  const int samples = SampleCount(count, out);
  const int taps = LimitedCount(spec.taps, h.size());
  const bool quantized = IsQuantized(spec.quantization);
  const double amplitude = InputAmplitude(spec.quantization);

  std::array<double, kSimulationSamples> y{};
  double running = 0.0;
  for (int t = 0; t < samples; ++t) {
    if (t < taps) {
      double term = h[t] * amplitude;
      if (quantized) term = TruncateToInt32(term);
      running = running + term;
      y[t] = stimulus == Stimulus::Step ? running : 0.0 + term;
    } else {
      y[t] = stimulus == Stimulus::Step ? running : 0.0;
    }
  }
  return ScaleOutputs(y.data(), samples, e, amplitude, out);
}

}  // namespace

double InputAmplitude(Quantization quantization) {
  constexpr double kSigned8FullScale = 128.0;
  constexpr double kSigned16FullScale = 32768.0;
  switch (quantization) {
    case Quantization::Signed8:
      return kSigned8FullScale;
    case Quantization::Signed16:
      return kSigned16FullScale;
    default:
      return 1.0;
  }
}

double SimulateIirStep(const FilterSpec& spec, std::span<const double> b, std::span<const double> a,
                       int e, int count, std::span<double> out) {
  return SimulateIir(spec, b, a, e, count, out, Stimulus::Step);
}

double SimulateIirImpulse(const FilterSpec& spec, std::span<const double> b,
                          std::span<const double> a, int e, int count, std::span<double> out) {
  return SimulateIir(spec, b, a, e, count, out, Stimulus::Impulse);
}

double SimulateFirStep(const FilterSpec& spec, std::span<const double> h, int e, int count,
                       std::span<double> out) {
  return SimulateFir(spec, h, e, count, out, Stimulus::Step);
}

double SimulateFirImpulse(const FilterSpec& spec, std::span<const double> h, int e, int count,
                          std::span<double> out) {
  return SimulateFir(spec, h, e, count, out, Stimulus::Impulse);
}

}  // namespace qv
