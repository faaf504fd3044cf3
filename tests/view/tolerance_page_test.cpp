// The graph page of a design with a tolerance scheme or fixed-point sections: the mask in blue
// where its geometry lies, drawn before the magnitude curve; the verdict and structure rows
// beside the summary, on the screen and on paper; nothing of either for other designs.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "graph/tolerance_mask.h"
#include "graph/verdict_text.h"
#include "view_test_support.h"

namespace qv::test {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr int kVerdictX = 472;

std::vector<RecordedPrimitive> BlueLines(const std::vector<RecordedPrimitive>& page) {
  std::vector<RecordedPrimitive> lines;
  for (const RecordedPrimitive& p : page) {
    if (p.kind == PrimitiveKind::Line && p.penColor == kBlue) lines.push_back(p);
  }
  return lines;
}

std::vector<std::string> VerdictColumn(const std::vector<RecordedPrimitive>& page) {
  std::vector<std::string> texts;
  for (const RecordedPrimitive& p : page) {
    if (p.kind == PrimitiveKind::Text && p.from.x == kVerdictX) texts.push_back(p.text);
  }
  return texts;
}

struct PageCase {
  const char* name;
  FilterSpec spec;
  bool mask;
  std::vector<std::string> firstWords;  // how each row of the second column begins
};

class SchemePage : public ::testing::TestWithParam<PageCase> {};

TEST_P(SchemePage, MaskAndVerdictAsTheDesignHasThem) {
  const PageCase& c = GetParam();
  const CalculatedDesign design = Calculated(c.spec);
  for (const bool printing : {false, true}) {
    const auto page = DrawnPage(design, printing);
    const std::vector<RecordedPrimitive> blue = BlueLines(page);
    const ToleranceMask mask = MakeToleranceMask(design.spec, design.responses, 42, 169);
    ASSERT_EQ(static_cast<int>(blue.size()), c.mask ? mask.count : 0);
    for (std::size_t i = 0; i < blue.size(); ++i) {
      // Logical y is the row negated; a stroke leaves out its end, which lies one beyond.
      const MaskLine& l = mask.lines[i];
      EXPECT_EQ(blue[i].from, (CPoint{l.x1, -l.row1})) << i;
      const CPoint end{l.x2 + (l.x2 > l.x1 ? 1 : 0),
                       -l.row2 - (l.row2 > l.row1 ? 1 : 0) + (l.row2 < l.row1 ? 1 : 0)};
      EXPECT_EQ(blue[i].to, end) << i;
    }
    if (c.mask) {
      // Under the magnitude curve: every blue line comes before the curve's first stroke.
      const auto magnitudeStart = std::find_if(page.begin(), page.end(), [](const auto& p) {
        return p.kind == PrimitiveKind::Line && p.penColor == RGB(255, 0, 0) && p.from.x == 42 &&
               p.to.x == 43;
      });
      ASSERT_NE(magnitudeStart, page.end());
      const auto lastBlue = std::find_if(page.rbegin(), page.rend(), [](const auto& p) {
        return p.kind == PrimitiveKind::Line && p.penColor == kBlue;
      });
      // base() is one past the last blue line.
      EXPECT_LE(std::distance(page.begin(), lastBlue.base()),
                std::distance(page.begin(), magnitudeStart));
    }
    const std::vector<std::string> column = VerdictColumn(page);
    ASSERT_EQ(column.size(), c.firstWords.size()) << (printing ? "paper" : "screen");
    const VerdictText rows = FormatVerdict(design.spec, design.responses, design.scheme);
    for (std::size_t r = 0; r < column.size(); ++r) {
      EXPECT_EQ(column[r], rows[r].View());
      EXPECT_EQ(column[r].rfind(c.firstWords[r], 0), 0U) << column[r];
    }
  }
}

FilterSpec Elliptic() {
  FilterSpec spec;
  spec.model = FilterModel::Elliptic;
  spec.scheme = {
      .active = true, .minimumOrder = true, .pass1 = 100, .stop1 = 130, .attenuation = 50};
  return spec;
}

FilterSpec ButterworthThatMisses() {
  FilterSpec spec;
  spec.bandType = BandType::BandStop;
  spec.fcut2 = 350;
  spec.scheme = {
      .active = true, .pass1 = 100, .pass2 = 350, .stop1 = 180, .stop2 = 260, .attenuation = 60};
  return spec;
}

FilterSpec Sections16() {
  FilterSpec spec;
  spec.model = FilterModel::Chebyshev;
  spec.order = 6;
  spec.quantization = Quantization::Signed16;
  spec.structure = IirStructure::Sections;
  return spec;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, SchemePage,
    ::testing::Values(PageCase{"Default", FilterSpec{}, false, {}},
                      PageCase{"EllipticMinimumOrder",
                               Elliptic(),
                               true,
                               {"Meets", "Pass band", "Stop band", "Lowest order"}},
                      PageCase{"ButterworthBandStopMisses",
                               ButterworthThatMisses(),
                               true,
                               {"Does not meet", "Pass band", "Stop band"}},
                      PageCase{"SixteenBitSections",
                               Sections16(),
                               false,
                               {"Structure: 3 second-order sections, 16-bit", "Output"}}),
    [](const ::testing::TestParamInfo<PageCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv::test
