#include "design/equiripple_design.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <numbers>

namespace qv {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kMaxFunctions = kTapCapacity / 2 + 1;  // cosine terms of the longest filter
constexpr int kMaxExtremals = kMaxFunctions + 1;     // alternation points
constexpr int kGridCapacity = kRemezGridDensity * kMaxFunctions + 4 * kMaxSchemeBands;
constexpr double kConvergence = 1e-6;  // relative spread of the extremal errors at the end
// A set that repeats is the exchange's fixed point; its spread is rounding when this small.
constexpr double kFixedPointSpread = 1e-2;
constexpr double kNoiseLevel = 1e-9;    // relative level of errors that are rounding
constexpr int kFactorsPerScaling = 16;  // products of node distances taken between two frexp
constexpr int kPointsPerPass = 4;       // grid points evaluated side by side
// Steps that climb from the extremal set to the peaks near it, at most, between two
// evaluations of the whole grid (a 511-tap low pass takes 13).
constexpr int kMaxClimbingSteps = 32;

struct Grid {
  std::array<double, kGridCapacity> x{};  // cos(2 pi f)
  std::array<double, kGridCapacity> f{};  // cycles per sample
  std::array<double, kGridCapacity> desired{};
  std::array<double, kGridCapacity> weight{};
  std::array<int, kGridCapacity> band{};
  int size = 0;
};

// The grid over the bands; for an even tap count the cosine factor cos(pi f) is moved into
// the desired gain and the weight, and f = 0.5 left out.
bool BuildGrid(int functions, bool even, std::span<const FirBand> bands, Grid& grid) {
  const double step = 0.5 / (kRemezGridDensity * functions);
  grid.size = 0;
  for (std::size_t b = 0; b < bands.size(); ++b) {
    double high = bands[b].high;
    if (even && high > 0.5 - step) high = 0.5 - step;
    const double low = bands[b].low;
    if (high < low) continue;
    const int points = std::max(1, static_cast<int>(std::ceil((high - low) / step)));
    for (int i = 0; i <= points; ++i) {
      if (grid.size == kGridCapacity) return false;
      const double f = i == points ? high : low + i * step;
      double d = bands[b].desired;
      double w = bands[b].weight;
      if (even) {
        const double c = std::cos(kPi * f);
        d /= c;
        w *= c;
      }
      grid.f[grid.size] = f;
      grid.x[grid.size] = std::cos(2.0 * kPi * f);
      grid.desired[grid.size] = d;
      grid.weight[grid.size] = w;
      grid.band[grid.size] = static_cast<int>(b);
      ++grid.size;
    }
  }
  return true;
}

// Barycentric weights 1 / prod_{i != j} 2 (x_j - x_i) of `count` nodes, all scaled by one
// power of two (which the interpolation formulas cancel) so that none overflows or vanishes
// however the nodes cluster.
void BarycentricWeights(const std::array<double, kMaxExtremals>& x, int count,
                        std::array<double, kMaxExtremals>& w) {
  std::array<int, kMaxExtremals> exponent{};
  int largest = std::numeric_limits<int>::min();
  for (int j = 0; j < count; ++j) {
    double product = 1.0;
    int e = 0;
    int unscaled = 0;
    for (int i = 0; i < count; ++i) {
      if (i == j) continue;
      product *= 2.0 * (x[j] - x[i]);
      // Factors lie within [2^-32, 4] in magnitude on any grid this file builds, so a run of
      // kFactorsPerScaling of them stays far inside the doubles' range between two scalings.
      if (++unscaled == kFactorsPerScaling) {
        int step = 0;
        product = std::frexp(product, &step);
        e += step;
        unscaled = 0;
      }
    }
    int step = 0;
    product = std::frexp(product, &step);
    e += step;
    w[j] = 1.0 / product;
    exponent[j] = -e;
    largest = std::max(largest, exponent[j]);
  }
  for (int j = 0; j < count; ++j) w[j] = std::ldexp(w[j], exponent[j] - largest);
}

struct Interpolant {
  std::array<double, kMaxExtremals> x{};
  std::array<double, kMaxExtremals> y{};
  std::array<double, kMaxExtremals> w{};
  int count = 0;

