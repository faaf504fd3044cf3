// The tolerance scheme seen through the bilinear transform: its edges pre-warped to analog
// frequencies and the low-pass prototype frequency that each band type maps them to.
#pragma once

#include <array>

#include "records/filter_spec.h"

namespace qv {

// Analog edges in rad/s, 2 fs tan(pi f / fs). For low and high pass only pass1 and stop1 are
// meaningful. The band transformation takes the pass-band edges to prototype frequency 1:
// centre = sqrt(pass1 pass2), width = pass2 - pass1.
struct AnalogBand {
  double pass1 = 0.0;
  double pass2 = 0.0;
  double stop1 = 0.0;
  double stop2 = 0.0;
  double centre = 0.0;
  double width = 0.0;
  // The prototype frequency (>= 1) of the stop-band edge nearest the pass band: the
  // selectivity that sets the order.
  double selectivity = 1.0;
};

// The pre-warped band of the active scheme of a validated `spec`. For a band stop with
// `widenBandStop`, the pass-band edges are moved toward the stop band as far as that raises
// the selectivity (the pass band then covers more than asked, never less), as a minimum-order
// design does.
AnalogBand SchemeAnalogBand(const FilterSpec& spec, bool widenBandStop);

// The prototype frequency of the analog frequency `omega` (rad/s) under the band
// transformation of `band` for `type`.
double PrototypeFrequency(const AnalogBand& band, BandType type, double omega);

// The analog frequency `omega` (rad/s) at `fsampleHz` back to the digital frequency in Hz.
double UnwarpHz(double omega, double fsampleHz);

// 2 fs tan(pi f / fs): the analog frequency (rad/s) that the bilinear transform maps to `fHz`.
double WarpRadians(double fHz, double fsampleHz);

}  // namespace qv

namespace qv {

inline constexpr int kMaxSchemeBands = 3;

// The bands of an FIR design from the scheme, in cycles per sample (0..0.5): pass bands with
// desired gain 1 and stop bands with 0, from the lowest up, with the weights that give
// deviations in the ratio of the scheme's: pass 1, stop delta_p / delta_s.
struct FirBand {
  double low = 0.0;
  double high = 0.0;
  double desired = 0.0;
  double weight = 1.0;
};
struct FirBands {
  std::array<FirBand, kMaxSchemeBands> bands{};
  int count = 0;
  double narrowestTransition = 0.0;  // cycles per sample
  double deltaPass = 0.0;            // largest pass-band deviation from 1 that Rp allows
  double deltaStop = 0.0;            // largest stop-band magnitude that As allows
};

FirBands SchemeFirBands(const FilterSpec& spec);

// `bands` with every transition narrowed to the narrowest one by widening the pass band next to
// it: a stricter problem whose answer still meets the scheme, and whose transitions are all of
// one width.
FirBands EqualTransitions(FirBands bands);

}  // namespace qv
