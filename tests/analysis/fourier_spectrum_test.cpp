#include "analysis/fourier_spectrum.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "analysis/simulation.h"
#include "records/filter_spec.h"

namespace qv {
namespace {

struct LongComplex {
  long double re = 0.0L;
  long double im = 0.0L;
};

// The defining direct sum, angle and sums in extended precision:
// X[i] = (1/N) sum_j y(j) e^(i theta), theta = (j i)(-6.283185307179586)/N.
std::vector<LongComplex> DirectSum(const std::vector<double>& y) {
  const auto n = static_cast<long double>(y.size());
  std::vector<LongComplex> x(y.size());
  for (std::size_t i = 0; i < y.size(); ++i) {
    long double re = 0.0L;
    long double im = 0.0L;
    for (std::size_t j = 0; j < y.size(); ++j) {
      const long double theta =
          static_cast<long double>(j * i) * static_cast<long double>(-6.283185307179586) / n;
      re += y[j] * std::cos(theta);
      im += y[j] * std::sin(theta);
    }
    x[i] = {re / n, im / n};
  }
  return x;
}

long double Peak(const std::vector<LongComplex>& x) {
  long double peak = 0.0L;
  for (const LongComplex& v : x) peak = std::max(peak, std::hypot(v.re, v.im));
  return peak;
}

struct SignalCase {
  std::string name;
  int size;
  std::function<double(int)> sample;
};

double Random(int t) {
  static const std::vector<double> values = [] {
    std::mt19937_64 engine(20240611);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<double> v(kSimulationSamples);
    for (double& x : v) x = uniform(engine);
    return v;
  }();
  return values[t];
}

// The impulse response of a resonant filter: slowly decaying, all frequencies present.
double Resonant(int t) {
  static const std::array<double, kSimulationSamples> response = [] {
    FilterSpec spec{.effectiveOrder = 2};
    const std::array<double, 3> b{0.02, 0.0, -0.02};
    const std::array<double, 3> a{1.0, -1.6, 0.97};
    std::array<double, kSimulationSamples> out{};
    SimulateIirImpulse(spec, b, a, 0, kSimulationSamples, out);
    return out;
  }();
  return response[t];
}

constexpr double kTwoPi = 6.283185307179586;

std::vector<SignalCase> SignalCases() {
  const int n = kSimulationSamples;
  return {
      {"ImpulseAtZero", n, [](int t) { return t == 0 ? 1.0 : 0.0; }},
      {"ImpulseAt37", n, [](int t) { return t == 37 ? -2.5 : 0.0; }},
      {"Step", n, [](int) { return 1.0; }},
      {"StepFrom200", n, [](int t) { return t >= 200 ? 0.75 : 0.0; }},
      {"SineOnBin12", n, [](int t) { return std::sin(kTwoPi * 12 * t / 512); }},
      {"SineBetweenBins", n, [](int t) { return std::sin(kTwoPi * 103.977 * t / 1000); }},
      {"Alternating", n, [](int t) { return t % 2 == 0 ? 1.0 : -1.0; }},
      {"Random", n, Random},
      {"RandomWideRange", n, [](int t) { return Random(t) * std::pow(10.0, 6 * Random(511 - t)); }},
      {"ResonantImpulseResponse", n, Resonant},
      {"RandomOdd511", 511, Random},
      {"Random31", 31, Random},
      {"Sine100", 100, [](int t) { return std::sin(kTwoPi * 7.3 * t / 100); }},
  };
}

class SpectrumMatchesDirectSum : public ::testing::TestWithParam<SignalCase> {};

TEST_P(SpectrumMatchesDirectSum, WithinOneInATrillionOfThePeak) {
  const SignalCase& c = GetParam();
  std::vector<double> y(static_cast<std::size_t>(c.size));
  for (int t = 0; t < c.size; ++t) y[t] = c.sample(t);
  const std::vector<LongComplex> expected = DirectSum(y);
  const long double peak = Peak(expected);

  std::vector<Complex> x(y.size() + 3, Complex{-9.0, -9.0});
  const double returned = ComputeSpectrum(y, std::span<Complex>(x).first(y.size()));

  const auto tolerance = static_cast<double>(1e-12L * peak);
  double largest = -1.0;
  for (std::size_t i = 0; i < y.size(); ++i) {
    EXPECT_NEAR(x[i].re, static_cast<double>(expected[i].re), tolerance) << "bin " << i;
    EXPECT_NEAR(x[i].im, static_cast<double>(expected[i].im), tolerance) << "bin " << i;
    largest = std::max(largest, std::sqrt(x[i].re * x[i].re + x[i].im * x[i].im));
  }
  EXPECT_EQ(returned, largest);
  EXPECT_NEAR(returned, static_cast<double>(peak), tolerance);
  for (std::size_t i = y.size(); i < x.size(); ++i) EXPECT_EQ(x[i], (Complex{-9.0, -9.0}));
}

INSTANTIATE_TEST_SUITE_P(Signals, SpectrumMatchesDirectSum, ::testing::ValuesIn(SignalCases()),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace qv
