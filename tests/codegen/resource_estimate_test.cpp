// The resource estimate: the figures of both architectures, the cases without an estimate, and
// the two texts built from its lines.
#include "codegen/resource_estimate.h"

#include <gtest/gtest.h>

#include <string>

#include "codegen/vhdl_generator.h"

namespace qv {
namespace {

constexpr auto kSize = HdlArchitecture::Size;
constexpr auto kSpeed = HdlArchitecture::Speed;

FilterSpec Fir(int taps, Quantization quantization, int fsample) {
  FilterSpec spec;
  spec.filterClass = FilterClass::Fir;
  spec.taps = taps;
  spec.quantization = quantization;
  spec.fsample = fsample;
  return spec;
}

struct EstimateCase {
  const char* name;
  HdlArchitecture architecture;
  int taps;
  Quantization quantization;
  int fsample;
  int resolution;
  ResourceEstimate expected;
};

void PrintTo(const EstimateCase& c, std::ostream* os) { *os << c.name; }

class Estimates : public testing::TestWithParam<EstimateCase> {};

TEST_P(Estimates, MatchTheArchitectureCounts) {
  const EstimateCase& c = GetParam();
  const ResourceEstimate e =
      EstimateResources(Fir(c.taps, c.quantization, c.fsample), c.architecture, c.resolution);
  EXPECT_EQ(e.available, c.expected.available);
  EXPECT_EQ(e.multipliers, c.expected.multipliers);
  EXPECT_EQ(e.filterFlipFlops, c.expected.filterFlipFlops);
  EXPECT_EQ(e.coefficientFlipFlops, c.expected.coefficientFlipFlops);
  EXPECT_EQ(e.latencyClocks, c.expected.latencyClocks);
  EXPECT_EQ(e.clockHz, c.expected.clockHz);
}

// Hand counts: size (N+3)W + 2N + 3C - 2 filter FFs, (N+1)C coefficient FFs; speed
// sum (W+C+1+k) n_k + (N+n_0+2)W + levels + C + 1 and n_0 C.
INSTANTIATE_TEST_SUITE_P(
    Designs, Estimates,
    testing::Values(
        EstimateCase{"DefaultSize",
                     kSize,
                     31,
                     Quantization::Signed16,
                     1000,
                     16,
                     {true, 1, 652, 512, 32, 32000}},
        EstimateCase{"DefaultSpeed",
                     kSpeed,
                     31,
                     Quantization::Signed16,
                     1000,
                     16,
                     {true, 16, 1817, 256, 8, 1000}},
        EstimateCase{"EightBitSize",
                     kSize,
                     31,
                     Quantization::Signed8,
                     1000,
                     8,
                     {true, 1, 356, 256, 32, 32000}},
        // n = 3, 2: (8+8+1)*3 + (8+8+2)*2 + (5+3+2)*8 + 2 + 8 + 1 = 51 + 36 + 80 + 11
        EstimateCase{"FiveTapsSpeed",
                     kSpeed,
                     5,
                     Quantization::Signed8,
                     48000,
                     8,
                     {true, 3, 178, 24, 6, 48000}},
        // n = 2: (12+16+1)*2 + (3+2+2)*12 + 1 + 16 + 1
        EstimateCase{"ThreeTapsSpeed",
                     kSpeed,
                     3,
                     Quantization::Signed16,
                     1000,
                     12,
                     {true, 2, 160, 32, 5, 1000}},
        EstimateCase{
            "TwoTapsSize", kSize, 2, Quantization::Signed16, 1000, 16, {true, 1, 130, 48, 3, 3000}},
        EstimateCase{"FastSamplingBeyond32Bits",
                     kSize,
                     31,
                     Quantization::Signed16,
                     100000000,
                     16,
                     {true, 1, 652, 512, 32, 3200000000LL}},
        EstimateCase{"ZeroResolution",
                     kSize,
                     31,
                     Quantization::Signed16,
                     1000,
                     0,
                     {true, 1, 108, 512, 32, 32000}},
        EstimateCase{"SizeOneTap", kSize, 1, Quantization::Signed16, 1000, 16, {}},
        EstimateCase{"SpeedTwoTaps", kSpeed, 2, Quantization::Signed16, 1000, 16, {}},
        EstimateCase{"SpeedOneTap", kSpeed, 1, Quantization::Signed8, 1000, 16, {}},
        EstimateCase{"TooManyTaps", kSize, kMaxTaps + 1, Quantization::Signed8, 1000, 16, {}},
        EstimateCase{"UnknownArchitecture",
                     static_cast<HdlArchitecture>(0),
                     31,
                     Quantization::Signed8,
                     1000,
                     16,
                     {}}),
    [](const testing::TestParamInfo<EstimateCase>& param) { return param.param.name; });

TEST(EstimateReport, DefaultSizeReadsNineLines) {
  const EstimateReport r = ReportEstimate(Fir(31, Quantization::Signed16, 1000), kSize, 16);
  const std::string lines =
      "Signal Resolution: 16-bit|Coefficients Quantization: 16-bit|1 multiplier(s)|"
      "652 FFs for the filter*|512 FFs for the coefficients*|32 clks output latency|"
      "32000 Hz for Fclk|1000 Hz for Fsampling|* May change with synthezis optimization|";
  std::string joined;
  for (int i = 0; i < r.lineCount; ++i) {
    joined += r.lines[static_cast<std::size_t>(i)] + "|";
  }
  EXPECT_EQ(r.lineCount, kEstimateLines);
  EXPECT_EQ(joined, lines);
}

TEST(EstimateReport, TextsEndEveryLine) {
  const EstimateReport r = ReportEstimate(Fir(5, Quantization::Signed8, 1000), kSpeed, 8);
  const std::string display = r.DisplayText();
  const std::string comment = r.HeaderComment();
  EXPECT_EQ(display.rfind("Signal Resolution: 8-bit\r\nCoefficients Quantization: 8-bit\r\n"
                          "3 multiplier(s)\r\n",
                          0),
            0U);
  const std::string lastDisplay = "* May change with synthezis optimization\r\n";
  const std::string lastComment = "-- * May change with synthezis optimization\n";
  EXPECT_EQ(display.substr(display.size() - lastDisplay.size()), lastDisplay);
  EXPECT_EQ(comment.rfind("-- Signal Resolution: 8-bit\n-- Coefficients Quantization: 8-bit\n", 0),
            0U);
  EXPECT_EQ(comment.substr(comment.size() - lastComment.size()), lastComment);
  EXPECT_EQ(r.PlainText().find('\r'), std::string::npos);
}

TEST(EstimateReport, SaysWhyThereIsNoEstimate) {
  const EstimateReport speed = ReportEstimate(Fir(1, Quantization::Signed16, 1000), kSpeed, 16);
  EXPECT_EQ(speed.lineCount, 3);
  EXPECT_EQ(speed.lines[2], "Estimate not available: SPEED needs 3 to 511 taps");
  const EstimateReport size = ReportEstimate(Fir(1, Quantization::Signed16, 1000), kSize, 16);
  EXPECT_EQ(size.lines[2], "Estimate not available: SIZE needs 2 to 511 taps");
}

}  // namespace
}  // namespace qv
