// Designs calculated by the engine and the page they draw, for the view tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/responses.h"
#include "design/scheme_check.h"
#include "records/filter_spec.h"
#include "tests/support/recording_dc.h"

namespace qv::test {

struct CalculatedDesign {
  FilterSpec spec;
  DisplayScale scale;
  ResponseSet responses;
  SchemeCheck scheme;
};

// Takes a specification; returns it calculated (the test fails when the calculation does).
CalculatedDesign Calculated(FilterSpec spec);

// The primitives of the page drawn for the design, on the screen or on paper.
std::vector<RecordedPrimitive> DrawnPage(const CalculatedDesign& design, bool printing = false,
                                         bool calculated = true);

// The text drawn at the logical point, if any.
std::optional<std::string> TextAt(const std::vector<RecordedPrimitive>& page, int x, int y);

// The texts drawn in one row (logical y), left to right as drawn.
std::vector<std::string> TextsInRow(const std::vector<RecordedPrimitive>& page, int y);

// The red polylines of one unit per point (the curves), in the order drawn: the vertices of
// each, its start first.
std::vector<std::vector<CPoint>> RedPolylines(const std::vector<RecordedPrimitive>& page);

// Index of each curve among the polylines: the order in which the page draws them.
enum CurveIndex { kStepCurve, kImpulseCurve, kMagnitudeCurve, kPhaseCurve, kDelayCurve };

}  // namespace qv::test
