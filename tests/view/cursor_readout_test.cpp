// The cursor readout over the graph page: the texts at chosen pixels, the cross on the curve
// drawn in the same column, the nearest zero or pole, and the places that read nothing.
#include "view/cursor_readout.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "view_test_support.h"

namespace qv::test {
namespace {

struct TextCase {
  const char* name;
  FilterSpec spec;
  int x;
  int y;
  const char* horizontal;
  const char* vertical;  // null: not checked here
};

class Texts : public ::testing::TestWithParam<TextCase> {};

TEST_P(Texts, ReadTheValuesOfThePoint) {
  const TextCase& c = GetParam();
  const CalculatedDesign design = Calculated(c.spec);
  const CursorReadout readout = ReadCursor(c.x, c.y, design.spec, design.scale, design.responses);
  EXPECT_EQ(readout.kind, ReadoutKind::Hit);
  EXPECT_EQ(readout.crossX, c.x);
  EXPECT_EQ(readout.horizontalText, c.horizontal);
  if (c.vertical != nullptr) {
    EXPECT_EQ(readout.verticalText, c.vertical);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Points, Texts,
    ::testing::Values(
        // A low pass is referenced to 0 Hz.
        TextCase{"MagnitudeLeftEdge", FilterSpec{}, 42, 300, "0.000 Hz", "0.000 dB"},
        TextCase{"MagnitudeQuarterRate", FilterSpec{}, 42 + 128, 171, "250.000 Hz", nullptr},
        // Half of 44100 Hz is cut to 22 KHz before the 256 points divide it.
        TextCase{"KiloHertzRightEdge", FilterSpec{.fcut1 = 4410, .fcut2 = 4410, .fsample = 44100},
                 297, 200, "21.914 KHz", nullptr},
        TextCase{"PhaseLeftEdge", FilterSpec{}, 382, 368, "0.000 Hz", nullptr},
        // 32 points at 1000 Hz: 0.125 ms per display point.
        TextCase{"Impulse", FilterSpec{}, 382 + 8, 456, "1.000 ms", nullptr},
        TextCase{"StepRightEdge", FilterSpec{}, 977, 654, "31.875 ms", nullptr}),
    [](const ::testing::TestParamInfo<TextCase>& test) { return std::string(test.param.name); });

TEST(CursorReadout, MagnitudePhaseAndGroupDelayOfOneColumnShareTheFrequency) {
  const CalculatedDesign design =
      Calculated(FilterSpec{.fcut1 = 4410, .fcut2 = 4410, .fsample = 44100});
  for (const int k : {0, 1, 100, 255}) {
    const auto at = [&](int x) {
      return ReadCursor(x, 250, design.spec, design.scale, design.responses).horizontalText;
    };
    EXPECT_EQ(at(42 + k), at(382 + k)) << k;
    EXPECT_EQ(at(42 + k), at(722 + k)) << k;
  }
}

// Wherever the mouse is inside a graph, the cross sits on the curve the page drew in that
// column, also where the magnitude axis has no width; the group delay's last column, which the page
// leaves undrawn, reads the point before.
TEST(CursorReadout, CrossSitsOnTheDrawnCurve) {
  FilterSpec singleTap{.filterClass = FilterClass::Fir, .model = FilterModel::Rectangle};
  singleTap.taps = 1;  // a flat magnitude
  for (const FilterSpec& spec :
       {FilterSpec{},
        FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::RaisedCosine},
        FilterSpec{.filterClass = FilterClass::Iir,
        .bandType = BandType::BandPass,
        .model = FilterModel::Chebyshev},
        singleTap}) {
    const CalculatedDesign design = Calculated(spec);
    const auto polylines = RedPolylines(DrawnPage(design));
    ASSERT_EQ(polylines.size(), 5u);
    const int mouseRows[] = {600, 500, 200, 300, 360};
    for (int curve = kStepCurve; curve <= kDelayCurve; ++curve) {
      for (const CPoint& vertex : polylines[curve]) {
        const CursorReadout readout =
            ReadCursor(vertex.x, mouseRows[curve], design.spec, design.scale, design.responses);
        ASSERT_EQ(readout.kind, ReadoutKind::Hit);
        EXPECT_EQ(readout.crossY, -vertex.y) << curve << " at " << vertex.x;
      }
    }
    const CursorReadout last = ReadCursor(977, 300, design.spec, design.scale, design.responses);
    EXPECT_EQ(last.crossY, -polylines[kDelayCurve].back().y);
  }
}

struct MarkerCase {
  const char* name;
  int order;
  Complex zeros[2];
  Complex poles[2];
  const char* horizontal;
  const char* vertical;
  CPoint cross;
};

class NearestMarker : public ::testing::TestWithParam<MarkerCase> {};

// The mouse at the plot's centre; a tie keeps the earlier marker, zeros before poles.
TEST_P(NearestMarker, PrefersTheEarlierOnATie) {
  const MarkerCase& c = GetParam();
  FilterSpec spec{.effectiveOrder = c.order};
  ResponseSet responses;
  for (int i = 0; i < 2; ++i) {
    responses.zeros[i] = c.zeros[i];
    responses.poles[i] = c.poles[i];
  }
  const CursorReadout readout = ReadCursor(170, 555, spec, DisplayScale{}, responses);
  EXPECT_EQ(readout.horizontalText, c.horizontal);
  EXPECT_EQ(readout.verticalText, c.vertical);
  EXPECT_EQ(readout.crossX, c.cross.x);
  EXPECT_EQ(readout.crossY, c.cross.y);
}

INSTANTIATE_TEST_SUITE_P(
    Ties, NearestMarker,
    ::testing::Values(
        MarkerCase{"ZeroBeforePole",
                   1,
                   {{0.2, 0.0}},
                   {{0.0, -0.2}},
                   "0.200 real",
                   "0.000 imag",
                   {190, 555}},
        MarkerCase{
            "NearerPole", 1, {{0.0, 0.3}}, {{-0.1, 0.0}}, "-0.100 real", "0.000 imag", {160, 555}},
        MarkerCase{"LowerIndex",
                   2,
                   {{0.0, 0.5}, {0.0, -0.5}},
                   {{0.5, 0.0}, {-0.5, 0.0}},
                   "0.000 real",
                   "0.500 imag",
                   {170, 505}},
        // Markers beyond the order are not looked at.
        MarkerCase{"BeyondOrder",
                   1,
                   {{0.9, 0.0}, {0.0, 0.0}},
                   {{0.0, -0.9}, {0.0, 0.0}},
                   "0.900 real",
                   "0.000 imag",
                   {260, 555}}),
    [](const ::testing::TestParamInfo<MarkerCase>& test) { return std::string(test.param.name); });

struct NothingCase {
  const char* name;
  FilterSpec spec;
  int x;
  int y;
  ReadoutKind kind;
  bool withoutMarkers = false;  // an effective order of 0: no zeros or poles
};

class NothingRead : public ::testing::TestWithParam<NothingCase> {};

TEST_P(NothingRead, GivesNoTextsAndNoCross) {
  const NothingCase& c = GetParam();
  const CalculatedDesign design = Calculated(c.spec);
  FilterSpec spec = design.spec;
  if (c.withoutMarkers) {
    spec.effectiveOrder = 0;
  }
  const CursorReadout readout = ReadCursor(c.x, c.y, spec, design.scale, design.responses);
  EXPECT_EQ(readout.kind, c.kind);
  EXPECT_EQ(readout.crossX, -1);
  EXPECT_TRUE(readout.horizontalText.empty());
  EXPECT_TRUE(readout.verticalText.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Places, NothingRead,
    ::testing::Values(
        NothingCase{"Summary", FilterSpec{}, 8, 30, ReadoutKind::Miss},
        NothingCase{"FrameTopEdge", FilterSpec{}, 100, 169, ReadoutKind::Miss},
        NothingCase{"RightOfMagnitude", FilterSpec{}, 298, 200, ReadoutKind::Miss},
        NothingCase{"RightOfZeroPole", FilterSpec{}, 270, 555, ReadoutKind::Miss},
        NothingCase{"NoZerosOrPoles", FilterSpec{}, 170, 555, ReadoutKind::Miss, true},
        NothingCase{"RectangleZeroPole",
                    FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::Rectangle},
                    170, 555, ReadoutKind::Ignored},
        NothingCase{"RaisedCosineZeroPole",
                    FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::RaisedCosine},
                    70, 456, ReadoutKind::Ignored}),
    [](const ::testing::TestParamInfo<NothingCase>& test) { return std::string(test.param.name); });

// A flat magnitude (one tap) and values that are not numbers put the cross on the frame's
// middle row, as the page draws them.
TEST(CursorReadout, ValuesWithoutAPlaceGoToTheMiddleRow) {
  FilterSpec single{.filterClass = FilterClass::Fir, .model = FilterModel::Rectangle};
  single.taps = 1;
  const CalculatedDesign flat = Calculated(single);
  EXPECT_EQ(ReadCursor(100, 200, flat.spec, flat.scale, flat.responses).crossY, 269);

  CalculatedDesign broken = Calculated(FilterSpec{});
  broken.responses.phase[10] = std::numeric_limits<double>::quiet_NaN();
  broken.responses.groupDelay[10] = std::numeric_limits<double>::quiet_NaN();
  for (const int left : {382, 722}) {
    EXPECT_EQ(ReadCursor(left + 10, 200, broken.spec, broken.scale, broken.responses).crossY, 269);
  }
}

}  // namespace
}  // namespace qv::test
