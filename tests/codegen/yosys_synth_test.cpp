// Yosys synthesises generated Verilog with the top module fir: both architectures, both
// coefficient widths, the smallest tap counts and widths, and larger designs that stay quick.
#include <gtest/gtest.h>

#include <string>

#include "hdl_test_support.h"

namespace qv {
namespace {

using test::HdlCase;
using test::Taps;

class YosysSynthesis : public testing::TestWithParam<HdlCase> {};

TEST_P(YosysSynthesis, Synthesises) {
  const HdlCase& c = GetParam();
  ASSERT_TRUE(test::OnPath("yosys")) << "yosys is not on PATH; scripts/install-deps installs it";
  test::ScratchDirectory dir;
  ASSERT_EQ(test::WriteVerilogOf(c, dir.Path("fir.v")), OutputCode::Ok);
  const int status = test::RunShell("cd '" + dir.Directory() +
                                    "' && yosys -q -p \"read_verilog fir.v; hierarchy -check -top "
                                    "fir; synth -top fir\" > synth.log 2>&1");
  EXPECT_EQ(status, 0) << test::ReadFile(dir.Path("synth.log"));
}

INSTANTIATE_TEST_SUITE_P(Designs, YosysSynthesis,
                         testing::Values(HdlCase{"", test::kSize, Quantization::Signed8, 2, 4,
                                                 FilterModel::Rectangle, Taps::Designed},
                                         HdlCase{"", test::kSize, Quantization::Signed16, 31, 16,
                                                 FilterModel::RaisedCosine, Taps::Designed},
                                         HdlCase{"", test::kSpeed, Quantization::Signed16, 3, 32,
                                                 FilterModel::Rectangle, Taps::Designed},
                                         HdlCase{"", test::kSpeed, Quantization::Signed8, 51, 8,
                                                 FilterModel::Butterworth, Taps::Designed}),
                         [](const testing::TestParamInfo<HdlCase>& param) {
                           return test::HdlCaseName(param.param);
                         });

}  // namespace
}  // namespace qv
