#include "graph/graph_text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "records/filter_names.h"
#include "records/identification.h"

namespace qv {
namespace {

enum SummaryRow : int { kTypeRow, kModelRow, kOrderRow, kRateRow, kCutRow, kRippleRow };
static_assert(kRippleRow + 1 == kSummaryRows);

// Grid rows and columns split each axis into four: the frequency axis runs to half the sampling
// frequency in eighths of it, the time axis 64 display points per column, the impulse and step
// axes half a peak per row and the magnitude and group-delay axes a quarter of their range.
constexpr int kFrequencyParts = 8;
constexpr float kPointsPerColumn = 64.0f;
constexpr double kPeakPerRow = 0.5;
constexpr double kRangePerRow = 0.25;
constexpr int kMiddleStepLabel = 2;

// Length of a text as a printf precision, never more than a GraphText holds.
int Precision(std::string_view text) {
  return static_cast<int>(std::min<std::size_t>(text.size(), kGraphTextCapacity));
}

std::int64_t Divisor(std::int32_t freqDivisor) { return std::max<std::int64_t>(1, freqDivisor); }

// The picture names the rectangle model differently from the code headers.
std::string_view PictureModelName(FilterModel model) {
  return model == FilterModel::Rectangle ? "Rectangle Window" : ModelName(model);
}

}  // namespace

GraphText FormatGraphText(const char* format, ...) {
  GraphText text;
  std::va_list arguments;
  va_start(arguments, format);
  const int written = std::vsnprintf(text.chars.data(), text.chars.size(), format, arguments);
  va_end(arguments);
  if (written < 0) {
    text.chars[0] = '\0';
    return text;
  }
  text.length = std::min(written, kGraphTextCapacity - 1);
  return text;
}

GraphText MakeGraphText(std::string_view text) {
  return FormatGraphText("%.*s", Precision(text), text.data());
}

GraphText VersionLine() {
  return FormatGraphText("%.*s%.*s%.*s", Precision(kProductName), kProductName.data(),
                         Precision(kVersionSeparator), kVersionSeparator.data(),
                         Precision(kVersionText), kVersionText.data());
}

SummaryText FormatSummary(const FilterSpec& spec, const DisplayScale& scale) {
  SummaryText rows;
  const std::string_view band = BandTypeName(spec.bandType);
  const std::string_view model = PictureModelName(spec.model);
  const std::string_view unit = scale.freqUnit;
  const std::int64_t divisor = Divisor(scale.freqDivisor);

  if (spec.filterClass == FilterClass::Fir) {
    rows[kTypeRow] = FormatGraphText("Filter type: FIR %d Taps %.*s", static_cast<int>(spec.taps),
                                     Precision(band), band.data());
  } else {
    rows[kTypeRow] = FormatGraphText("Filter type: IIR %.*s", Precision(band), band.data());
  }
  rows[kModelRow] = FormatGraphText("Filter model: %.*s", Precision(model), model.data());
  if (spec.model == FilterModel::RaisedCosine) {
    rows[kOrderRow] = FormatGraphText("Alpha: %f", spec.rollOff);
  } else if (IsIirModel(spec.model)) {
    rows[kOrderRow] = FormatGraphText("Filter order: %d", static_cast<int>(spec.order));
  }
  rows[kRateRow] =
      FormatGraphText("Sampling Frequency: %lld %.*s",
                      static_cast<long long>(spec.fsample / divisor), Precision(unit), unit.data());
  const auto realDivisor = static_cast<double>(divisor);
  if (IsBandType(spec.bandType)) {
    rows[kCutRow] = FormatGraphText("F1 and F2 Frequencies: %f %.*s and %f %.*s",
                                    spec.fcut1 / realDivisor, Precision(unit), unit.data(),
                                    spec.fcut2 / realDivisor, Precision(unit), unit.data());
  } else {
    rows[kCutRow] = FormatGraphText("Cut Frequency: %f %.*s", spec.fcut1 / realDivisor,
                                    Precision(unit), unit.data());
  }
  if (spec.model == FilterModel::Chebyshev) {
    rows[kRippleRow] = FormatGraphText("Pass band Ripple: %0.1f dB", spec.ripple);
  }
  return rows;
}

GraphText FrequencyLabel(std::int32_t fsample, std::int32_t freqDivisor, int k) {
  const std::int64_t eighths = (fsample / Divisor(freqDivisor)) * k / kFrequencyParts;
  return FormatGraphText("%lld", static_cast<long long>(eighths));
}

GraphText TimeLabel(float timeStep, int k) {
  // The time step is a single-precision display value and the label is computed in it.
  const float time = static_cast<float>(k) * timeStep * kPointsPerColumn;
  return FormatGraphText("%.1f", static_cast<double>(time));
}

GraphText StepLabel(double stepPeak, int p) {
  return FormatGraphText("%0.3f", (p - kMiddleStepLabel) * stepPeak * kPeakPerRow);
}

GraphText ImpulseLabel(double impulsePeak, int p) {
  return FormatGraphText("%0.3f", impulsePeak * kPeakPerRow * p);
}

GraphText MagnitudeLabel(double minDb, double maxDb, int p) {
  return FormatGraphText("%0.1f", maxDb + (minDb - maxDb) * p * kRangePerRow);
}

GraphText GroupDelayLabel(double min, double max, float factor, int p) {
  return FormatGraphText("%0.3f",
                         (min + (max - min) * p * kRangePerRow) * static_cast<double>(factor));
}

}  // namespace qv