  double operator()(double at) const {
    double num = 0.0;
    double den = 0.0;
    for (int j = 0; j < count; ++j) {
      const double diff = at - x[j];
      if (diff == 0.0) return y[j];
      const double t = w[j] / diff;
      num += t * y[j];
      den += t;
    }
    return num / den;
  }
};

// p at every grid point. kPointsPerPass points are summed side by side so that their divisions
// overlap; each point's sums run over the nodes in the order operator() takes, so the values
// are the same to the bit. A point on a node divides by zero there and is not finite; it is
// taken again by operator(), which returns the node's value.
void EvaluateOnGrid(const Interpolant& p, const Grid& grid,
                    std::array<double, kGridCapacity>& value) {
  int i = 0;
  for (; i + kPointsPerPass <= grid.size; i += kPointsPerPass) {
    std::array<double, kPointsPerPass> num{};
    std::array<double, kPointsPerPass> den{};
    for (int j = 0; j < p.count; ++j) {
      for (int k = 0; k < kPointsPerPass; ++k) {
        const double t = p.w[j] / (grid.x[i + k] - p.x[j]);
        num[k] += t * p.y[j];
        den[k] += t;
      }
    }
    for (int k = 0; k < kPointsPerPass; ++k) {
      const double v = num[k] / den[k];
      value[i + k] = std::isfinite(v) ? v : p(grid.x[i + k]);
    }
  }
  for (; i < grid.size; ++i) value[i] = p(grid.x[i]);
}

// One step: the levelled deviation on the extremal set and the interpolant through it.
double Level(const Grid& grid, const std::array<int, kMaxExtremals>& ext, int r, Interpolant& p) {
  std::array<double, kMaxExtremals> x{};
  std::array<double, kMaxExtremals> w{};
  for (int j = 0; j < r; ++j) x[j] = grid.x[ext[j]];
  BarycentricWeights(x, r, w);
  double num = 0.0;
  double den = 0.0;
  for (int j = 0; j < r; ++j) {
    const double sign = j % 2 == 0 ? 1.0 : -1.0;
    num += w[j] * grid.desired[ext[j]];
    den += sign * w[j] / grid.weight[ext[j]];
  }
  const double delta = num / den;
  p.count = r - 1;
  // The interpolant leaves out the last node: its weights are the set's times the factor
  // 2 (x_j - x_last) that node put in, all still under the one common power of two.
  for (int j = 0; j < p.count; ++j) {
    const double sign = j % 2 == 0 ? 1.0 : -1.0;
    p.x[j] = x[j];
    p.y[j] = grid.desired[ext[j]] - sign * delta / grid.weight[ext[j]];
    p.w[j] = w[j] * (2.0 * (x[j] - x[r - 1]));
  }
  return delta;
}

// The new extremal set from the error on the grid: local extrema and band ends, same-sign
// neighbours merged, then thinned to `r` keeping the alternation. False when fewer remain.
bool Exchange(const Grid& grid, const std::array<double, kGridCapacity>& error, int r, double delta,
              double largest, std::array<int, kMaxExtremals>& ext) {
  // Extrema below the levelled deviation are ripples of the interpolation, not alternation
  // points; the old extremals themselves sit at it.
  // While the levelled deviation is still at the rounding of the largest error, extrema at
  // that level are rounding noise, not alternation points.
  const double floor = std::max(std::abs(delta) * (1.0 - kConvergence), kNoiseLevel * largest);
  std::array<int, kGridCapacity> found{};
  int count = 0;
  for (int i = 0; i < grid.size; ++i) {
    const bool first = i == 0 || grid.band[i - 1] != grid.band[i];
    const bool last = i == grid.size - 1 || grid.band[i + 1] != grid.band[i];
    // A signed extremum: no neighbour in its band lies further out on the same side, so a
    // band end counts only where the error grows toward it.
    const double e = error[i];
    const double side = e < 0.0 ? -1.0 : 1.0;
    const bool peak =
        (first || side * e >= side * error[i - 1]) && (last || side * e > side * error[i + 1]);
    if (!peak || std::abs(e) < floor) continue;
    if (count > 0 && (error[found[count - 1]] > 0.0) == (e > 0.0)) {
      if (std::abs(e) > std::abs(error[found[count - 1]])) found[count - 1] = i;
      continue;
    }
    found[count++] = i;
  }
  while (count > r) {
    const bool dropFirst = std::abs(error[found[0]]) < std::abs(error[found[count - 1]]);
    if (count - r == 1) {
      if (dropFirst) std::copy(found.begin() + 1, found.begin() + count, found.begin());
      --count;
      continue;
    }
    // The smallest inner extremum goes with the smaller of its neighbours, keeping the
    // alternation; ends compete as well.
    int smallest = 0;
    for (int j = 1; j < count; ++j) {
      if (std::abs(error[found[j]]) < std::abs(error[found[smallest]])) smallest = j;
    }
    if (smallest == 0 || smallest == count - 1) {
      if (smallest == 0) std::copy(found.begin() + 1, found.begin() + count, found.begin());
      --count;
      continue;
    }
    const int neighbour =
        std::abs(error[found[smallest - 1]]) < std::abs(error[found[smallest + 1]]) ? smallest - 1
                                                                                    : smallest + 1;
    const int from = std::min(smallest, neighbour);
    std::copy(found.begin() + from + 2, found.begin() + count, found.begin() + from);
    count -= 2;
  }
  if (count < r) return false;
  std::copy(found.begin(), found.begin() + r, ext.begin());
  return true;
}

// The exchange point by point, for errors that alternate too seldom for Exchange (a first
// guess on which the levelled deviation vanishes): each extremal moves to the largest error of
// its own sign between its neighbours.
void ExchangeNeighbours(const Grid& grid, const std::array<double, kGridCapacity>& error, int r,
                        double delta, std::array<int, kMaxExtremals>& ext) {
  const double deltaSign = delta < 0.0 ? -1.0 : 1.0;
  for (int j = 0; j < r; ++j) {
    const double sign = (j % 2 == 0 ? 1.0 : -1.0) * deltaSign;
    const int low = j == 0 ? 0 : ext[j - 1] + 1;
    const int high = j == r - 1 ? grid.size - 1 : ext[j + 1] - 1;
    int best = ext[j];
    for (int i = low; i <= high; ++i) {
      if (sign * error[i] > sign * error[best]) best = i;
    }
    ext[j] = best;
  }
}

// The weighted error of `p` at grid point i.
double ErrorAt(const Interpolant& p, const Grid& grid, int i) {
  return grid.weight[i] * (grid.desired[i] - p(grid.x[i]));
}

// The exchange near the extremal set alone, as Parks and McClellan search: each extremal
// climbs the error of its own sign to the nearest peak, within its band and between its
// neighbours, and the interpolant is evaluated only at the points passed, a few per extremal
// instead of the whole grid. Returns the spread of the errors at the new set (largest minus
// smallest, of their sign). An extremum that appears elsewhere is not seen here; the full
// exchange that ends every run of these steps finds it, and only a full step settles.
double ClimbExtremals(const Interpolant& p, const Grid& grid, double delta, int r,
                      std::array<int, kMaxExtremals>& ext) {
  const double deltaSign = delta < 0.0 ? -1.0 : 1.0;
  double largest = 0.0;
  double smallest = std::numeric_limits<double>::infinity();
  for (int j = 0; j < r; ++j) {
    const double side = (j % 2 == 0 ? 1.0 : -1.0) * deltaSign;
    const int low = j == 0 ? 0 : ext[j - 1] + 1;  // the moved neighbour, so the set stays in order
    const int high = j == r - 1 ? grid.size - 1 : ext[j + 1] - 1;
    int i = ext[j];
    double e = side * ErrorAt(p, grid, i);
    const auto climb = [&](int step) {
      bool moved = false;
      for (int next = i + step; next >= low && next <= high && grid.band[next] == grid.band[i];
           next += step) {
        const double value = side * ErrorAt(p, grid, next);
        if (value <= e) break;
        i = next;
        e = value;
        moved = true;
      }
      return moved;
    };
    if (!climb(1)) climb(-1);
    ext[j] = i;
    largest = std::max(largest, e);
    smallest = std::min(smallest, e);
  }
  return largest - smallest;
}

// True when |H| of the symmetric taps `h` exceeds `limit` (the pass bands' desired gain is 1)
// anywhere between two bands, on a grid of kRemezGridDensity points per ripple.
bool TransitionRises(const FirBands& bands, std::span<const double> h, double limit) {
  const auto taps = static_cast<double>(h.size());
  for (int b = 0; b + 1 < bands.count; ++b) {
    const double low = bands.bands[static_cast<std::size_t>(b)].high;
    const double high = bands.bands[static_cast<std::size_t>(b + 1)].low;
    const int points = 2 + static_cast<int>(kRemezGridDensity * taps * (high - low));
    for (int i = 0; i < points; ++i) {
      const double f = low + (high - low) * i / (points - 1);
      const std::complex<double> z = std::polar(1.0, -2.0 * kPi * f);
      std::complex<double> sum = 0.0;
      for (std::size_t k = h.size(); k-- > 0;) sum = sum * z + h[k];
      if (std::abs(sum) > limit) return true;
    }
  }
  return false;
}

// Runs the exchange from an evenly spread set until it settles; true then, with the settled
// set in `ext`. Climbing steps move the set between full steps until a full step after them
// makes no progress (the levelled deviation grows at every true exchange step): the climb has
// lost a peak that the full exchange keeps, and the run goes on from the set before the climb
// with full steps alone.
bool Settle(const Grid& grid, int r, std::array<int, kMaxExtremals>& ext) {
  for (int j = 0; j < r; ++j) {
    ext[j] = static_cast<int>(static_cast<std::int64_t>(j) * (grid.size - 1) / (r - 1));
  }
  std::array<double, kGridCapacity> error{};
  Interpolant p;
  bool climb = true;
  bool climbing = false;
  double fullDelta = 0.0;                        // the levelled deviation of the last full step
  std::array<int, kMaxExtremals> fullSet = ext;  // the set it gave
  for (int iteration = 0; iteration < kRemezMaxIterations; ++iteration) {
    double delta = Level(grid, ext, r, p);
    // Once a full step has found an alternating set, climbing steps move it on at a few points
    // per extremal instead of the whole grid, while the levelled deviation grows.
    const bool climbed = climbing;
    for (int step = 0; climbing && step < kMaxClimbingSteps; ++step) {
      std::array<int, kMaxExtremals> next = ext;
      const double spread = ClimbExtremals(p, grid, delta, r, next);
      if (next == ext || spread <= kConvergence * std::abs(delta)) climbing = false;
      if (next == ext) break;
      ext = next;
      const double previous = delta;
      delta = Level(grid, ext, r, p);
      if (std::abs(delta) < std::abs(previous)) climbing = false;
    }
    climbing = false;
    EvaluateOnGrid(p, grid, error);
    double largest = 0.0;
    for (int i = 0; i < grid.size; ++i) {
      error[i] = grid.weight[i] * (grid.desired[i] - error[i]);
      largest = std::max(largest, std::abs(error[i]));
    }
    const auto climbedAstray = [&] {
      climb = false;
      ext = fullSet;
    };
    if (!std::isfinite(largest)) {
      if (!climbed) return false;
      climbedAstray();
      continue;
    }
    std::array<int, kMaxExtremals> next{};
    const bool exchanged = Exchange(grid, error, r, delta, largest, next);
    if (!exchanged) {
      next = ext;
      ExchangeNeighbours(grid, error, r, delta, next);
    }
    double smallestExtremal = largest;
    for (int j = 0; j < r; ++j)
      smallestExtremal = std::min(smallestExtremal, std::abs(error[next[j]]));
    const double spread = largest - smallestExtremal;
    // Only an alternating set is the optimum (the alternation theorem); a levelled set whose
    // signs do not alternate came from the point-by-point exchange and is not an answer.
    bool alternates = true;
    for (int j = 1; j < r; ++j)
      alternates = alternates && error[next[j]] * error[next[j - 1]] < 0.0;
    if (alternates && (spread <= kConvergence * std::abs(delta) ||
                       (next == ext && spread <= kFixedPointSpread * std::abs(delta)))) {
      ext = next;
      return true;
    }
    if (climbed && (!exchanged || next == ext || std::abs(delta) <= std::abs(fullDelta))) {
      climbedAstray();
      continue;
    }
    // The same set again with a spread left would only repeat itself: not settled.
    if (next == ext) return false;
    fullDelta = delta;
    fullSet = next;
    climbing = climb && alternates;
    ext = next;
  }
  return false;
}

}  // namespace

RemezCode RemezExchange(int taps, std::span<const FirBand> bands, std::span<double> h) {
  std::fill(h.begin(), h.end(), 0.0);
  const bool even = taps % 2 == 0;
  const int functions = even ? taps / 2 : (taps + 1) / 2;
  const int r = functions + 1;
  Grid grid;
  if (!BuildGrid(functions, even, bands, grid) || grid.size < r) return RemezCode::Degenerate;

  std::array<int, kMaxExtremals> ext{};
  if (!Settle(grid, r, ext)) return RemezCode::NotConverged;
  Interpolant p;
  Level(grid, ext, r, p);

  // The amplitude A(f) sampled at f_i = i / taps and inverted by the cosine transform of the
  // symmetric impulse response.
  const int middle = functions - 1;
  std::array<double, kTapCapacity> amplitude{};
  for (int i = 0; i < taps; ++i) {
    const double f = static_cast<double>(i) / taps;
    const double scale = even ? std::cos(kPi * f) : 1.0;
    amplitude[i] = scale * p(std::cos(2.0 * kPi * f));
  }
  // cos(2 pi i (l + half) / taps) = cos(2 pi k / (2 taps)) with k = i (2 l + 2 half) reduced
  // modulo 2 taps: one table of 2 x taps cosines instead of taps^2 / 2.
  const int period = 2 * taps;
  std::array<double, 2 * kTapCapacity> cosine{};
  for (int k = 0; k < period; ++k) cosine[k] = std::cos(kPi * k / taps);
  const int twiceHalf = even ? 1 : 0;
  for (int l = 0; l < functions; ++l) {
    double sum = 0.0;
    const int step = 2 * l + twiceHalf;
    int k = 0;
    for (int i = 0; i < taps; ++i) {
      sum += amplitude[i] * cosine[k];
      k += step;
      if (k >= period) k -= period;
    }
    const double value = sum / taps;
    h[middle - l] = value;
    h[taps - 1 - (middle - l)] = value;
  }
  return RemezCode::Converged;
}

RemezCode DesignEquiripple(const FilterSpec& spec, FilterDesign& design) {
  const FirBands bands = SchemeFirBands(spec);
  const int n = std::clamp(spec.taps, 1, kMaxTaps);
  const std::span<double> taps = std::span<double>(design.firTaps).first(n);
  const RemezCode code =
      RemezExchange(n, std::span<const FirBand>(bands.bands).first(bands.count), taps);
  // Where the transitions differ much in width, the exchange is free to raise the wider one far
  // above the pass band; all of the narrowest width, they stay below it.
  if (code != RemezCode::Converged ||
      !TransitionRises(bands, taps, std::pow(10.0, spec.ripple / 20.0))) {
    return code;
  }
  const FirBands equal = EqualTransitions(bands);
  return RemezExchange(n, std::span<const FirBand>(equal.bands).first(equal.count), taps);
}

}  // namespace qv
