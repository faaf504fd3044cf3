// Hand-made inputs of the graph export: curves whose end points land on pixels that the
// layout fixes, independent of the design engine.
#pragma once

#include <string>

#include "analysis/responses.h"
#include "design/scheme_check.h"
#include "gif_picture.h"
#include "records/filter_spec.h"

namespace qv::test {

struct ExportInput {
  FilterSpec spec;
  DisplayScale scale;
  ResponseSet responses;
  SchemeCheck scheme;  // not checked: no verdict
};

// The end values of the sample curves and the pixel rows they map to (worked out by hand from
// the graph scales: magnitude -100..0 dB, phase 100/pi pixels per radian, group delay
// 1..3 ms, impulse and step 100 pixels per unit, truncated toward zero).
struct CurveEnds {
  double first;
  double last;
  int firstRow;
  int lastRow;
};
inline constexpr CurveEnds kMagnitudeEnds = {-30.3, -70.7, 222, 303};
inline constexpr CurveEnds kPhaseEnds = {0.3, -2.0, 252, 325};
inline constexpr CurveEnds kGroupDelayEnds = {0.002655, 0.001205, 196, 341};
inline constexpr CurveEnds kImpulseEnds = {0.735, -0.385, 481, 592};
inline constexpr CurveEnds kStepEnds = {0.255, 0.905, 529, 464};

// An IIR Butterworth low pass of order 2 at 1000 Hz whose curves run straight between the
// ends above, with two zeros and two poles at hand-placed points and a third of each, beyond
// the order, that must not be drawn.
ExportInput MakeSampleInput();

// The committed picture of the default design, made by make-golden.sh next to this file.
std::string DefaultDesignGoldenPath();

// Takes an input and a file name; exports it into the test's temporary directory, under a name
// of this process's own, and returns the path, or an empty text when the export failed.
std::string ExportToTemp(const ExportInput& input, const std::string& name);

// Takes an input and a file name; exports it, decodes the written file and removes it. The
// picture is not valid when the export failed.
Picture ExportAndDecode(const ExportInput& input, const std::string& name);

}  // namespace qv::test
