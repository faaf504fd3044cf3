#include "analysis/simulation.h"
#include "records/word_format.h"

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

// The reciprocal r of a power of two d: v / d and v * r are then the correctly rounded value
// of the same real number, so they agree to the bit, and a multiplication is several times
// shorter than a division. Else (d no power of two, or r not a double) 0.
double ExactReciprocal(double divisor) {
  int exponent = 0;
  if (!std::isfinite(divisor) || std::abs(std::frexp(divisor, &exponent)) != 0.5) return 0.0;
  const double reciprocal = 1.0 / divisor;
  return std::isfinite(reciprocal) ? reciprocal : 0.0;
}

// Scales integer-unit outputs back by 1/2^e and 1/s into `out` and returns the peak: the
// largest absolute value, replaced only by a strictly greater one, starting at 0.
double ScaleOutputs(const double* raw, int samples, int e, double amplitude,
                    std::span<double> out) {
  const double scale = std::ldexp(1.0, e);
  // Both divisors are powers of two: multiplying by their exact reciprocals gives the same
  // bits, one step at a time, without a division per sample.
  const double scaleReciprocal = ExactReciprocal(scale);
  const double amplitudeReciprocal = ExactReciprocal(amplitude);
  const bool exact = scaleReciprocal != 0.0 && amplitudeReciprocal != 0.0;
  double peak = 0.0;
  for (int t = 0; t < samples; ++t) {
    out[t] = exact ? raw[t] * scaleReciprocal * amplitudeReciprocal : raw[t] / scale / amplitude;
    if (std::abs(out[t]) > peak) peak = std::abs(out[t]);
  }
  return peak;
}

// Every product and every partial sum of the quantised recursion is a whole number (see
// SimulateIir), so the order of the additions matters only where a sum is rounded. Let
// B = sum |b[k]| s and A = sum over k >= 1 of |a[k]|. While every output in the history is at
// most L = (2^52 - B) / A in magnitude, the terms of one sample add up in magnitude to at
// most B + A L = 2^52, and every partial sum, however grouped, is a whole number of at most
// 2^52 (the rounding of B, A, L and of the products adds a relative 2^-47 at most, far inside
// the factor 2 to 2^53). Whole numbers up to 2^53 are doubles and their sums exact, so any
// grouping gives the exact sum, as the literal loop does; and +0 - +0 and +0 + +0 are +0, so
// no grouping makes a -0 where the loop has +0. Returns L (at most 2^52, so that every term
// fits a 64-bit integer), or -1 when no output can be bounded (non-finite coefficients).
double ExactOutputLimit(std::span<const double> b, std::span<const double> a, int order,
                        double amplitude) {
  constexpr double kExactBudget = 4503599627370496.0;  // 2^52
  double input = 0.0;
  double feedback = 0.0;
  for (int k = 0; k <= order; ++k) input += std::abs(b[k]);
  for (int k = 1; k <= order; ++k) feedback += std::abs(a[k]);
  const double room = kExactBudget - input * amplitude;
  if (!(room > 0.0) || !std::isfinite(feedback)) return -1.0;
  const double limit = room / feedback;  // +inf for a filter without feedback
  return limit < kExactBudget ? limit : kExactBudget;
}

// A whole-number cut for values known to lie within 2^52.
double TruncateBounded(double value) {
  return static_cast<double>(static_cast<std::int64_t>(value));
}

// One recursion: its input and output histories in time order behind the zero pad.
struct IirLane {
  Stimulus stimulus;
  std::span<double> out;
  History x{};
  History y{};
  double newest = 0.0;  // y(t - 1), also held here so that the recursion need not reload it
  bool exact = true;    // every output so far within the exact-sum limit
};

// What every sample of every lane reads.
struct IirFilter {
  std::span<const double> b;
  std::span<const double> a;
  int order;
  bool quantized;
  double amplitude;
  double limit;       // ExactOutputLimit, or -1 for float designs
  double reciprocal;  // ExactReciprocal(a[0])
};

