// Zeros of the bilinear IIR designs, placed from the band type alone.
#pragma once

#include <span>

#include "design/complex.h"
#include "design/filter_spec.h"

namespace qv {

// Writes `order` zeros for low and high pass, 2 x `order` for band pass and band stop (the
// band-stop notch from spec.fcenter, Hz) into `zeros`. Always returns 0.
int PlaceIirZeros(const FilterSpec& spec, std::span<Complex> zeros);

}  // namespace qv
