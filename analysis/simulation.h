// Sample-by-sample simulation of a designed filter on an impulse or a step, emulating the
// integer arithmetic of quantised coefficients.
#pragma once

#include <array>
#include <span>

#include "records/filter_spec.h"

namespace qv {

// Input amplitude by quantisation: 1 (float), 128 (8-bit), 32768 (16-bit).
double InputAmplitude(Quantization quantization);

// Each simulation produces min(count, 512) output samples in time order into `out` (room for
// at least that many) and returns the largest absolute output. Outputs are scaled back by
// 1/2^e and 1/amplitude, so they are in the units of the true filter.
//   IIR: b, a hold at least effectiveOrder + 1 coefficients; a[0] divides.
//   FIR: h holds at least taps coefficients, taps <= count.
//   e:   the design's shift (0 for float).
double SimulateIirStep(const FilterSpec& spec, std::span<const double> b, std::span<const double> a,
                       int e, int count, std::span<double> out);
double SimulateIirImpulse(const FilterSpec& spec, std::span<const double> b,
                          std::span<const double> a, int e, int count, std::span<double> out);

// SimulateIirStep and SimulateIirImpulse in one pass, with exactly their outputs and peaks:
// the two recursions run side by side, so that their chains of additions overlap.
//   stepOut, impulseOut: room for min(count, 512) samples each (the smaller room decides).
struct IirPeaks {
  double step = 0.0;
  double impulse = 0.0;
};
IirPeaks SimulateIirStepAndImpulse(const FilterSpec& spec, std::span<const double> b,
                                   std::span<const double> a, int e, int count,
                                   std::span<double> stepOut, std::span<double> impulseOut);

// The impulse response of an IIR design beyond the 512 samples, in the same arithmetic (the
// quantised truncations, the scaling by 1/2^e and 1/s), folded onto the 512-sample period:
// folded[m] = sum of y(t) and weighted[m] = sum of t y(t) over t = m mod 512. Their 512-point
// transforms are the response and the sum of t y(t) e^(-jwt) exactly at the display
// frequencies. The recursion runs in blocks of 512 samples until a block's absolute sum is at
// most `tailShare` of the first block's, or `maxBlocks` blocks have run (at least 2).
struct FoldedImpulse {
  std::array<double, kSimulationSamples> folded{};
  std::array<double, kSimulationSamples> weighted{};
  int blocks = 0;        // blocks simulated
  bool diedOut = false;  // the last block was negligible (else the blocks ran out)
};
void SimulateIirImpulseFolded(const FilterSpec& spec, std::span<const double> b,
                              std::span<const double> a, int e, double tailShare, int maxBlocks,
                              FoldedImpulse& result);

double SimulateFirStep(const FilterSpec& spec, std::span<const double> h, int e, int count,
                       std::span<double> out);
double SimulateFirImpulse(const FilterSpec& spec, std::span<const double> h, int e, int count,
                          std::span<double> out);

}  // namespace qv
