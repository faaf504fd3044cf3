// The VHDL file: the ROM encoding and order, and the refusals made before any file is written.
// The full text of both architectures is checked by the golden files, their behaviour by the
// GHDL simulation.
#include "codegen/vhdl_generator.h"

#include <gtest/gtest.h>

#include <string>

#include "codegen/output_codes.h"
#include "codegen_test_support.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

using test::GeneratorInput;
using test::ScratchDirectory;

constexpr auto kSize = HdlArchitecture::Size;
constexpr auto kSpeed = HdlArchitecture::Speed;

OutputCode Generate(const GeneratorInput& in, HdlArchitecture architecture,
                    const std::string& path) {
  return Write(OutputFormat::Vhdl, in, test::HardwareOptions(architecture), path);
}

std::string GenerateText(const GeneratorInput& in, HdlArchitecture architecture) {
  ScratchDirectory dir;
  const std::string path = dir.Path("fir.vhd");
  EXPECT_EQ(Generate(in, architecture, path), OutputCode::Ok);
  return test::ReadFile(path);
}

// Symmetric taps 1, 2, ..., centre, ..., 2, 1 for an odd count.
GeneratorInput Symmetric(int taps, Quantization quantization) {
  GeneratorInput in = test::HandMadeFir({}, quantization, 2);
  in.spec.taps = taps;
  for (int i = 0; i < taps; ++i) {
    in.design.firTaps[i] = 1 + std::min(i, taps - 1 - i);
  }
  return in;
}

struct RomCase {
  Quantization quantization;
  double value;
  const char* row;
};

void PrintTo(const RomCase& c, std::ostream* os) { *os << c.row; }

class RomEncoding : public testing::TestWithParam<RomCase> {};

TEST_P(RomEncoding, WritesTwosComplementHex) {
  const RomCase& c = GetParam();
  GeneratorInput in = test::HandMadeFir({c.value, 1, c.value}, c.quantization, 1);
  EXPECT_NE(GenerateText(in, kSpeed).find(c.row), std::string::npos) << c.row;
}

INSTANTIATE_TEST_SUITE_P(
    Values, RomEncoding,
    testing::Values(RomCase{Quantization::Signed8, -3, "ROMDATA(0) <= x\"fd\";\n"},
                    RomCase{Quantization::Signed16, -3, "ROMDATA(0) <= x\"fffd\";\n"},
                    RomCase{Quantization::Signed16, 300, "ROMDATA(0) <= x\"012c\";\n"},
                    RomCase{Quantization::Signed8, 5, "ROMDATA(0) <= x\"05\";\n"},
                    RomCase{Quantization::Signed8, 128, "ROMDATA(0) <= x\"80\";\n"},
                    RomCase{Quantization::Signed8, -128, "ROMDATA(0) <= x\"80\";\n"},
                    RomCase{Quantization::Signed16, -32768, "ROMDATA(0) <= x\"8000\";\n"},
                    RomCase{Quantization::Signed16, 32767, "ROMDATA(0) <= x\"7fff\";\n"},
                    RomCase{Quantization::Signed8, -1, "ROMDATA(0) <= x\"ff\";\n"}));

TEST(VhdlSize, RomHoldsTheTapsLastFirstThenTheDummyRow) {
  const std::string text =
      GenerateText(test::HandMadeFir({1, 2, 3, -4}, Quantization::Signed16, 1), kSize);
  EXPECT_NE(
      text.find("ROMDATA(0) <= x\"fffc\";\nROMDATA(1) <= x\"0003\";\nROMDATA(2) <= x\"0002\";\n"
                "ROMDATA(3) <= x\"0001\";\nROMDATA(4) <= x\"0000\"; --dummy\n\n-- IOs registers\n"),
      std::string::npos);
}

struct RefusalCase {
  const char* name;
  HdlArchitecture architecture;
  int taps;
  FilterClass filterClass;
  Quantization quantization;
  OutputCode code;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class VhdlRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(VhdlRefusals, LeaveNoFile) {
  const RefusalCase& c = GetParam();
  GeneratorInput in = Symmetric(c.taps, c.quantization);
  in.spec.filterClass = c.filterClass;
  ScratchDirectory dir;
  const std::string path = dir.Path("fir.vhd");
  EXPECT_EQ(Generate(in, c.architecture, path), c.code);
  EXPECT_FALSE(test::FileExists(path));
  EXPECT_FALSE(OutputMessage(c.code).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, VhdlRefusals,
    testing::Values(RefusalCase{"ArchitectureZeroBeforeAll", static_cast<HdlArchitecture>(0), 30,
                                FilterClass::Iir, Quantization::Float, OutputCode::BadArchitecture},
                    RefusalCase{"ArchitectureThree", static_cast<HdlArchitecture>(3), 31,
                                FilterClass::Fir, Quantization::Signed16,
                                OutputCode::BadArchitecture},
                    RefusalCase{"IirBeforeFloat", kSize, 31, FilterClass::Iir, Quantization::Float,
                                OutputCode::IirClass},
                    RefusalCase{"Float", kSize, 31, FilterClass::Fir, Quantization::Float,
                                OutputCode::FloatQuantization},
                    RefusalCase{"SpeedEvenTaps", kSpeed, 30, FilterClass::Fir,
                                Quantization::Signed16, OutputCode::SpeedTapsEven},
                    RefusalCase{"SizeOneTap", kSize, 1, FilterClass::Fir, Quantization::Signed8,
                                OutputCode::SizeTooFewTaps},
                    RefusalCase{"SpeedOneTap", kSpeed, 1, FilterClass::Fir, Quantization::Signed8,
                                OutputCode::SpeedTooFewTaps},
                    RefusalCase{"TooManyTaps", kSize, kMaxTaps + 1, FilterClass::Fir,
                                Quantization::Signed16, OutputCode::DesignMismatch}),
    [](const testing::TestParamInfo<RefusalCase>& param) { return param.param.name; });

TEST(VhdlGenerator, SmallestTapCountsAreAccepted) {
  ScratchDirectory dir;
  EXPECT_EQ(Generate(Symmetric(2, Quantization::Signed8), kSize, dir.Path("a.vhd")),
            OutputCode::Ok);
  EXPECT_EQ(Generate(Symmetric(3, Quantization::Signed8), kSpeed, dir.Path("b.vhd")),
            OutputCode::Ok);
}

TEST(VhdlGenerator, FileErrorsAreReported) {
  ScratchDirectory dir;
  EXPECT_EQ(Generate(Symmetric(5, Quantization::Signed8), kSpeed, dir.Path("absent/fir.vhd")),
            OutputCode::NotCreated);
  if (test::FileExists("/dev/full")) {
    EXPECT_EQ(Generate(Symmetric(5, Quantization::Signed8), kSpeed, "/dev/full"),
              OutputCode::NotClosed);
  }
}

}  // namespace
}  // namespace qv
