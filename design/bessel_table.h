// Bessel (maximally flat group delay) prototype poles for orders 1..19, normalised so that
// the product of the pole magnitudes of every row is 1.
#pragma once

#include <array>
#include <span>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

// One triangular array: the row of order n holds n poles and starts at n(n-1)/2.
inline constexpr int kBesselTableSize = kMaxOrder * (kMaxOrder + 1) / 2;  // 190
extern const std::array<Complex, kBesselTableSize> kBesselPoles;

// The n poles of order n (1..19), real pole first for odd n, then conjugate pairs.
inline std::span<const Complex> BesselRow(int n) {
  return std::span<const Complex>(kBesselPoles).subspan(n * (n - 1) / 2, n);
}

}  // namespace qv
