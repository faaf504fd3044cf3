// IIR design: analog prototype poles, band transformation, bilinear transform and the
// directly placed numerator.
#pragma once

#include <span>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

// Pre-warped analog frequency (Hz) of the digital frequency `fcutHz` at `fsampleHz`:
// (fs / pi) tan(pi fcut / fs).
double PrewarpHz(double fcutHz, double fsampleHz);

// The band centre (Hz): the geometric mean of the pre-warped fcut1 and fcut2 of `spec`,
// 10^((log10 fa2 + log10 fa1) / 2).
double BandCentreHz(const FilterSpec& spec);

// Designs b[0..m] and a[0..m] (m = effectiveOrder) of a Butterworth, Chebyshev or Bessel
// filter with b[0] = a[0] = 1, before any gain normalisation. For band pass and band stop it
// also writes spec.fcenter (Hz). Expects a validated spec with an IIR model.
// Returns 0, or kRootsNotFound (-2) when a band transformation's root search fails.
int DesignIir(FilterSpec& spec, FilterDesign& design);

// The m = effectiveOrder digital poles from which DesignIir builds a[0..m]: z = (K + q) / (K - q)
// for each analog pole q, so that a cascade made of them has the design's denominator without
// the loss of a root search on it (clustered poles of high orders are found only roughly).
// Same requirements, spec.fcenter and results as DesignIir; `poles` has room for m values.
int DesignIirPoles(FilterSpec& spec, std::span<Complex> poles);

}  // namespace qv
