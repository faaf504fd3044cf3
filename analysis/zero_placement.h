// Zeros of the bilinear IIR designs, placed from the band type alone.
#pragma once

#include <span>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

// The digital angle (rad per sample) to which the bilinear transform maps the pre-warped
// centre frequency `fcenter` (Hz) at `fsample` (Hz): 2 atan(pi fcenter / fsample), as twice
// atan2(1, 1 / (fcenter pi / fsample)); 0 for a centre of 0.
double BandCentreAngle(double fcenter, double fsample);

// Writes `order` zeros for low and high pass, 2 x `order` for band pass and band stop (the
// band-stop notch from spec.fcenter, Hz) into `zeros`. Always returns 0.
int PlaceIirZeros(const FilterSpec& spec, std::span<Complex> zeros);

}  // namespace qv