// Output t of one lane.
inline void IirSample(const IirFilter& f, IirLane& lane, int t) {
  const int now = kHistoryPad + t;
  double* x = lane.x.data() + now;
  double* y = lane.y.data() + now;
  const auto& b = f.b;
  const auto& a = f.a;
  x[0] = (lane.stimulus == Stimulus::Step || t == 0) ? f.amplitude : 0.0;
  double acc = 0.0;
  if (f.quantized && lane.exact) {
    // Regrouped (see ExactOutputLimit): the older terms in two independent sums, the newest
    // output's term last, so that one addition follows the previous sample.
    const auto older = [&](int k) {
      return TruncateBounded(b[k] * x[-k]) - TruncateBounded(a[k] * y[-k]);
    };
    double older0 = 0.0;
    double older1 = 0.0;
    int k = 2;
    for (; k + 1 <= f.order; k += 2) {
      older0 += older(k);
      older1 += older(k + 1);
    }
    if (k <= f.order) older0 += older(k);
    acc = TruncateBounded(b[0] * x[0]) + (older0 + older1);
    if (f.order >= 1) {
      acc += TruncateBounded(b[1] * x[-1]) - TruncateBounded(a[1] * lane.newest);
    }
  } else if (f.quantized) {
    // Every product is cut to a whole number and so is the first partial sum; a sum of whole
    // doubles is whole again (exactly so below 2^53, and every double above 2^52 is whole),
    // and none of them is -0. Cutting the partial sums therefore changes nothing, and leaving
    // it out keeps the chain of dependent additions short.
    acc = TruncateWhole(b[0] * x[0]);
    for (int k = 1; k <= f.order; ++k) {
      acc = (TruncateWhole(b[k] * x[-k]) - TruncateWhole(a[k] * y[-k])) + acc;
    }
  } else {
    acc = b[0] * x[0];
    if (f.order >= 1) acc = (b[1] * x[-1] - a[1] * lane.newest) + acc;
    for (int k = 2; k <= f.order; ++k) acc = (b[k] * x[-k] - a[k] * y[-k]) + acc;
  }
  const double divided = f.reciprocal != 0.0 ? acc * f.reciprocal : acc / a[0];
  const double output = f.quantized ? TruncateWhole(divided) : divided;
  y[0] = output;
  lane.newest = output;
  lane.exact = lane.exact && std::abs(output) <= f.limit;
}

// Runs the recursions of `lanes` side by side: each keeps its own arithmetic, and their
// independent chains of additions overlap in the processor. Scales each lane's outputs into
// its `out` and its peak into the same place of `peaks`.
template <std::size_t kLanes>
void SimulateIir(const FilterSpec& spec, std::span<const double> b, std::span<const double> a,
                 int e, int samples, std::array<IirLane, kLanes>& lanes,
                 std::array<double, kLanes>& peaks) {
  const int order =
      std::min({LimitedCount(spec.effectiveOrder, b.size() - 1),
                LimitedCount(spec.effectiveOrder, a.size() - 1), kMaxCoefficients - 1});
  const bool quantized = IsQuantized(spec.quantization);
  const double amplitude = InputAmplitude(spec.quantization);
  const IirFilter filter{b,
                         a,
                         order,
                         quantized,
                         amplitude,
                         quantized ? ExactOutputLimit(b, a, order, amplitude) : -1.0,
                         ExactReciprocal(a[0])};
  for (IirLane& lane : lanes) lane.exact = filter.limit >= 0.0;
  for (int t = 0; t < samples; ++t) {
    IirSample(filter, lanes[0], t);
    if constexpr (kLanes > 1) IirSample(filter, lanes[1], t);
  }
  for (std::size_t i = 0; i < kLanes; ++i) {
    peaks[i] = ScaleOutputs(lanes[i].y.data() + kHistoryPad, samples, e, amplitude, lanes[i].out);
  }
}

