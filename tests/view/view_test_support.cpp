#include "view_test_support.h"

#include <gtest/gtest.h>

#include "engine/calculate.h"
#include "view/graph_page.h"

namespace qv::test {

CalculatedDesign Calculated(FilterSpec spec) {
  const Calculation calculation = Calculate(spec);
  EXPECT_TRUE(calculation.Succeeded()) << calculation.outcome.message;
  return {calculation.spec, calculation.scale, calculation.responses, calculation.outcome.scheme};
}

std::vector<RecordedPrimitive> DrawnPage(const CalculatedDesign& design, bool printing,
                                         bool calculated) {
  CRecordingDC dc(printing, printing ? 600 : kScreenDotsPerInch);
  DrawGraphPage(dc, design.spec, design.scale, design.responses, design.scheme, calculated);
  return dc.Primitives();
}

std::optional<std::string> TextAt(const std::vector<RecordedPrimitive>& page, int x, int y) {
  for (const RecordedPrimitive& p : page) {
    if (p.kind == PrimitiveKind::Text && p.from == CPoint{x, y}) return p.text;
  }
  return std::nullopt;
}

std::vector<std::string> TextsInRow(const std::vector<RecordedPrimitive>& page, int y) {
  std::vector<std::string> texts;
  for (const RecordedPrimitive& p : page) {
    if (p.kind == PrimitiveKind::Text && p.from.y == y) texts.push_back(p.text);
  }
  return texts;
}

std::vector<std::vector<CPoint>> RedPolylines(const std::vector<RecordedPrimitive>& page) {
  std::vector<std::vector<CPoint>> polylines;
  for (const RecordedPrimitive& p : page) {
    if (p.kind != PrimitiveKind::Line || p.penColor != RGB(255, 0, 0) || p.to.x != p.from.x + 1) {
      continue;
    }
    if (polylines.empty() || !(polylines.back().back() == p.from)) {
      polylines.push_back({p.from});
    }
    polylines.back().push_back(p.to);
  }
  return polylines;
}

}  // namespace qv::test
