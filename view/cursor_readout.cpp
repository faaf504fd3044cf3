#include "view/cursor_readout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "graph/graph_text.h"
#include "graph/pixel_position.h"
#include "view/graph_page_layout.h"

namespace qv {
namespace {

using namespace page;

constexpr double kPointsPerHalfRate = 0.00390625;  // 1/256: point k of 256 up to Fs/2
constexpr double kZPerPixel = 0.01;                // the zero-pole plot's 100 pixels per unit
constexpr double kFarthestMarker = 200.0;          // a marker must lie closer than this

// A graph area includes neither the frame's edges nor the column right of its last point.
bool InTopRow(int y) { return y > kTopFrameTop && y < kTopFrameTop + kFrameHeight; }
bool InBottomRow(int y) { return y > kBottomFrameTop && y < kBottomFrameTop + kFrameHeight; }
bool InGraph(int x, int left) { return x >= left && x < left + kDisplayPoints; }
bool InZeroPole(int x) { return x >= kZeroPoleX - kUnitPixels && x < kZeroPoleX + kUnitPixels; }

CursorReadout Hit(int x, int y, const GraphText& horizontal, const GraphText& vertical) {
  CursorReadout readout;
  readout.kind = ReadoutKind::Hit;
  readout.crossX = x;
  readout.crossY = y;
  readout.horizontalText = horizontal.View();
  readout.verticalText = vertical.View();
  return readout;
}

// The frequency of display point k in the display unit: half the sampling frequency, cut to
// whole units, over 256 points.
GraphText FrequencyText(const FilterSpec& spec, const DisplayScale& scale, int k) {
  const std::int64_t halfRate = (spec.fsample / 2) / std::max<std::int64_t>(1, scale.freqDivisor);
  const double frequency = static_cast<double>(halfRate * k) * kPointsPerHalfRate;
  const std::string_view unit = scale.freqUnit;
  return FormatGraphText("%.3f %.*s", frequency, static_cast<int>(unit.size()), unit.data());
}

// The time of display point k in the display unit, in the single precision of the time step.
GraphText TimeText(const DisplayScale& scale, int k) {
  const float time = static_cast<float>(k) * scale.timeStep;
  const std::string_view unit = scale.timeUnit;
  return FormatGraphText("%.3f %.*s", static_cast<double>(time), static_cast<int>(unit.size()),
                         unit.data());
}

CursorReadout ReadTopRow(int x, const FilterSpec& spec, const DisplayScale& scale,
                         const ResponseSet& responses) {
  if (InGraph(x, kLeftColumn)) {
    const int k = x - kLeftColumn;
    const double db = responses.magnitudeDb[k];
    return Hit(x,
               MagnitudeRow(db, responses.magnitudeMinDb, responses.magnitudeMaxDb, kTopFrameTop),
               FrequencyText(spec, scale, k), FormatGraphText("%.3f dB", db));
  }
  if (InGraph(x, kMiddleColumn)) {
    const int k = x - kMiddleColumn;
    const double radians = responses.phase[k];
    return Hit(x, PhaseRow(radians, kTopFrameTop), FrequencyText(spec, scale, k),
               FormatGraphText("%.3f rad", radians));
  }
  if (InGraph(x, kRightColumn)) {
    const int k = x - kRightColumn;
    const double seconds = responses.groupDelay[k];
    const std::string_view unit = responses.groupDelayUnit;
    return Hit(
        x, GroupDelayRow(seconds, responses.groupDelayMin, responses.groupDelayMax, kTopFrameTop),
        FrequencyText(spec, scale, k),
        FormatGraphText("%.3f %.*s", seconds * responses.groupDelayFactor,
                        static_cast<int>(unit.size()), unit.data()));
  }
  return {};
}

CursorReadout ReadZeroPole(int x, int y, const FilterSpec& spec, const ResponseSet& responses) {
  if (!IsIirModel(spec.model)) {
    CursorReadout ignored;
    ignored.kind = ReadoutKind::Ignored;
    return ignored;
  }
  const double re = (x - kZeroPoleX) * kZPerPixel;
  const double im = (kZeroPoleY - y) * kZPerPixel;
  const int count = std::clamp<int>(spec.effectiveOrder, 0, kMaxCoefficients);
  double best = kFarthestMarker;
  const Complex* nearest = nullptr;
  const auto consider = [&](const Complex& marker) {
    const double distance =
        std::sqrt((im - marker.im) * (im - marker.im) + (re - marker.re) * (re - marker.re));
    if (distance < best) {
      best = distance;
      nearest = &marker;
    }
  };
  std::for_each_n(responses.zeros.begin(), count, consider);
  std::for_each_n(responses.poles.begin(), count, consider);
  if (nearest == nullptr) {
    return {};
  }
  return Hit(ZeroPoleColumn(nearest->re, kZeroPoleX), BottomRow(nearest->im, kZeroPoleY),
             FormatGraphText("%.3f real", nearest->re), FormatGraphText("%.3f imag", nearest->im));
}

CursorReadout ReadBottomRow(int x, int y, const FilterSpec& spec, const DisplayScale& scale,
                            const ResponseSet& responses) {
  if (InZeroPole(x)) {
    return ReadZeroPole(x, y, spec, responses);
  }
  if (InGraph(x, kMiddleColumn)) {
    const int k = x - kMiddleColumn;
    const double value = responses.impulse[k];
    return Hit(x, BottomRow(value, kZeroPoleY), TimeText(scale, k),
               FormatGraphText("%.3f", responses.impulsePeak * value));
  }
  if (InGraph(x, kRightColumn)) {
    const int k = x - kRightColumn;
    const double value = responses.step[k];
    return Hit(x, BottomRow(value, kZeroPoleY), TimeText(scale, k),
               FormatGraphText("%.3f", responses.stepPeak * value));
  }
  return {};
}

}  // namespace

CursorReadout ReadCursor(int x, int y, const FilterSpec& spec, const DisplayScale& scale,
                         const ResponseSet& responses) {
  if (InTopRow(y)) {
    return ReadTopRow(x, spec, scale, responses);
  }
  if (InBottomRow(y)) {
    return ReadBottomRow(x, y, spec, scale, responses);
  }
  return {};
}

}  // namespace qv
