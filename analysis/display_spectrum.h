// The frequency response of a designed filter at the 256 display frequencies, taken from the
// whole response, and its group delay where the phase differences between display points
// cannot follow it.
#pragma once

#include <array>
#include <span>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

// An IIR response has died out within the 512 simulated samples when the next 512 samples add
// at most this share of the first 512 ones' absolute sum: their transform then holds the whole
// response to within 0.01 dB wherever it lies above -80 dB.
inline constexpr double kNegligibleTail = 1e-7;
// A quantised IIR response that has not died out is simulated on to at most this many blocks
// of 512 samples (32768 samples), which keeps Calculate within a few milliseconds.
inline constexpr int kLongResponseBlocks = 64;
// From this many taps the linear phase of an FIR design falls by pi/8 or more between display
// points, where the phase differences no longer give its delay (at 65 taps by exactly pi/8,
// so that the rounding of the phases decides whether a step counts as a slope).
inline constexpr int kFirTapDelayFrom = 65;
// A float IIR design whose response has died out still takes its curves from its transfer
// function when, at a display point above kCurveDepthShare of the reference gain, the samples
// after the 512 move the gain by more than kTailShare of it (0.01 dB), or the rounding of its
// simulation in double may reach kRoundingShare of it (see ComputeDisplaySpectrum).
inline constexpr double kCurveDepthShare = 1e-4;  // -80 dB
inline constexpr double kTailShare = 1.15e-3;
inline constexpr double kRoundingShare = 1e-2;

struct DisplaySpectrum {
  // The response at point k (frequency k Fs / 512), in the units of the 512-point transform
  // with its 1/512 factor: the gain H(e^jw) divided by 512.
  std::array<Complex, kDisplayPoints> value{};
  // Group delay in samples at each point, from the response itself; NaN where |H| is too small
  // for it. Meaningful only with `delayFromResponse`; otherwise the phase differences apply.
  std::array<double, kDisplayPoints> delaySamples{};
  bool delayFromResponse = false;
};

// For a designed filter whose first 512 impulse-response samples are `impulse` (as simulated):
//   - an FIR design, or an IIR design whose response has died out (kNegligibleTail): the
//     512-point transform of `impulse`, and for FIR designs of kFirTapDelayFrom taps and more
//     the delay Re{sum n h[n] e^-jwn / sum h[n] e^-jwn} from the taps;
//   - a float IIR design that rings on, whose reference gain lies so far below its largest
//     gain that the samples after the 512 still show (kTailShare), or whose simulation in
//     double may be off by its rounding: B(e^jw) / A(e^jw) of its coefficients, with the
//     delay of that transfer function.
//     The rounding errors the recursion feeds back are at most about u sum|a[k]| sum|y(t)|
//     (u = 2^-53) in the transform; near a cluster of poles 1/|A(e^jw)| amplifies them. Where
//     that estimate, divided by |A(e^jw)|, exceeds kRoundingShare of the gain at a point above
//     kCurveDepthShare of the reference gain, the transfer function decides (the estimate runs
//     25 to 120 times above the errors measured, so the curve it replaces is off by 0.01 to
//     0.1 dB at most, and a well-conditioned design keeps its curve bit for bit);
//   - a quantised IIR design that rings on: the response simulated on in its integer
//     arithmetic (at most kLongResponseBlocks blocks, so limit cycles stay in it), taken
//     exactly at the display frequencies, with the delay of the same sums.
// The gain the magnitude curve is drawn against, from the gains at the 256 display points:
// point 0 for a low pass, point 127 for a high pass, the largest gain otherwise or where that
// point has no finite gain.
double ReferenceGain(BandType band, std::span<const double> gains);

void ComputeDisplaySpectrum(const FilterSpec& spec, const FilterDesign& design,
                            std::span<const double> impulse, DisplaySpectrum& result);

// The 512-point transform of the first 512 samples of `impulse` alone, at the display points.
void ComputeSampledSpectrum(std::span<const double> impulse, DisplaySpectrum& result);

}  // namespace qv
