#include "graph/tolerance_mask.h"

#include <algorithm>

#include "graph/graph_geometry.h"
#include "graph/pixel_position.h"

namespace qv {
namespace {

// Display point k stands for k x fsample / kPointsPerRate.
constexpr double kPointsPerRate = 2.0 * kDisplayPoints;

struct Band {
  double from = 0.0;  // Hz
  double to = 0.0;    // Hz
};

struct SchemeBands {
  std::array<Band, 2> pass{};
  int passCount = 0;
  std::array<Band, 2> stop{};
  int stopCount = 0;
};

SchemeBands BandsOf(const FilterSpec& spec) {
  const ToleranceScheme& s = spec.scheme;
  const double nyquist = spec.fsample / 2.0;
  switch (spec.bandType) {
    case BandType::LowPass:
      return {{Band{0.0, s.pass1}}, 1, {Band{s.stop1, nyquist}}, 1};
    case BandType::HighPass:
      return {{Band{s.pass1, nyquist}}, 1, {Band{0.0, s.stop1}}, 1};
    case BandType::BandPass:
      return {{Band{s.pass1, s.pass2}}, 1, {Band{0.0, s.stop1}, Band{s.stop2, nyquist}}, 2};
    case BandType::BandStop:
      return {{Band{0.0, s.pass1}, Band{s.pass2, nyquist}}, 2, {Band{s.stop1, s.stop2}}, 1};
  }
  return {};
}

// The largest magnitude at the display points inside the pass bands.
double PassBandPeakDb(const SchemeBands& bands, const FilterSpec& spec,
                      const ResponseSet& responses) {
  bool found = false;
  double peak = responses.magnitudeMaxDb;
  for (int k = 0; k < kDisplayPoints; ++k) {
    const double f = k * static_cast<double>(spec.fsample) / kPointsPerRate;
    for (int b = 0; b < bands.passCount; ++b) {
      if (f >= bands.pass[b].from && f <= bands.pass[b].to) {
        peak = found ? std::max(peak, responses.magnitudeDb[k]) : responses.magnitudeDb[k];
        found = true;
      }
    }
  }
  return peak;
}

class MaskBuilder {
 public:
  MaskBuilder(const FilterSpec& spec, const ResponseSet& responses, int left, int top)
      : spec_(spec), responses_(responses), left_(left), top_(top) {}

  // Which side of a band's limit is forbidden: below it in a pass band, above it in a stop band.
  enum class Forbidden { Below, Above };

  // The limit line of one band and its edges, which run from the limit through the forbidden
  // side to the frame's edge.
  void AddBand(const Band& band, double limitDb, Forbidden side, ToleranceMask& mask) const {
    const int row =
        MagnitudeRow(limitDb, responses_.magnitudeMinDb, responses_.magnitudeMaxDb, top_);
    const int first = top_ + 1;
    const int last = top_ + kFrameHeight - 1;
    if (row >= first && row <= last) {
      Add(mask, {Column(band.from), row, Column(band.to), row});
    }
    // A limit beyond the frame on the forbidden side leaves nothing forbidden in view.
    if ((side == Forbidden::Below && row > last) || (side == Forbidden::Above && row < first)) {
      return;
    }
    const int edgeStart = std::clamp(row, first, last);
    const int edgeEnd = side == Forbidden::Below ? last : first;
    const double nyquist = spec_.fsample / 2.0;
    for (const double edge : {band.from, band.to}) {
      if (edge > 0.0 && edge < nyquist) {
        Add(mask, {Column(edge), edgeStart, Column(edge), edgeEnd});
      }
    }
  }

 private:
  // The column of a frequency, held off the frame's left and right edges.
  int Column(double hz) const {
    const double offset = hz * kPointsPerRate / spec_.fsample;
    return left_ + std::clamp(TruncatePixel(offset, 0), 1, kFrameWidth - 1);
  }

  static void Add(ToleranceMask& mask, const MaskLine& line) {
    if (mask.count < kMaxMaskLines) {
      mask.lines[mask.count++] = line;
    }
  }

  const FilterSpec& spec_;
  const ResponseSet& responses_;
  int left_;
  int top_;
};

}  // namespace

ToleranceMask MakeToleranceMask(const FilterSpec& spec, const ResponseSet& responses, int frameLeft,
                                int frameTop) {
  ToleranceMask mask;
  if (!spec.scheme.active || spec.fsample <= 0) {
    return mask;
  }
  const SchemeBands bands = BandsOf(spec);
  const double reference = PassBandPeakDb(bands, spec, responses);
  mask.passLimitDb = reference - spec.ripple;
  mask.stopLimitDb = reference - spec.scheme.attenuation;
  const MaskBuilder builder(spec, responses, frameLeft, frameTop);
  for (int b = 0; b < bands.passCount; ++b) {
    builder.AddBand(bands.pass[b], mask.passLimitDb, MaskBuilder::Forbidden::Below, mask);
  }
  for (int b = 0; b < bands.stopCount; ++b) {
    builder.AddBand(bands.stop[b], mask.stopLimitDb, MaskBuilder::Forbidden::Above, mask);
  }
  return mask;
}

}  // namespace qv
