// A design must not touch the heap. This executable replaces the global allocation functions
// with counting ones and runs whole designs, and the analysis primitives they use, between
// two readings of the count.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "analysis/fourier_spectrum.h"
#include "analysis/simulation.h"
#include "analysis/zero_placement.h"
#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/minimum_order.h"
#include "design/scheme_check.h"
#include "design/validation.h"
#include "design_test_support.h"

namespace {

std::atomic<long> allocations{0};

void* Allocate(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace qv {
namespace {

std::vector<FilterSpec> Specifications() {
  using M = FilterModel;
  using B = BandType;
  std::vector<FilterSpec> specs;
  for (const Quantization q :
       {Quantization::Float, Quantization::Signed8, Quantization::Signed16}) {
    for (const B band : {B::LowPass, B::HighPass, B::BandPass, B::BandStop}) {
      for (const M model : {M::Butterworth, M::Chebyshev, M::Bessel}) {
        specs.push_back(FilterSpec{.filterClass = FilterClass::Iir,
                                   .bandType = band,
                                   .model = model,
                                   .order = 3,
                                   .fcut1 = 100,
                                   .fcut2 = 300,
                                   .quantization = q});
        specs.push_back(FilterSpec{.filterClass = FilterClass::Fir,
                                   .bandType = band,
                                   .model = model,
                                   .order = 3,
                                   .fcut1 = 100,
                                   .fcut2 = 300,
                                   .taps = 127,
                                   .quantization = q});
      }
      specs.push_back(FilterSpec{.filterClass = FilterClass::Fir,
                                 .bandType = band,
                                 .model = M::Rectangle,
                                 .order = 2,
                                 .fcut1 = 100,
                                 .fcut2 = 350,
                                 .taps = 31,
                                 .quantization = q});
      specs.push_back(FilterSpec{.filterClass = FilterClass::Fir,
                                 .bandType = band,
                                 .model = M::RaisedCosine,
                                 .order = 2,
                                 .fcut1 = 60,
                                 .fcut2 = 300,
                                 .taps = 64,
                                 .quantization = q});
    }
    specs.push_back(FilterSpec{.filterClass = FilterClass::Fir,
                               .bandType = B::BandStop,
                               .model = M::Chebyshev,
                               .order = 9,
                               .fcut1 = 100,
                               .fcut2 = 300,
                               .taps = 511,
                               .quantization = q});
    specs.push_back(FilterSpec{.filterClass = FilterClass::Iir,
                               .bandType = B::BandStop,
                               .model = M::Chebyshev,
                               .order = 9,
                               .fcut1 = 100,
                               .fcut2 = 300,
                               .quantization = q});
    // The fixed-point cascade of the same band stop, with both scalings.
    for (const SectionScaling scaling : {SectionScaling::LInfinity, SectionScaling::L2}) {
      specs.push_back(FilterSpec{.filterClass = FilterClass::Iir,
                                 .bandType = B::BandStop,
                                 .model = M::Chebyshev,
                                 .order = 9,
                                 .fcut1 = 100,
                                 .fcut2 = 300,
                                 .quantization = q,
                                 .structure = IirStructure::Sections,
                                 .sectionScaling = scaling});
    }
  }
  return specs;
}

TEST(DesignAllocation, NoDesignAllocates) {
  std::vector<FilterSpec> specs = Specifications();
  std::vector<DisplayScale> scales(specs.size());
  for (std::size_t i = 0; i < specs.size(); ++i) {
    ASSERT_EQ(Validate(specs[i]), ValidationCode::Valid);
    DeriveScale(specs[i], scales[i]);
  }
  FilterDesign design;
  PoleList poles{};
  std::array<double, kSimulationSamples> samples{};
  std::array<Complex, kSimulationSamples> spectrum{};
  std::array<Complex, kMaxCoefficients> zeros{};

  const long before = allocations.load();
  for (std::size_t i = 0; i < specs.size(); ++i) {
    static_cast<void>(Design(specs[i], scales[i], design, poles));
    SimulateIirStep(specs[i], design.numerator, design.denominator, design.shift,
                    kSimulationSamples, samples);
    SimulateFirImpulse(specs[i], design.firTaps, design.shift, kSimulationSamples, samples);
    ComputeSpectrum(samples, spectrum);
    ComputeSpectrum(std::span<const double>(samples).first(100),
                    std::span<Complex>(spectrum).first(100));
    PlaceIirZeros(specs[i], zeros);
  }
  EXPECT_EQ(allocations.load() - before, 0);

  // The counter does see allocations.
  const auto probe = std::make_unique<std::array<double, 4>>();
  EXPECT_GT(allocations.load() - before, 0);
}

// The designs from a tolerance scheme, their minimum-order searches and the check, likewise.
TEST(DesignAllocation, NoSchemeDesignAllocates) {
  using M = FilterModel;
  using B = BandType;
  std::vector<FilterSpec> specs;
  for (const B band : {B::LowPass, B::HighPass, B::BandPass, B::BandStop}) {
    ToleranceScheme scheme{.active = true, .pass1 = 100, .stop1 = 150, .attenuation = 50};
    if (band == B::HighPass)
      scheme = {.active = true, .pass1 = 150, .stop1 = 100, .attenuation = 50};
    if (band == B::BandPass) {
      scheme = {.active = true,
                .pass1 = 150,
                .pass2 = 250,
                .stop1 = 100,
                .stop2 = 300,
                .attenuation = 50};
    }
    if (band == B::BandStop) {
      scheme = {.active = true,
                .pass1 = 100,
                .pass2 = 300,
                .stop1 = 150,
                .stop2 = 250,
                .attenuation = 50};
    }
    for (const bool minimum : {false, true}) {
      scheme.minimumOrder = minimum;
      for (const M model :
           {M::Butterworth, M::Chebyshev, M::ChebyshevII, M::Elliptic, M::Kaiser, M::Equiripple}) {
        const bool fir = model == M::Kaiser || model == M::Equiripple;
        if (!minimum && !NeedsScheme(model)) continue;
        specs.push_back(FilterSpec{.filterClass = fir ? FilterClass::Fir : FilterClass::Iir,
                                   .bandType = band,
                                   .model = model,
                                   .order = 3,
                                   .taps = 63,
                                   .scheme = scheme});
      }
    }
  }
  FilterDesign design;
  PoleList poles{};
  const long before = allocations.load();
  for (FilterSpec& spec : specs) {
    MinimumOrder found;
    if (PrepareScheme(spec, found) != static_cast<int>(ValidationCode::Valid) ||
        Validate(spec) != ValidationCode::Valid)
      continue;
    DisplayScale scale;
    DeriveScale(spec, scale);
    if (Design(spec, scale, design, poles) == DesignCode::Ok) CheckAgainstScheme(spec, design);
  }
  EXPECT_EQ(allocations.load() - before, 0);
}

}  // namespace
}  // namespace qv
