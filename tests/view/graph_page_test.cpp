// What the graph page asks the device context to draw, for designs calculated by the engine:
// the summary, the axes, the curves, the zeros and poles, and what only paper shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view_test_support.h"

namespace qv::test {
namespace {

using Texts = std::vector<std::string>;

// Summary rows sit at x = 8, every 14 units from y = -28.
Texts SummaryOf(const std::vector<RecordedPrimitive>& page) {
  Texts summary;
  for (int y = -28; y >= -98; y -= 14) {
    if (const auto text = TextAt(page, 8, y)) summary.push_back(*text);
  }
  return summary;
}

struct SummaryCase {
  const char* name;
  FilterSpec spec;
  Texts rows;
};

class Summary : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(Summary, ShowsTheModelsOwnRows) {
  const auto page = DrawnPage(Calculated(GetParam().spec));
  EXPECT_EQ(SummaryOf(page), GetParam().rows);
  for (const RecordedPrimitive& p : page) {
    if (p.kind == PrimitiveKind::Text && p.from.x == 8) {
      EXPECT_EQ(p.fontFace, "Courier New");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Summary,
    ::testing::Values(
        SummaryCase{"Default",
                    FilterSpec{},
                    {"Filter type: IIR Low Pass", "Filter model: Butterworth", "Filter order: 2",
                     "Sampling Frequency: 1000 Hz", "Cut Frequency: 100.000000 Hz"}},
        SummaryCase{"RectangleHasNoOrder",
                    FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::Rectangle},
                    {"Filter type: FIR 31 Taps Low Pass", "Filter model: Rectangle Window",
                     "Sampling Frequency: 1000 Hz", "Cut Frequency: 100.000000 Hz"}},
        SummaryCase{
            "RaisedCosineShowsAlpha",
            FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::RaisedCosine},
            {"Filter type: FIR 31 Taps Low Pass", "Filter model: Raised Cosine", "Alpha: 0.500000",
             "Sampling Frequency: 1000 Hz", "Cut Frequency: 100.000000 Hz"}},
        SummaryCase{
            "ChebyshevBandStopShowsRipple",
            FilterSpec{.filterClass = FilterClass::Iir,
                       .bandType = BandType::BandStop,
                       .model = FilterModel::Chebyshev,
                       .fcut1 = 100,
                       .fcut2 = 350,
                       .fsample = 1000},
            {"Filter type: IIR Band Stop", "Filter model: Chebyshev", "Filter order: 2",
             "Sampling Frequency: 1000 Hz",
             "F1 and F2 Frequencies: 100.000000 Hz and 350.000000 Hz", "Pass band Ripple: 1.0 dB"}},
        SummaryCase{"KiloHertz",
                    FilterSpec{.filterClass = FilterClass::Iir,
                               .model = FilterModel::Bessel,
                               .fcut1 = 1500,
                               .fcut2 = 1500,
                               .fsample = 44100},
                    {"Filter type: IIR Low Pass", "Filter model: Bessel", "Filter order: 2",
                     "Sampling Frequency: 44 KHz", "Cut Frequency: 1.500000 KHz"}}),
    [](const ::testing::TestParamInfo<SummaryCase>& test) { return std::string(test.param.name); });

struct AxisCase {
  const char* name;
  int fsample;
  Texts frequencyRow;  // the labels of one top graph and its unit
  Texts timeRow;       // the labels of one bottom graph and its unit
};

class Axes : public ::testing::TestWithParam<AxisCase> {};

// Each top graph gets the frequency labels, each time graph the time labels, centred under
// the grid lines (7 units per character), then the unit.
TEST_P(Axes, LabelTheGridLines) {
  const AxisCase& c = GetParam();
  const auto page = DrawnPage(Calculated(
      FilterSpec{.fcut1 = c.fsample / 10, .fcut2 = c.fsample / 10, .fsample = c.fsample}));
  Texts frequencies;
  for (int column = 0; column < 3; ++column) {
    frequencies.insert(frequencies.end(), c.frequencyRow.begin(), c.frequencyRow.end());
  }
  // The last label of the first graph centres on x = 42 + 256; the unit follows at 319.
  const int length = static_cast<int>(c.frequencyRow[4].size());
  EXPECT_EQ(TextAt(page, 298 - 7 * length / 2, -374), c.frequencyRow[4]);
  EXPECT_EQ(TextAt(page, 319, -374), c.frequencyRow[5]);
  EXPECT_EQ(TextsInRow(page, -374), frequencies);
  Texts times = c.timeRow;
  times.insert(times.end(), c.timeRow.begin(), c.timeRow.end());
  EXPECT_EQ(TextsInRow(page, -660), times);
  for (const RecordedPrimitive& p : page) {
    if (p.from.y == -374 || p.from.y == -660) {
      EXPECT_EQ(p.fontFace, "Arial");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rates, Axes,
    ::testing::Values(AxisCase{"Default",
                               1000,
                               {"0", "125", "250", "375", "500", "Hz"},
                               {"0.0", "8.0", "16.0", "24.0", "32.0", "ms"}},
                      // Whole kilohertz first, then eighths: integer arithmetic throughout. The
                      // 32 points of 1/44100 s take 2.834 us per display point.
                      AxisCase{"KiloHertz",
                               44100,
                               {"0", "5", "11", "16", "22", "KHz"},
                               {"0.0", "181.4", "362.8", "544.2", "725.6", "us"}}),
    [](const ::testing::TestParamInfo<AxisCase>& test) { return std::string(test.param.name); });

TEST(GraphPage, CurvesStartOnTheirFramesLeftEdgeAndTheGroupDelayEndsOnePointEarly) {
  const auto polylines = RedPolylines(DrawnPage(Calculated(FilterSpec{})));
  ASSERT_EQ(polylines.size(), 5u);
  const int lefts[] = {722, 382, 42, 382, 722};
  for (int curve = kStepCurve; curve <= kDelayCurve; ++curve) {
    EXPECT_EQ(polylines[curve].front().x, lefts[curve]) << curve;
    const std::size_t points = curve == kDelayCurve ? 255 : 256;
    EXPECT_EQ(polylines[curve].size(), points) << curve;
  }
  EXPECT_EQ(polylines[kDelayCurve].back().x, 976);
}

struct MarkerCase {
  const char* name;
  FilterSpec spec;
  int markers;  // zeros, and as many poles
};

class Markers : public ::testing::TestWithParam<MarkerCase> {};

// A zero is a small circle, a pole a cross of two strokes, all red; only the models with an
// analog prototype have them, whatever the class.
TEST_P(Markers, DrawnForTheIirModelsOnly) {
  const auto page = DrawnPage(Calculated(GetParam().spec));
  int circles = 0;
  int strokes = 0;
  for (const RecordedPrimitive& p : page) {
    if (p.penColor != RGB(255, 0, 0)) continue;
    if (p.kind == PrimitiveKind::Ellipse) {
      ++circles;
      EXPECT_EQ(p.to.x - p.from.x, 6);
    }
    if (p.kind == PrimitiveKind::Line && p.to.x - p.from.x != 1) ++strokes;
  }
  EXPECT_EQ(circles, GetParam().markers);
  EXPECT_EQ(strokes, 2 * GetParam().markers);
}

INSTANTIATE_TEST_SUITE_P(
    Models, Markers,
    ::testing::Values(
        MarkerCase{"IirButterworth", FilterSpec{}, 2},
        MarkerCase{"IirChebyshevBandPass",
                   FilterSpec{.filterClass = FilterClass::Iir,
                              .bandType = BandType::BandPass,
                              .model = FilterModel::Chebyshev},
                   4},
        MarkerCase{"FirBessel",
                   FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::Bessel}, 2},
        MarkerCase{"FirRectangle",
                   FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::Rectangle}, 0},
        MarkerCase{"FirRaisedCosine",
                   FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::RaisedCosine},
                   0}),
    [](const ::testing::TestParamInfo<MarkerCase>& test) { return std::string(test.param.name); });

TEST(GraphPage, DrawsNothingButTheMappingWhenNotCalculated) {
  const CalculatedDesign design = Calculated(FilterSpec{});
  EXPECT_TRUE(DrawnPage(design, false, false).empty());
  EXPECT_TRUE(DrawnPage(design, true, false).empty());
}

class Target : public ::testing::TestWithParam<bool> {};

// Paper measures in hundredths of an inch and adds the heading, the version line and the two
// contact lines; the screen has one unit per pixel and neither.
TEST_P(Target, PaperAloneCarriesTheHeadingAndIdentification) {
  const bool printing = GetParam();
  const auto page = DrawnPage(Calculated(FilterSpec{}), printing);
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(page.front().mapMode, printing ? MM_LOENGLISH : MM_ANISOTROPIC);
  const Texts expected =
      printing ? Texts{"Digital Filter Graphics", "Quorvanel version 0.8",
                       "https://quorvanel.example.org", "support@quorvanel.example.org"}
               : Texts{};
  Texts found;
  for (const auto& [x, y] : {std::pair{420, -14}, {8, -688}, {8, -709}, {8, -730}}) {
    if (const auto text = TextAt(page, x, y)) found.push_back(*text);
  }
  EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(ScreenAndPaper, Target, ::testing::Bool());

}  // namespace
}  // namespace qv::test
