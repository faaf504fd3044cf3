// The records that every part of Quorvanel shares: the filter specification the user enters,
// the designed coefficients, and the display scale derived before every calculation.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "records/fixed_point_cascade.h"
#include "records/tolerance_scheme.h"

namespace qv {

// Capacities. The validation limits keep every index inside them.
inline constexpr int kMaxOrder = 19;            // highest filter order (IIR models)
inline constexpr int kMaxBandOrder = 9;         // highest order for band pass and band stop
inline constexpr int kMaxCoefficients = 20;     // IIR coefficients, roots, zeros and poles
inline constexpr int kMaxTaps = 511;            // highest FIR tap count
inline constexpr int kTapCapacity = 512;        // room in FilterDesign::firTaps
inline constexpr int kSimulationSamples = 512;  // samples of every simulation and transform
inline constexpr int kFrequencyBins = 512;      // bins of the FIR frequency grid
inline constexpr int kDisplayPoints = 256;      // points of every plotted curve
inline constexpr int kMinPoints = 32;           // fewest analysis points of an IIR design

// The enumerations hold int32 values; a design file may carry any value, which validation
// refuses, so none of them is assumed to be in range before validation.
enum class FilterClass : std::int32_t { Iir = 0, Fir = 1 };
enum class BandType : std::int32_t { LowPass = 0, HighPass = 1, BandPass = 2, BandStop = 3 };
enum class FilterModel : std::int32_t {
  Butterworth = 0,
  Chebyshev = 1,
  Bessel = 2,
  Rectangle = 3,
  RaisedCosine = 4,
  // Added later, numbered after the first five so that an older reader refuses them.
  ChebyshevII = 5,
  Elliptic = 6,
  Kaiser = 7,
  Equiripple = 8
};
inline constexpr std::int32_t kLastFilterModel = 8;
enum class Quantization : std::int32_t { Float = 0, Signed8 = 1, Signed16 = 2 };
// How a quantised IIR design is built: one direct-form numerator/denominator pair, or a cascade
// of second-order sections, each quantised on its own. Float and FIR designs ignore it.
enum class IirStructure : std::int32_t { Direct = 0, Sections = 1 };
// How a cascade spreads its gain: each section's output peak (L-infinity) or energy (L2) held
// at full scale for a full-scale input.
enum class SectionScaling : std::int32_t { LInfinity = 0, L2 = 1 };

// The complete description of one filter as entered. Frequencies are whole hertz.
struct FilterSpec {
  FilterClass filterClass = FilterClass::Iir;
  BandType bandType = BandType::LowPass;
  FilterModel model = FilterModel::Butterworth;
  std::int32_t order = 2;  // as entered (IIR models)
  std::int32_t effectiveOrder =
      0;                     // 2 x order for band pass / band stop, else order; set by Validate
  double rollOff = 0.5;      // alpha of the raised-cosine model
  std::int32_t fcut1 = 100;  // Hz; the cut frequency of low and high pass
  std::int32_t fcut2 = 350;  // Hz; band pass / band stop; Validate copies fcut1 for low/high pass
  std::int32_t fsample = 1000;  // Hz
  double fcenter = 0.0;         // Hz; geometric mean of the pre-warped cut frequencies
  double ripple = 1.0;          // dB, pass-band ripple (Chebyshev)
  std::int32_t taps = 31;       // FIR tap count N
  Quantization quantization = Quantization::Float;
  ToleranceScheme scheme{};  // kept in the design file's extension block, not in the 68 bytes
  IirStructure structure = IirStructure::Direct;
  SectionScaling sectionScaling = SectionScaling::LInfinity;

  friend bool operator==(const FilterSpec&, const FilterSpec&) = default;
};

// True for the models that have an analog prototype (and so poles and zeros).
constexpr bool IsIirModel(FilterModel model) {
  return model == FilterModel::Butterworth || model == FilterModel::Chebyshev ||
         model == FilterModel::Bessel || model == FilterModel::ChebyshevII ||
         model == FilterModel::Elliptic;
}

// True for the models designed from the tolerance scheme itself (its edges and As), which
// therefore cannot be designed without one.
constexpr bool NeedsScheme(FilterModel model) {
  return model == FilterModel::ChebyshevII || model == FilterModel::Elliptic ||
         model == FilterModel::Kaiser || model == FilterModel::Equiripple;
}

constexpr bool IsBandType(BandType band) {
  return band == BandType::BandPass || band == BandType::BandStop;
}

// True when the design is a quantised cascade of second-order sections: an IIR class with an
// IIR model, 8- or 16-bit coefficients and the structure Sections.
constexpr bool UsesFixedPointSections(const FilterSpec& spec) {
  return spec.structure == IirStructure::Sections && spec.filterClass == FilterClass::Iir &&
         IsIirModel(spec.model) &&
         (spec.quantization == Quantization::Signed8 ||
          spec.quantization == Quantization::Signed16);
}

// The designed coefficients. Only b[0..m], a[0..m] (m = effectiveOrder) and h[0..taps-1] are
// meaningful; later entries keep older values. Quantised designs hold whole numbers here.
//   IIR: H(z) = (sum b[k] z^-k / 2^shift) / (sum a[k] z^-k)
//   FIR: H(z) = sum h[k] z^-k / 2^shift
struct FilterDesign {
  std::array<double, kMaxCoefficients> numerator{};    // b[k] multiplies z^-k
  std::array<double, kMaxCoefficients> denominator{};  // a[k] multiplies z^-k
  std::array<double, kTapCapacity> firTaps{};          // h[k]
  std::int32_t shift = 0;                              // 0 for float coefficients
  // The quantised sections of a design that UsesFixedPointSections; numerator and denominator
  // then hold the float design they were made from, and shift is 0.
  FixedPointCascade cascade{};

  friend bool operator==(const FilterDesign&, const FilterDesign&) = default;
};

// Derived before every design: analysis length and the display units.
struct DisplayScale {
  std::int32_t points = 0;           // analysis samples: 32..512 for IIR, the tap count for FIR
  float columnStep = 0.0f;           // samples per plotted column, points / 256
  float timeStep = 0.0f;             // time between plotted columns, in timeUnit
  std::int32_t freqDivisor = 1;      // Hz per freqUnit: 1, 1000, 1000000 or 1000000000
  std::string_view timeUnit = "s";   // "s", "ms", "us" or "ns"
  std::string_view freqUnit = "Hz";  // "Hz", "KHz", "MHz" or "GHz"

  friend bool operator==(const DisplayScale&, const DisplayScale&) = default;
};

}  // namespace qv
