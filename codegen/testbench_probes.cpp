// The search for probe windows. An output is floor(S / 2^shift) of the window's sum S, saturated;
// a coefficient one step off moves S by d, the sum of the samples at its taps. So a window whose
// S lies just below a multiple of 2^shift shows every step up with d > 0, and one whose S lies on
// a multiple shows every step down. The search walks through windows of large positive samples
// (d large for every coefficient at once), changing one sample at a time, and takes the first
// window that shows every step still missing in the direction it looks for, or the best one
// found in its steps. Where positive samples find nothing (narrow signals), it tries the whole
// signal range, and for a direction even that cannot show, it stops.
#include "codegen/testbench_probes.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "records/filter_spec.h"

namespace qv {
namespace {

constexpr std::uint64_t kLcgMultiplier = 6364136223846793005u;
constexpr std::uint64_t kLcgIncrement = 1442695040888963407u;
constexpr int kWordBits = 64;
constexpr std::uint64_t kProbeSeed = 0x9e0be2026u;
// The sample changes of one window search, and of those the windows judged in full (each costs
// one pass over the coefficients).
constexpr int kSearchSteps = 1 << 20;
constexpr int kMaxJudged = 1 << 12;
constexpr int kDirections = 2;  // index 0: one step up, 1: one step down

constexpr int StepOf(int direction) { return direction == 0 ? 1 : -1; }

struct Range {
  std::int32_t lo;
  std::int32_t hi;
};

class ProbeSearch {
 public:
  ProbeSearch(std::span<const std::int32_t> coefficients, bool speed, int shift, int width)
      : c_(coefficients),
        n_(static_cast<int>(coefficients.size())),
        speed_(speed),
        shift_(shift),
        rows_(speed ? (n_ + 1) / 2 : n_),
        high_((std::int64_t{1} << (width - 1)) - 1),
        random_(kProbeSeed) {}

  int Run(std::span<std::int32_t> samples);

 private:
  using Window = std::array<std::int32_t, kMaxTaps>;  // w[k] multiplies tap k

  std::int64_t Tap(int k) const {
    return c_[static_cast<std::size_t>(speed_ ? std::min(k, n_ - 1 - k) : k)];
  }
  // The samples a step of coefficient `row` is multiplied with.
  std::int64_t RowSamples(const Window& w, int row) const {
    const int mirror = n_ - 1 - row;
    return std::int64_t{w[static_cast<std::size_t>(row)]} +
           (speed_ && mirror != row ? w[static_cast<std::size_t>(mirror)] : 0);
  }
  std::int64_t Output(std::int64_t sum) const {
    return std::clamp(sum >> shift_, -high_ - 1, high_);
  }
  // Whether the sum lies close enough to a multiple of 2^shift for a step of at most `reach`.
  bool NearBoundary(std::int64_t sum, std::int64_t reach) const {
    const std::uint64_t mask = (std::uint64_t{1} << shift_) - 1;
    const auto r = static_cast<std::int64_t>(static_cast<std::uint64_t>(sum) & mask);
    return r < reach || r + reach > static_cast<std::int64_t>(mask);
  }
  // The missing steps of `direction` that window `w` (sum `sum`) shows; marks them when `mark`.
  int Shows(const Window& w, std::int64_t sum, int direction, bool mark);
  int Missing(int direction) const;
  // Walks through windows of samples in `range`; the best window for `direction` goes to `best`,
  // returns the number of missing steps it shows.
  int Search(Range range, int direction, Window& best);

