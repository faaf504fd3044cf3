// The names under which the outputs show a band type and a model.
#pragma once

#include <string_view>

#include "records/filter_spec.h"

namespace qv {

// "Low Pass", "High Pass", "Band Pass", "Band Stop"; empty for a value out of range.
std::string_view BandTypeName(BandType band);

// "Butterworth", "Chebyshev", "Bessel", "Rectangular Window", "Raised Cosine", "Chebyshev II",
// "Elliptic", "Kaiser Window", "Equiripple" (the words of the C and VHDL headers); empty for a
// value out of range.
std::string_view ModelName(FilterModel model);

}  // namespace qv
