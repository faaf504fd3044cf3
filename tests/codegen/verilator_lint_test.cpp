// Verilator's lint with its default warnings, as an error, on generated Verilog: both
// architectures, both coefficient widths, the smallest and the largest tap counts and widths.
#include <gtest/gtest.h>

#include <string>

#include "hdl_test_support.h"

namespace qv {
namespace {

using test::HdlCase;
using test::Taps;

class VerilatorLint : public testing::TestWithParam<HdlCase> {};

TEST_P(VerilatorLint, PassesWithDefaultWarnings) {
  const HdlCase& c = GetParam();
  ASSERT_TRUE(test::OnPath("verilator"))
      << "verilator is not on PATH; scripts/install-deps installs it";
  test::ScratchDirectory dir;
  ASSERT_EQ(test::WriteVerilogOf(c, dir.Path("fir.v")), OutputCode::Ok);
  const int status =
      test::RunShell("cd '" + dir.Directory() +
                     "' && verilator --lint-only --top-module fir fir.v > lint.log 2>&1");
  EXPECT_EQ(status, 0) << test::ReadFile(dir.Path("lint.log"));
}

INSTANTIATE_TEST_SUITE_P(Designs, VerilatorLint,
                         testing::Values(HdlCase{"", test::kSize, Quantization::Signed8, 2, 4,
                                                 FilterModel::Rectangle, Taps::Designed},
                                         HdlCase{"", test::kSize, Quantization::Signed16, 511, 32,
                                                 FilterModel::Rectangle, Taps::Designed},
                                         HdlCase{"", test::kSize, Quantization::Signed8, 100, 8,
                                                 FilterModel::RaisedCosine, Taps::Designed},
                                         HdlCase{"", test::kSpeed, Quantization::Signed8, 5, 4,
                                                 FilterModel::Butterworth, Taps::Designed},
                                         HdlCase{"", test::kSpeed, Quantization::Signed16, 511, 32,
                                                 FilterModel::RaisedCosine, Taps::Designed},
                                         HdlCase{"", test::kSpeed, Quantization::Signed16, 257, 16,
                                                 FilterModel::Rectangle, Taps::Extreme}),
                         [](const testing::TestParamInfo<HdlCase>& param) {
                           return test::HdlCaseName(param.param);
                         });

}  // namespace
}  // namespace qv