  std::span<const std::int32_t> c_;
  int n_;
  bool speed_;
  int shift_;
  int rows_;
  std::int64_t high_;
  TestbenchRandom random_;
  std::array<std::array<bool, kMaxTaps>, kDirections> shown_{};
};

int ProbeSearch::Shows(const Window& w, std::int64_t sum, int direction, bool mark) {
  const std::int64_t before = Output(sum);
  int count = 0;
  for (int row = 0; row < rows_; ++row) {
    bool& shown = shown_[static_cast<std::size_t>(direction)][static_cast<std::size_t>(row)];
    if (!shown && Output(sum + StepOf(direction) * RowSamples(w, row)) != before) {
      ++count;
      if (mark) {
        shown = true;
      }
    }
  }
  return count;
}

int ProbeSearch::Missing(int direction) const {
  const auto& shown = shown_[static_cast<std::size_t>(direction)];
  return static_cast<int>(
      std::count(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(rows_), false));
}

int ProbeSearch::Search(Range range, int direction, Window& best) {
  Window w{};
  std::int64_t sum = 0;
  for (int k = 0; k < n_; ++k) {
    w[static_cast<std::size_t>(k)] = random_.NextIn(range.lo, range.hi);
    sum += Tap(k) * w[static_cast<std::size_t>(k)];
  }
  const std::int64_t reach =
      (speed_ ? 2 : 1) * std::max(-std::int64_t{range.lo}, std::int64_t{range.hi});
  const int missing = Missing(direction);
  int bestCount = 0;
  int judged = 0;
  for (int step = 0; step < kSearchSteps && judged < kMaxJudged; ++step) {
    if (NearBoundary(sum, reach)) {
      ++judged;
      const int count = Shows(w, sum, direction, false);
      if (count > bestCount) {
        bestCount = count;
        best = w;
        if (count == missing) {
          break;
        }
      }
    }
    const int k = random_.NextIn(0, n_ - 1);
    const std::int32_t value = random_.NextIn(range.lo, range.hi);
    sum += Tap(k) * (std::int64_t{value} - w[static_cast<std::size_t>(k)]);
    w[static_cast<std::size_t>(k)] = value;
  }
  return bestCount;
}

int ProbeSearch::Run(std::span<std::int32_t> samples) {
  const auto high = static_cast<std::int32_t>(high_);
  // Large positive samples first: every coefficient's step is large at once.
  const Range positive{std::max(1, static_cast<std::int32_t>((high_ + 1) / 2)), high};
  const Range whole{-high - 1, high};
  std::array<int, kDirections> tried{};  // 0: positive samples, 1: whole range, 2: given up
  int written = 0;
  int direction = 0;
  for (int window = 0; window < kMaxProbeWindows;) {
    if (Missing(direction) == 0 || tried[static_cast<std::size_t>(direction)] > 1) {
      direction = 1 - direction;
      if (Missing(direction) == 0 || tried[static_cast<std::size_t>(direction)] > 1) {
        break;
      }
    }
    Window w{};
    const Range range = tried[static_cast<std::size_t>(direction)] == 0 ? positive : whole;
    if (Search(range, direction, w) == 0) {
      ++tried[static_cast<std::size_t>(direction)];
      continue;
    }
    std::int64_t sum = 0;
    for (int k = 0; k < n_; ++k) {
      sum += Tap(k) * w[static_cast<std::size_t>(k)];
      samples[static_cast<std::size_t>(written + n_ - 1 - k)] = w[static_cast<std::size_t>(k)];
    }
    for (int d = 0; d < kDirections; ++d) {
      Shows(w, sum, d, true);
    }
    written += n_;
    ++window;
    direction = 1 - direction;
  }
  return written;
}

}  // namespace

std::int32_t TestbenchRandom::NextSigned(int bits) {
  state_ = state_ * kLcgMultiplier + kLcgIncrement;
  const std::uint64_t word = state_ >> (kWordBits - bits);
  const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
  return static_cast<std::int32_t>(static_cast<std::int64_t>(word ^ sign) -
                                   static_cast<std::int64_t>(sign));
}

std::int32_t TestbenchRandom::NextIn(std::int32_t lo, std::int32_t hi) {
  state_ = state_ * kLcgMultiplier + kLcgIncrement;
  const auto span = static_cast<std::uint64_t>(std::int64_t{hi} - lo) + 1;
  return static_cast<std::int32_t>(lo +
                                   static_cast<std::int64_t>((state_ >> (kWordBits / 2)) % span));
}

int MakeProbeWindows(std::span<const std::int32_t> coefficients, HdlArchitecture architecture,
                     int shift, int width, std::span<std::int32_t> samples) {
  ProbeSearch search(coefficients, architecture == HdlArchitecture::Speed, shift, width);
  return search.Run(samples);
}

}  // namespace qv
