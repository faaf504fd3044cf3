// The VHDL file: ROM encoding and order, the sections of each architecture, the adder-tree
// levels of the speed architecture, and the refusals made before any file is written.
#include "codegen/vhdl_generator.h"

#include <gtest/gtest.h>

#include <string>

#include "codegen/output_codes.h"
#include "codegen_test_support.h"

namespace qv {
namespace {

using test::CountOf;
using test::GeneratorInput;
using test::ScratchDir;

constexpr int kSize = static_cast<int>(VhdlArchitecture::Size);
constexpr int kSpeed = static_cast<int>(VhdlArchitecture::Speed);

int Generate(const GeneratorInput& in, int architecture, const std::string& path,
             std::string_view comment = "") {
  return GenerateVhdlCode(in.spec, in.scale, in.design.denominator, in.design.firTaps,
                          in.design.shift, architecture, comment, path);
}

std::string GenerateText(const GeneratorInput& in, int architecture, std::string_view comment = "") {
  ScratchDir dir;
  const std::string path = dir.File("fir.vhd");
  EXPECT_EQ(Generate(in, architecture, path, comment), kOutputOk);
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
  const std::string text = GenerateText(test::HandMadeFir({1, 2, 3, -4}, Quantization::Signed16, 1), kSize);
  EXPECT_NE(text.find("ROMDATA(0) <= x\"fffc\";\nROMDATA(1) <= x\"0003\";\nROMDATA(2) <= x\"0002\";\n"
                      "ROMDATA(3) <= x\"0001\";\nROMDATA(4) <= x\"0000\"; --dummy\n\n-- IOs registers\n"),
            std::string::npos);
}

TEST(VhdlSize, EightBitDummyRowHasTwoDigits) {
  const std::string text = GenerateText(Symmetric(31, Quantization::Signed8), kSize);
  EXPECT_EQ(CountOf(text, "\nROMDATA("), 32);
  EXPECT_NE(text.find("ROMDATA(31) <= x\"00\"; --dummy\n"), std::string::npos);
  EXPECT_NE(text.find("type ROMARRAY is array (0 to NTAP_g) of"), std::string::npos);
  EXPECT_NE(text.find("signal PROD, Y_I : std_logic_vector(X_IN'length+Coef_Width_g+NTAP_g-1 - 1 downto 0);\n"),
            std::string::npos);
}

struct SectionCase {
  int architecture;
  Quantization quantization;
  const char* text;
  bool present;
};

void PrintTo(const SectionCase& c, std::ostream* os) {
  *os << (c.architecture == kSpeed ? "speed " : "size ") << (c.present ? "has " : "lacks ") << c.text;
}

class VhdlSections : public testing::TestWithParam<SectionCase> {};

TEST_P(VhdlSections, AppearOnlyInTheirArchitecture) {
  const SectionCase& c = GetParam();
  const std::string text = GenerateText(Symmetric(9, c.quantization), c.architecture);
  EXPECT_EQ(text.find(c.text) != std::string::npos, c.present) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, VhdlSections,
    testing::Values(
        SectionCase{kSize, Quantization::Signed16, "entity adder is\n", false},
        SectionCase{kSize, Quantization::Signed16, "entity dummyAdder is\n", false},
        SectionCase{kSize, Quantization::Signed16, "component adder is\n", false},
        SectionCase{kSize, Quantization::Signed16, "entity multiplier is\n", true},
        SectionCase{kSize, Quantization::Signed16, "       NEW_SAMPLE      : out std_logic;\n", true},
        SectionCase{kSize, Quantization::Signed16,
                    "end process;\n\n-- TAP_Counter process\n", true},
        SectionCase{kSize, Quantization::Signed16,
                    "end process;\n\n-- right shift registers\n", true},
        SectionCase{kSize, Quantization::Signed16, "\n\nend size;\n", true},
        SectionCase{kSpeed, Quantization::Signed16, "entity adder is\n", true},
        SectionCase{kSpeed, Quantization::Signed16, "entity dummyAdder is\n", true},
        SectionCase{kSpeed, Quantization::Signed16, "component adder is\n", true},
        SectionCase{kSpeed, Quantization::Signed16, "component dummyAdder is\n", true},
        SectionCase{kSpeed, Quantization::Signed16, "component multiplier is\n", true},
        SectionCase{kSpeed, Quantization::Signed16, "NEW_SAMPLE", false},
        SectionCase{kSpeed, Quantization::Signed16, "TAP_Counter", false},
        SectionCase{kSpeed, Quantization::Signed16, "        DELAY(0) <= X_IN_reg;\n    end if;\n", true},
        SectionCase{kSpeed, Quantization::Signed16, ");\t\n\nend speed;\n", true},
        SectionCase{kSpeed, Quantization::Signed16,
                    "-- FIR 9 Taps\n-- Coefficents Quantization: 16-bit\n", true},
        SectionCase{kSpeed, Quantization::Signed16, "       Coef_Width_g    : integer := 16;\n", true},
        SectionCase{kSize, Quantization::Signed8, "-- Coefficents Quantization: 8-bit\n", true},
        SectionCase{kSize, Quantization::Signed8, "       Coef_Width_g    : integer := 8;\n", true},
        SectionCase{kSize, Quantization::Signed8, "       NTAP_g          : integer := 9\n", true},
        SectionCase{kSpeed, Quantization::Signed8,
                    "constant zeros : std_logic_vector(Y_I'length-1 downto 0) := (others => '0');\n", true},
        SectionCase{kSpeed, Quantization::Signed8, "Y_OUT'length-2 downto 0) := (others", false}));

struct LevelCase {
  int taps;
  const char* constants;
  std::vector<const char*> fragments;
};

void PrintTo(const LevelCase& c, std::ostream* os) { *os << c.taps << " taps"; }

class SpeedLevelsInFile : public testing::TestWithParam<LevelCase> {};

TEST_P(SpeedLevelsInFile, FollowTheHalvingOfTheOperands) {
  const LevelCase& c = GetParam();
  const std::string text = GenerateText(Symmetric(c.taps, Quantization::Signed16), kSpeed);
  EXPECT_NE(text.find(std::string("constant CoefScalingBitDrop_c : integer := 2;\n\n") + c.constants +
                      "\ntype DELAYARRAY"),
            std::string::npos);
  EXPECT_EQ(CountOf(text, "\nROMDATA("), (c.taps + 1) / 2);
  for (const char* fragment : c.fragments) {
    EXPECT_NE(text.find(fragment), std::string::npos) << fragment;
  }
}

INSTANTIATE_TEST_SUITE_P(
    TapCounts, SpeedLevelsInFile,
    testing::Values(
        LevelCase{31,
                  "constant nCoef0_c \t: integer := 16;\nconstant nCoef1_c \t: integer := 8;\n"
                  "constant nCoef2_c \t: integer := 4;\nconstant nCoef3_c \t: integer := 2;\n",
                  {"signal Ysum3    : YSUM3ARRAY;\n\n"
                   "signal Y_I      : std_logic_vector(X_IN'length + Coef_Width_g + 4 downto 0);\n",
                   "AdderLevel3_gen : for i in 0 to nCoef3_c-1 generate\n",
                   "-- adder blocs 4 level\nYsum4_inst : adder\n",
                   "    A             => Ysum3(0),\n    B             => Ysum3(1),\n"}},
        LevelCase{7,
                  "constant nCoef0_c \t: integer := 4;\nconstant nCoef1_c \t: integer := 2;\n",
                  {"-- adder blocs level 1\nAdderLevel1_gen : for i in 0 to nCoef1_c-1 generate\n"
                   "    Ysum1_inst : adder\n",
                   "        Q\t\t       => Ysum1(i)\n",
                   "-- adder blocs 2 level\nYsum2_inst : adder\n"}},
        LevelCase{5,
                  "constant nCoef0_c \t: integer := 3;\nconstant nCoef1_c \t: integer := 2;\n",
                  {"AdderLevel1_gen : for i in 0 to nCoef1_c-2 generate\n",
                   "        Q         => Ysum1(i)\n",
                   "Ysum1_inst : dummyAdder\nport map(\n    GLOBAL_CLK    => GLOBAL_CLK,\n"
                   "    GLOBAL_RESET  => GLOBAL_RESET,\n    A             => Ysum0(2*(nCoef1_c-1)),\n"
                   "    Q             => Ysum1(nCoef1_c-1)\n\n);\n\n",
                   "-- adder blocs 2 level\n"}},
        LevelCase{9,
                  "constant nCoef0_c \t: integer := 5;\nconstant nCoef1_c \t: integer := 3;\n"
                  "constant nCoef2_c \t: integer := 2;\n",
                  {"    A             => Ysum0(2*(nCoef1_c-1)),\n",
                   "    A             => Ysum1(2*(nCoef2_c-1)),\n",
                   "-- adder blocs 3 level\nYsum3_inst : adder\n"}},
        LevelCase{3, "constant nCoef0_c \t: integer := 2;\n",
                  {"end generate CoefMult_gen;\n\n-- adder blocs 1 level\nYsum1_inst : adder\n",
                   "    A             => Ysum0(0),\n",
                   "signal Y_I      : std_logic_vector(X_IN'length + Coef_Width_g + 1 downto 0);\n"}}));

TEST(VhdlGenerator, HeaderCarriesTheEstimateComment) {
  const std::string comment = "-- first line\n-- second line\n";
  const std::string text = GenerateText(Symmetric(5, Quantization::Signed16), kSize, comment);
  EXPECT_EQ(text.rfind("----------------------------------------------------------------\n"
                       "-- Quorvanel version 0.8\n",
                       0),
            0U);
  EXPECT_NE(text.find("--\n-- FIR 5 Taps\n-- Coefficents Quantization: 16-bit\n"
                      "-- Filter type: Low Pass\n-- Filter model: Rectangular Window\n"
                      "-- Sampling Frequency: 1000 Hz\n-- Cut Frequency: 100.000000 Hz\n"
                      "--\n-- first line\n-- second line\n" +
                      std::string(120, '-') + "\n\n" + std::string(120, '-') +
                      "\n--  Component multiplier\n"),
            std::string::npos);
}

TEST(VhdlGenerator, IirModelListsItsPrototypeZerosAndPoles) {
  GeneratorInput in = Symmetric(5, Quantization::Signed16);
  in.spec.model = FilterModel::Butterworth;
  in.spec.order = 2;
  in.spec.effectiveOrder = 2;
  in.design.denominator = {1.0, -1.1429805, 0.4128016};
  const std::string text = GenerateText(in, kSpeed);
  EXPECT_NE(text.find("-- Filter order: 2\n"), std::string::npos);
  EXPECT_NE(text.find("--\n-- Z domain Zeros\n-- z = -1.000000 + j 0.000000\n"
                      "-- z = -1.000000 + j 0.000000\n--\n-- Z domain Poles\n-- z = 0.571490 + j "),
            std::string::npos);
}

struct RefusalCase {
  const char* name;
  int architecture;
  int taps;
  FilterClass filterClass;
  Quantization quantization;
  int code;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class VhdlRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(VhdlRefusals, LeaveNoFile) {
  const RefusalCase& c = GetParam();
  GeneratorInput in = Symmetric(c.taps, c.quantization);
  in.spec.filterClass = c.filterClass;
  ScratchDir dir;
  const std::string path = dir.File("fir.vhd");
  EXPECT_EQ(Generate(in, c.architecture, path), c.code);
  EXPECT_FALSE(test::FileExists(path));
  EXPECT_FALSE(OutputMessage(c.code).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, VhdlRefusals,
    testing::Values(
        RefusalCase{"ArchitectureZeroBeforeAll", 0, 30, FilterClass::Iir, Quantization::Float,
                    kVhdlBadArchitecture},
        RefusalCase{"ArchitectureThree", 3, 31, FilterClass::Fir, Quantization::Signed16,
                    kVhdlBadArchitecture},
        RefusalCase{"IirBeforeFloat", kSize, 31, FilterClass::Iir, Quantization::Float, kVhdlIirClass},
        RefusalCase{"Float", kSize, 31, FilterClass::Fir, Quantization::Float, kVhdlFloatQuantization},
        RefusalCase{"SpeedEvenTaps", kSpeed, 30, FilterClass::Fir, Quantization::Signed16,
                    kSpeedTapsEven},
        RefusalCase{"SizeOneTap", kSize, 1, FilterClass::Fir, Quantization::Signed8, kSizeTooFewTaps},
        RefusalCase{"SpeedOneTap", kSpeed, 1, FilterClass::Fir, Quantization::Signed8,
                    kSpeedTooFewTaps},
        RefusalCase{"TooManyTaps", kSize, kMaxTaps + 1, FilterClass::Fir, Quantization::Signed16,
                    kDesignMismatch}),
    [](const testing::TestParamInfo<RefusalCase>& param) { return param.param.name; });

TEST(VhdlGenerator, SmallestTapCountsAreAccepted) {
  EXPECT_EQ(CheckVhdlArchitecture(Symmetric(2, Quantization::Signed8).spec, kSize), kOutputOk);
  EXPECT_EQ(CheckVhdlArchitecture(Symmetric(3, Quantization::Signed8).spec, kSpeed), kOutputOk);
}

TEST(VhdlGenerator, CommandChecksComeInOrder) {
  FilterSpec spec;
  EXPECT_EQ(CheckVhdlDesign(spec, false), kVhdlIirClass);
  spec.filterClass = FilterClass::Fir;
  EXPECT_EQ(CheckVhdlDesign(spec, false), kVhdlFloatQuantization);
  spec.quantization = Quantization::Signed8;
  EXPECT_EQ(CheckVhdlDesign(spec, false), kNotCalculated);
  EXPECT_EQ(CheckVhdlDesign(spec, true), kOutputOk);
}

TEST(VhdlGenerator, FileErrorsAreReported) {
  ScratchDir dir;
  EXPECT_EQ(Generate(Symmetric(5, Quantization::Signed8), kSpeed, dir.File("absent/fir.vhd")),
            kOutputNotCreated);
  if (test::FileExists("/dev/full")) {
    EXPECT_EQ(Generate(Symmetric(5, Quantization::Signed8), kSpeed, "/dev/full"), kOutputNotClosed);
  }
}

}  // namespace
}  // namespace qv
