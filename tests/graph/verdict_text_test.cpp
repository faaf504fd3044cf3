// The summary's second column and the status line: the verdict as the check gives it, with the
// margins; the structure of a fixed-point cascade and how its output ends.
#include "graph/verdict_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "engine/calculate.h"

namespace qv {
namespace {

struct VerdictCase {
  const char* name;
  FilterSpec spec;
  SchemeCheck check;
  CascadeBehaviour cascade;
  std::array<const char*, kVerdictRows> rows;
  const char* line;
};

FilterSpec WithScheme(bool minimumOrder, FilterClass filterClass = FilterClass::Iir) {
  FilterSpec spec;
  spec.filterClass = filterClass;
  spec.ripple = 0.5;
  spec.scheme = {
      .active = true, .minimumOrder = minimumOrder, .pass1 = 100, .stop1 = 150, .attenuation = 60};
  return spec;
}

FilterSpec Sections(Quantization quantization, SectionScaling scaling, int effectiveOrder) {
  FilterSpec spec;
  spec.quantization = quantization;
  spec.structure = IirStructure::Sections;
  spec.sectionScaling = scaling;
  spec.effectiveOrder = effectiveOrder;
  return spec;
}

constexpr SchemeCheck kMet{.checked = true,
                           .meets = true,
                           .passLossDb = 0.4999,
                           .stopAttenuationDb = 61.237,
                           .passMarginDb = -0.00004,
                           .stopMarginDb = 1.237};
constexpr SchemeCheck kMissed{.checked = true,
                              .meets = false,
                              .passLossDb = 0.31,
                              .stopAttenuationDb = 52.5,
                              .passMarginDb = 0.19,
                              .stopMarginDb = -7.5};
// Both bands within the scheme, a bump between them above the pass band.
constexpr SchemeCheck kBump{.checked = true,
                            .meets = false,
                            .passLossDb = 0.31,
                            .stopAttenuationDb = 61.237,
                            .passMarginDb = 0.19,
                            .stopMarginDb = 1.237,
                            .transitionRiseDb = 23.456};

class Verdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(Verdict, RowsAndLineSayWhatTheCheckFound) {
  const VerdictCase& c = GetParam();
  ResponseSet responses;
  responses.cascade = c.cascade;
  const VerdictText rows = FormatVerdict(c.spec, responses, c.check);
  for (int r = 0; r < kVerdictRows; ++r) {
    EXPECT_EQ(rows[r].View(), c.rows[r]) << "row " << r;
  }
  EXPECT_EQ(VerdictLine(c.spec, c.check).View(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Verdict,
    ::testing::Values(
        VerdictCase{
            "NoSchemeNoSections", FilterSpec{}, SchemeCheck{}, {}, {"", "", "", "", "", ""}, ""},
        // A margin within the rounding shows as +0.000, never -0.000.
        VerdictCase{
            "Meets",
            WithScheme(false),
            kMet,
            {},
            {"Meets its tolerance scheme", "Pass band loss 0.500 dB, Rp 0.5 dB, margin +0.000 dB",
             "Stop band attenuation 61.24 dB, As 60 dB, margin +1.24 dB", "", "", ""},
            "Meets its tolerance scheme: Pass band loss 0.500 dB, Rp 0.5 dB, margin "
            "+0.000 dB; Stop band attenuation 61.24 dB, As 60 dB, margin +1.24 dB"},
        // The pass band has room, the stop band does not: the design misses.
        VerdictCase{"MissesInTheStopBand",
                    WithScheme(false),
                    kMissed,
                    {},
                    {"Does not meet its tolerance scheme",
                     "Pass band loss 0.310 dB, Rp 0.5 dB, margin +0.190 dB",
                     "Stop band attenuation 52.50 dB, As 60 dB, margin -7.50 dB", "", "", ""},
                    "Does not meet its tolerance scheme: Pass band loss 0.310 dB, Rp 0.5 dB, "
                    "margin +0.190 dB; Stop band attenuation 52.50 dB, As 60 dB, margin -7.50 dB"},
        VerdictCase{
            "MinimumOrder",
            WithScheme(true),
            kMet,
            {},
            {"Meets its tolerance scheme", "Pass band loss 0.500 dB, Rp 0.5 dB, margin +0.000 dB",
             "Stop band attenuation 61.24 dB, As 60 dB, margin +1.24 dB",
             "Lowest order for the scheme", "", ""},
            "Meets its tolerance scheme: Pass band loss 0.500 dB, Rp 0.5 dB, margin "
            "+0.000 dB; Stop band attenuation 61.24 dB, As 60 dB, margin +1.24 dB"},
        VerdictCase{"FewestTaps",
                    WithScheme(true, FilterClass::Fir),
                    kMissed,
                    {},
                    {"Does not meet its tolerance scheme",
                     "Pass band loss 0.310 dB, Rp 0.5 dB, margin +0.190 dB",
                     "Stop band attenuation 52.50 dB, As 60 dB, margin -7.50 dB",
                     "Fewest taps for the scheme", "", ""},
                    "Does not meet its tolerance scheme: Pass band loss 0.310 dB, Rp 0.5 dB, "
                    "margin +0.190 dB; Stop band attenuation 52.50 dB, As 60 dB, margin -7.50 dB"},
        VerdictCase{"BumpBetweenTheBands",
                    WithScheme(false, FilterClass::Fir),
                    kBump,
                    {},
                    {"Does not meet its tolerance scheme: +23.46 dB between the bands",
                     "Pass band loss 0.310 dB, Rp 0.5 dB, margin +0.190 dB",
                     "Stop band attenuation 61.24 dB, As 60 dB, margin +1.24 dB", "", "", ""},
                    "Does not meet its tolerance scheme: +23.46 dB between the bands: Pass band "
                    "loss 0.310 dB, Rp 0.5 dB, margin +0.190 dB; Stop band attenuation 61.24 dB, "
                    "As 60 dB, margin +1.24 dB"},
        VerdictCase{"SectionsThatSettle",
                    Sections(Quantization::Signed16, SectionScaling::LInfinity, 5),
                    SchemeCheck{},
                    {},
                    {"Structure: 3 second-order sections, 16-bit, L-infinity scaling",
                     "Output settles to zero", "", "", "", ""},
                    ""},
        VerdictCase{"OneSectionInALimitCycle",
                    Sections(Quantization::Signed8, SectionScaling::L2, 2),
                    SchemeCheck{},
                    {.settles = false, .cyclePeriod = 2, .cycleAmplitude = 3, .saturated = true},
                    {"Structure: 1 second-order section, 8-bit, L2 scaling",
                     "Output does not settle: period 2, amplitude 3, saturates", "", "", "", ""},
                    ""},
        VerdictCase{"SlowDecay",
                    Sections(Quantization::Signed16, SectionScaling::L2, 4),
                    SchemeCheck{},
                    {.settles = false},
                    {"Structure: 2 second-order sections, 16-bit, L2 scaling",
                     "Output does not settle in 65536 samples", "", "", "", ""},
                    ""},
        // Float and direct-form designs say nothing of a structure.
        VerdictCase{"FloatIgnoresTheStructure",
                    Sections(Quantization::Float, SectionScaling::LInfinity, 4),
                    SchemeCheck{},
                    {},
                    {"", "", "", "", "", ""},
                    ""}),
    [](const ::testing::TestParamInfo<VerdictCase>& test) { return std::string(test.param.name); });

// Whatever the design, the verdict is the engine's check: a design that misses never reads
// as meeting, and the margins are those of the check.
struct EngineCase {
  const char* name;
  FilterModel model;
  int order;
  double attenuation;
  bool meets;
};

class VerdictOfADesign : public ::testing::TestWithParam<EngineCase> {};

TEST_P(VerdictOfADesign, FollowsTheCheck) {
  const EngineCase& c = GetParam();
  FilterSpec spec;
  spec.model = c.model;
  spec.order = c.order;
  spec.fcut1 = 100;
  spec.ripple = 1.0;
  spec.scheme = {.active = true, .pass1 = 90, .stop1 = 150, .attenuation = c.attenuation};
  const Calculation calculation = Calculate(spec);
  ASSERT_TRUE(calculation.Succeeded()) << calculation.outcome.message;
  const SchemeCheck& check = calculation.outcome.scheme;
  ASSERT_EQ(check.meets, c.meets);
  const std::string line(VerdictLine(calculation.spec, check).View());
  const std::string verdict = c.meets ? "Meets" : "Does not meet";
  EXPECT_EQ(line.rfind(verdict, 0), 0U) << line;
  const GraphText margin = FormatGraphText("margin %+.2f dB", check.stopMarginDb);
  EXPECT_NE(line.find(margin.View()), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, VerdictOfADesign,
    ::testing::Values(EngineCase{"ButterworthTooLow", FilterModel::Butterworth, 2, 40, false},
                      EngineCase{"ButterworthEnough", FilterModel::Butterworth, 12, 40, true},
                      EngineCase{"ChebyshevEnough", FilterModel::Chebyshev, 6, 40, true},
                      EngineCase{"BesselTooLow", FilterModel::Bessel, 4, 20, false}),
    [](const ::testing::TestParamInfo<EngineCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv
