// The texts of the picture: summary rows for each kind of design and the axis labels.
#include "graph/graph_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace qv {
namespace {

struct SummaryCase {
  const char* name;
  FilterSpec spec;
  DisplayScale scale;
  std::array<const char*, kSummaryRows> rows;
};

DisplayScale KilohertzScale() {
  DisplayScale scale;
  scale.freqDivisor = 1000;
  scale.freqUnit = "KHz";
  return scale;
}

FilterSpec AudioBandPass() {
  return FilterSpec{.filterClass = FilterClass::Iir,
                    .bandType = BandType::BandPass,
                    .model = FilterModel::Chebyshev,
                    .order = 4,
                    .fcut1 = 5500,
                    .fcut2 = 12000,
                    .fsample = 44100,
                    .ripple = 0.25};
}

class Summary : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(Summary, RowsReadAsTheDesignIs) {
  const SummaryCase& c = GetParam();
  const SummaryText rows = FormatSummary(c.spec, c.scale);
  for (int row = 0; row < kSummaryRows; ++row) {
    EXPECT_EQ(rows[row].View(), c.rows[row]) << "row " << row;
    EXPECT_EQ(rows[row].chars[rows[row].length], '\0');
  }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Summary,
    ::testing::Values(
        SummaryCase{"Default",
                    FilterSpec{},
                    DisplayScale{},
                    {"Filter type: IIR Low Pass", "Filter model: Butterworth", "Filter order: 2",
                     "Sampling Frequency: 1000 Hz", "Cut Frequency: 100.000000 Hz", ""}},
        SummaryCase{"RaisedCosineBandStop",
                    FilterSpec{.filterClass = FilterClass::Fir,
                               .bandType = BandType::BandStop,
                               .model = FilterModel::RaisedCosine},
                    DisplayScale{},
                    {"Filter type: FIR 31 Taps Band Stop", "Filter model: Raised Cosine",
                     "Alpha: 0.500000", "Sampling Frequency: 1000 Hz",
                     "F1 and F2 Frequencies: 100.000000 Hz and 350.000000 Hz", ""}},
        SummaryCase{"RectangleHighPass",
                    FilterSpec{.filterClass = FilterClass::Fir,
                               .bandType = BandType::HighPass,
                               .model = FilterModel::Rectangle},
                    DisplayScale{},
                    {"Filter type: FIR 31 Taps High Pass", "Filter model: Rectangle Window", "",
                     "Sampling Frequency: 1000 Hz", "Cut Frequency: 100.000000 Hz", ""}},
        SummaryCase{"BesselFir",
                    FilterSpec{.filterClass = FilterClass::Fir,
                               .bandType = BandType::LowPass,
                               .model = FilterModel::Bessel},
                    DisplayScale{},
                    {"Filter type: FIR 31 Taps Low Pass", "Filter model: Bessel", "Filter order: 2",
                     "Sampling Frequency: 1000 Hz", "Cut Frequency: 100.000000 Hz", ""}},
        SummaryCase{
            "ChebyshevKilohertz",
            AudioBandPass(),
            KilohertzScale(),
            {"Filter type: IIR Band Pass", "Filter model: Chebyshev", "Filter order: 4",
             "Sampling Frequency: 44 KHz", "F1 and F2 Frequencies: 5.500000 KHz and 12.000000 KHz",
             "Pass band Ripple: 0.2 dB"}}),
    [](const ::testing::TestParamInfo<SummaryCase>& test) { return std::string(test.param.name); });

struct LabelCase {
  const char* name;
  GraphText (*label)(int index);
  int firstIndex;
  std::array<const char*, 5> texts;
};

class AxisLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(AxisLabels, ReadFromAxisStartToEnd) {
  const LabelCase& c = GetParam();
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(c.label(c.firstIndex + i).View(), c.texts[i]) << "label " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Axes, AxisLabels,
    ::testing::Values(LabelCase{"Hertz",
                                [](int k) { return FrequencyLabel(1000, 1, k); },
                                0,
                                {"0", "125", "250", "375", "500"}},
                      // Whole numbers throughout: 44100 Hz in kHz is 44, and 44 * 3 / 8 is 16.
                      LabelCase{"Kilohertz",
                                [](int k) { return FrequencyLabel(44100, 1000, k); },
                                0,
                                {"0", "5", "11", "16", "22"}},
                      // The largest rate in hertz: k times it does not fit in 32 bits.
                      LabelCase{"LargestRate",
                                [](int k) { return FrequencyLabel(2147483647, 1, k); },
                                0,
                                {"0", "268435455", "536870911", "805306367", "1073741823"}},
                      LabelCase{"Milliseconds",
                                [](int k) { return TimeLabel(0.125f, k); },
                                0,
                                {"0.0", "8.0", "16.0", "24.0", "32.0"}},
                      LabelCase{"StepFromMinusPeak",
                                [](int p) { return StepLabel(1.05, p); },
                                0,
                                {"-1.050", "-0.525", "0.000", "0.525", "1.050"}},
                      LabelCase{"ImpulseFromMinusPeak",
                                [](int p) { return ImpulseLabel(0.282, p); },
                                -2,
                                {"-0.282", "-0.141", "0.000", "0.141", "0.282"}},
                      LabelCase{"MagnitudeFromTop",
                                [](int p) { return MagnitudeLabel(-108.0, 0.0, p); },
                                0,
                                {"0.0", "-27.0", "-54.0", "-81.0", "-108.0"}},
                      LabelCase{"DelayInDisplayUnit",
                                [](int p) { return GroupDelayLabel(0.00023, 0.00275, 1000.0f, p); },
                                0,
                                {"0.230", "0.860", "1.490", "2.120", "2.750"}}),
    [](const ::testing::TestParamInfo<LabelCase>& test) { return std::string(test.param.name); });

TEST(GraphText, LongTextIsCutAtCapacity) {
  const std::string wide(3 * kGraphTextCapacity, 'x');
  const GraphText text = MakeGraphText(wide);
  EXPECT_EQ(text.length, kGraphTextCapacity - 1);
  EXPECT_EQ(text.View(), wide.substr(0, kGraphTextCapacity - 1));
  EXPECT_EQ(text.chars[kGraphTextCapacity - 1], '\0');
}

}  // namespace
}  // namespace qv
