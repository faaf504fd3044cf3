// Equiripple FIR design: the Parks-McClellan (Remez exchange) algorithm in double precision,
// linear phase for odd and even tap counts.
#pragma once

#include <span>

#include "design/scheme_band.h"
#include "records/filter_spec.h"

namespace qv {

inline constexpr int kRemezGridDensity = 16;  // grid points per extremal frequency
inline constexpr int kRemezMaxIterations = 60;

enum class RemezCode : int {
  Converged = 0,
  NotConverged = -1,  // the exchange did not settle within kRemezMaxIterations
  Degenerate = -2,    // the bands leave too few grid points for the taps
};

// The `taps` (1..kMaxTaps) coefficients h[0..taps-1] of the symmetric filter that minimises
// the largest weighted deviation from the desired gain over `bands` (cycles per sample,
// rising, within 0..0.5). An even count has a zero at half the sampling frequency, so a band
// there is approximated up to one grid step below it. On failure `h` holds zeros.
[[nodiscard]] RemezCode RemezExchange(int taps, std::span<const FirBand> bands,
                                      std::span<double> h);

// Fills firTaps h[0..taps-1] (unnormalised) of `design` for a validated equiripple `spec`
// with an active scheme. Returns a RemezCode.
[[nodiscard]] RemezCode DesignEquiripple(const FilterSpec& spec, FilterDesign& design);

}  // namespace qv
