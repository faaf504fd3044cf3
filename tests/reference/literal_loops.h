// The root search and the IIR simulation exactly as the product describes them, loop for loop,
// kept as the yardstick of the faster engine: tests compare it bit for bit, benchmarks time
// both in one run.
#pragma once

#include <span>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv::reference {

// The damped secant search with deflation, evaluating p(x_a) and p(x_b) afresh in every
// iteration. Arguments and result as FindRoots (design/root_finder.h).
int LiteralFindRoots(int degree, std::span<const double> coef, std::span<Complex> roots,
                     double tol);

// SimulateIirStep (step) or SimulateIirImpulse as the literal loop: newest-first histories
// aged by one place per sample, every product and partial sum cut toward zero in the
// quantised modes, then every output scaled by 1/2^e and 1/s.
//   b, a: effectiveOrder + 1 coefficients each; out: room for min(count, 512) samples.
// Returns the peak.
double LiteralSimulateIir(const FilterSpec& spec, std::span<const double> b,
                          std::span<const double> a, int e, int count, bool step,
                          std::span<double> out);

}  // namespace qv::reference
