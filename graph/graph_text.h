// Fixed-capacity text lines of the exported picture and the texts the picture shows: the
// summary of the specification and the axis labels.
#pragma once

#include <array>
#include <string_view>

#include "analysis/responses.h"
#include "graph/graph_geometry.h"
#include "records/filter_spec.h"

namespace qv {

// More characters than a full picture row holds in the small font (1024 / 6 = 170), and room
// for the status bar's one-line verdict, so every text that can be seen is complete; longer
// texts are cut at the capacity.
inline constexpr int kGraphTextCapacity = 256;

// One line of text, NUL-terminated, with its length in characters.
struct GraphText {
  std::array<char, kGraphTextCapacity> chars{};
  int length = 0;

  [[nodiscard]] std::string_view View() const {
    return {chars.data(), static_cast<std::size_t>(length)};
  }
};

// Takes a printf format and its arguments; returns the formatted text, cut at the capacity.
// A format that fails gives the empty text.
GraphText FormatGraphText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The six graph titles: the top row (frequency response, phase, group delay), then the bottom
// row (zero-pole, impulse, step response), left to right.
inline constexpr int kGraphCount = 6;
inline constexpr int kGraphsPerRow = 3;
inline constexpr std::array<std::string_view, kGraphCount> kGraphTitles = {
    "Frequency Response", "Phase Response",   "Group Delay",
    "Zero-Pole",          "Impulse Response", "Step Response"};

// The labels of the phase axis, top to bottom.
inline constexpr std::array<std::string_view, kAxisLabels> kPhaseLabels = {"PI", "PI/2", "0",
                                                                           "-PI/2", "-PI"};

// Takes any text; returns it as a GraphText, cut at the capacity.
GraphText MakeGraphText(std::string_view text);

// The product name, " version " and the version text, as one line.
GraphText VersionLine();

// The six summary rows under the title, top to bottom; a row with nothing to show is empty.
inline constexpr int kSummaryRows = 6;
using SummaryText = std::array<GraphText, kSummaryRows>;

// Takes a calculated specification and its display scale; returns the summary rows: filter
// type and band, model, roll-off or order, sampling frequency, cut frequencies, ripple.
SummaryText FormatSummary(const FilterSpec& spec, const DisplayScale& scale);

// Takes the sampling frequency (Hz), the display scale's divisor (Hz per unit; below 1 counts
// as 1) and the label index k (0..4); returns the frequency k/8 of the sampling frequency in
// the display unit, in whole numbers.
GraphText FrequencyLabel(std::int32_t fsample, std::int32_t freqDivisor, int k);

// Takes the time per display point (display unit) and the label index k (0..4); returns the
// time of display point 64k with one decimal.
GraphText TimeLabel(float timeStep, int k);

// Takes the step-response peak and the label index p (0..4, bottom to top); returns the value
// at that grid row, from -peak to +peak, with three decimals.
GraphText StepLabel(double stepPeak, int p);

// Takes the impulse-response peak and the label index p (-2..2, bottom to top); returns the
// value at that grid row, from -peak to +peak, with three decimals.
GraphText ImpulseLabel(double impulsePeak, int p);

// Takes the magnitude range (dB) and the label index p (0..4, top to bottom); returns the
// magnitude at that grid row, from maxDb down to minDb, with one decimal.
GraphText MagnitudeLabel(double minDb, double maxDb, int p);

// Takes the group-delay range (s), the factor to the display unit and the label index p
// (0..4, bottom to top); returns the delay at that grid row in the display unit, three decimals.
GraphText GroupDelayLabel(double min, double max, float factor, int p);

}  // namespace qv