double SimulateIirOne(const FilterSpec& spec, std::span<const double> b, std::span<const double> a,
                      int e, int count, std::span<double> out, Stimulus stimulus) {
  const int samples = SampleCount(count, out);
  if (b.empty() || a.empty()) {
    const History silent{};
    return ScaleOutputs(silent.data() + kHistoryPad, samples, e, 1.0, out);
  }
  std::array<IirLane, 1> lane{IirLane{stimulus, out}};
  std::array<double, 1> peak{};
  SimulateIir(spec, b, a, e, samples, lane, peak);
  return peak[0];
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

void SimulateIirImpulseFolded(const FilterSpec& spec, std::span<const double> b,
                              std::span<const double> a, int e, double tailShare, int maxBlocks,
                              FoldedImpulse& result) {
  result = FoldedImpulse{};
  if (b.empty() || a.empty()) return;
  const int order =
      std::min({LimitedCount(spec.effectiveOrder, b.size() - 1),
                LimitedCount(spec.effectiveOrder, a.size() - 1), kMaxCoefficients - 1});
  const bool quantized = IsQuantized(spec.quantization);
  const double amplitude = InputAmplitude(spec.quantization);
  const double scale = std::ldexp(1.0, e);
  // The last `order` outputs, newest at `(now - k) mod kRing`: the literal loop's history.
  constexpr int kRing = kMaxCoefficients;
  std::array<double, kRing> y{};
  double firstBlock = 0.0;
  std::int64_t t = 0;
  for (int block = 0; block < std::max(maxBlocks, 2); ++block) {
    double blockSum = 0.0;
    for (int m = 0; m < kSimulationSamples; ++m, ++t) {
      const auto input = [&](int k) { return t == k ? amplitude : 0.0; };
      const auto past = [&](int k) { return y[static_cast<std::size_t>((t - k) % kRing)]; };
      double acc = 0.0;
      if (quantized) {
        acc = TruncateWhole(b[0] * input(0));
        for (int k = 1; k <= order; ++k) {
          acc = (TruncateWhole(b[k] * input(k)) - TruncateWhole(a[k] * (t >= k ? past(k) : 0.0))) +
                acc;
        }
        acc = TruncateWhole(acc / a[0]);
      } else {
        acc = b[0] * input(0);
        for (int k = 1; k <= order; ++k) {
          acc = (b[k] * input(k) - a[k] * (t >= k ? past(k) : 0.0)) + acc;
        }
        acc = acc / a[0];
      }
      y[static_cast<std::size_t>(t % kRing)] = acc;
      const double value = acc / scale / amplitude;
      result.folded[m] += value;
      result.weighted[m] += static_cast<double>(t) * value;
      blockSum += std::abs(value);
    }
    result.blocks = block + 1;
    if (block == 0) {
      firstBlock = blockSum;
    } else if (!(blockSum > tailShare * firstBlock)) {
      result.diedOut = true;
      return;
    }
  }
}

double InputAmplitude(Quantization quantization) { return WordFormatOf(quantization).fullScale; }

double SimulateIirStep(const FilterSpec& spec, std::span<const double> b, std::span<const double> a,
                       int e, int count, std::span<double> out) {
  return SimulateIirOne(spec, b, a, e, count, out, Stimulus::Step);
}

double SimulateIirImpulse(const FilterSpec& spec, std::span<const double> b,
                          std::span<const double> a, int e, int count, std::span<double> out) {
  return SimulateIirOne(spec, b, a, e, count, out, Stimulus::Impulse);
}

IirPeaks SimulateIirStepAndImpulse(const FilterSpec& spec, std::span<const double> b,
                                   std::span<const double> a, int e, int count,
                                   std::span<double> stepOut, std::span<double> impulseOut) {
  if (b.empty() || a.empty()) {
    return {SimulateIirStep(spec, b, a, e, count, stepOut),
            SimulateIirImpulse(spec, b, a, e, count, impulseOut)};
  }
  const int samples = std::min(SampleCount(count, stepOut), SampleCount(count, impulseOut));
  std::array<IirLane, 2> lanes{IirLane{Stimulus::Step, stepOut},
                               IirLane{Stimulus::Impulse, impulseOut}};
  std::array<double, 2> peaks{};
  SimulateIir(spec, b, a, e, samples, lanes, peaks);
  return {peaks[0], peaks[1]};
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
