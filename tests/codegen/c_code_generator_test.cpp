// The C file: the zeros and poles listed in its header, the smallest tap array, and the result
// codes. The full text is checked by the golden files, the functions' behaviour by gcc.
#include "codegen/c_code_generator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "analysis/zero_placement.h"
#include "codegen/output_codes.h"
#include "codegen_test_support.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

using test::GeneratorInput;
using test::ScratchDirectory;

OutputCode Generate(const GeneratorInput& in, const std::string& path) {
  return Write(OutputFormat::C, in, {}, path);
}

std::string GenerateText(const GeneratorInput& in) {
  ScratchDirectory dir;
  const std::string path = dir.Path("filter.c");
  EXPECT_EQ(Generate(in, path), OutputCode::Ok);
  return test::ReadFile(path);
}

// The default second-order Butterworth low pass, as the design leaves it.
GeneratorInput DefaultIir(Quantization quantization) {
  GeneratorInput in;
  in.spec.effectiveOrder = 2;
  in.spec.fcut2 = in.spec.fcut1;
  in.spec.quantization = quantization;
  if (quantization == Quantization::Float) {
    in.design.numerator = {0.0674553, 0.1349106, 0.0674553};
    in.design.denominator = {1.0, -1.1429805, 0.4128016};
  } else {
    in.design.numerator = {8841, 17682, 8841};
    in.design.denominator = {16384, -18726, 6763};
    in.design.shift = 3;
  }
  return in;
}

// Real coefficients, highest power first, of the monic polynomial with these roots.
std::vector<double> PolynomialOf(const std::vector<std::complex<double>>& roots) {
  std::vector<std::complex<double>> c{1.0};
  for (const auto& r : roots) {
    c.push_back(0.0);
    for (std::size_t k = c.size() - 1; k > 0; --k) {
      c[k] -= r * c[k - 1];
    }
  }
  std::vector<double> real;
  for (const auto& v : c) {
    real.push_back(v.real());
  }
  return real;
}

// The "z = re + j im" values listed after `title` in the header.
std::vector<std::complex<double>> ListedValues(const std::string& text, const std::string& title) {
  std::vector<std::complex<double>> values;
  std::size_t at = text.find(title);
  if (at == std::string::npos) {
    return values;
  }
  at += title.size();
  double re = 0.0;
  double im = 0.0;
  while (std::sscanf(text.c_str() + at, "z = %lf + j %lf\n", &re, &im) == 2) {
    values.emplace_back(re, im);
    at = text.find('\n', at) + 1;
  }
  return values;
}

bool ContainsNear(const std::vector<std::complex<double>>& values, std::complex<double> v) {
  constexpr double kPrinted = 2e-6;  // six printed decimals
  for (const auto& x : values) {
    if (std::abs(x - v) < kPrinted) {
      return true;
    }
  }
  return false;
}

TEST(CCodeGenerator, PolesAreTheRootsOfTheDenominator) {
  const std::string text = GenerateText(DefaultIir(Quantization::Float));
  const auto zeros = ListedValues(text, "\nZ domain Zeros\n");
  const auto poles = ListedValues(text, "\nZ domain Poles\n");
  ASSERT_EQ(zeros.size(), 2U);
  EXPECT_TRUE(ContainsNear(zeros, {-1.0, 0.0}));
  ASSERT_EQ(poles.size(), 2U);
  const double re = 1.1429805 / 2.0;
  const double im = std::sqrt(0.4128016 - re * re);
  EXPECT_TRUE(ContainsNear(poles, {re, im}));
  EXPECT_TRUE(ContainsNear(poles, {re, -im}));
}

TEST(CCodeGenerator, BandStopChebyshevListsBothFrequenciesRippleAndAllRoots) {
  GeneratorInput in;
  in.spec.bandType = BandType::BandStop;
  in.spec.model = FilterModel::Chebyshev;
  in.spec.order = 2;
  in.spec.effectiveOrder = 4;
  in.spec.fcenter = 250.0;
  const std::vector<std::complex<double>> chosen = {
      {0.5, 0.5}, {0.5, -0.5}, {-0.3, 0.6}, {-0.3, -0.6}};
  const std::vector<double> a = PolynomialOf(chosen);
  std::copy(a.begin(), a.end(), in.design.denominator.begin());
  in.design.numerator = in.design.denominator;
  const std::string text = GenerateText(in);
  EXPECT_NE(text.find("Filter type: Band Stop\nFilter model: Chebyshev\nFilter order: 2\n"
                      "Sampling Frequency: 1000 Hz\n"
                      "Fc1 and Fc2 Frequencies: 100.000000 Hz and 350.000000 Hz\n"
                      "Pass band Ripple: 1.000000 dB\nCoefficents Quantization: float\n"),
            std::string::npos);
  std::array<Complex, kMaxCoefficients> placed{};
  PlaceIirZeros(in.spec, placed);
  const auto zeros = ListedValues(text, "\nZ domain Zeros\n");
  ASSERT_EQ(zeros.size(), 4U);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(ContainsNear(zeros, {placed[i].re, placed[i].im}));
  }
  const auto poles = ListedValues(text, "\nZ domain Poles\n");
  ASSERT_EQ(poles.size(), 4U);
  for (const auto& p : chosen) {
    EXPECT_TRUE(ContainsNear(poles, p)) << p;
  }
}

struct SchemeModelCase {
  const char* name;
  FilterSpec spec;
  const char* summary;  // the lines the header must hold about the model
};

void PrintTo(const SchemeModelCase& c, std::ostream* os) { *os << c.name; }

class CSchemeModels : public testing::TestWithParam<SchemeModelCase> {};

// The models designed from a scheme write their ripple and attenuation, and list the zeros
// their design put in the stop band, as the zero-pole graph shows them.
TEST_P(CSchemeModels, HeaderDescribesTheDesign) {
  const GeneratorInput in = test::Calculated(GetParam().spec);
  const std::string text = GenerateText(in);
  EXPECT_NE(text.find(GetParam().summary), std::string::npos) << text;
  if (!IsIirModel(in.spec.model)) return;
  const auto zeros = ListedValues(text, "\nZ domain Zeros\n");
  ASSERT_EQ(zeros.size(), static_cast<std::size_t>(in.spec.effectiveOrder));
  for (int i = 0; i < in.spec.effectiveOrder; ++i) {
    const Complex& z = in.responses.zeros[static_cast<std::size_t>(i)];
    EXPECT_TRUE(ContainsNear(zeros, {z.re, z.im})) << z.re << " " << z.im;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Models, CSchemeModels,
    testing::Values(
        SchemeModelCase{"EllipticLowPass",
                        test::SchemeSpec(BandType::LowPass, FilterModel::Elliptic, 5, 48000, 4000,
                                         0, 0.5, 60.0),
                        "Filter model: Elliptic\nFilter order: 5\n"},
        SchemeModelCase{"ChebyshevIIBandStop",
                        test::SchemeSpec(BandType::BandStop, FilterModel::ChebyshevII, 4, 8000,
                                         1000, 2500, 1.0, 50.0),
                        "Pass band Ripple: 1.000000 dB\nStop band Attenuation: 50.000000 dB\n"},
        SchemeModelCase{
            "KaiserHighPass",
            test::SchemeSpec(BandType::HighPass, FilterModel::Kaiser, 41, 1000, 300, 0, 0.5, 40.0),
            "Sampling Frequency: 1000 Hz\nCut Frequency: "},
        SchemeModelCase{"EquirippleBandPass",
                        test::SchemeSpec(BandType::BandPass, FilterModel::Equiripple, 63, 1000, 150,
                                         300, 0.5, 45.0),
                        "Pass band Ripple: 0.500000 dB\nStop band Attenuation: 45.000000 dB\n"}));

TEST(CCodeGenerator, OneTapWritesAOneElementArray) {
  const std::string text = GenerateText(test::HandMadeFir({0.75}, Quantization::Float, 0));
  EXPECT_NE(text.find("#define Ntap 1\n\nfloat fir(float NewSample) {\n"
                      "    float FIRCoef[Ntap] = { \n        0.75000000000000000000\n    };\n\n"),
            std::string::npos);
}

TEST(CCodeGenerator, MissingDirectoryIsNotCreated) {
  ScratchDirectory dir;
  const std::string path = dir.Path("absent/filter.c");
  EXPECT_EQ(Generate(DefaultIir(Quantization::Float), path), OutputCode::NotCreated);
  EXPECT_FALSE(test::FileExists(dir.Path("absent")));
}

TEST(CCodeGenerator, FailedFlushOnCloseIsReported) {
  if (!test::FileExists("/dev/full")) {
    GTEST_SKIP() << "/dev/full is not available";
  }
  EXPECT_EQ(Generate(DefaultIir(Quantization::Float), "/dev/full"), OutputCode::NotClosed);
}

struct MismatchCase {
  const char* name;
  void (*spoil)(GeneratorInput&);
};

void PrintTo(const MismatchCase& c, std::ostream* os) { *os << c.name; }

class CMismatch : public testing::TestWithParam<MismatchCase> {};

TEST_P(CMismatch, IsRefusedBeforeTheFileIsTouched) {
  GeneratorInput in = test::HandMadeFir({1, 2, 3, 2, 1}, Quantization::Signed16, 3);
  GetParam().spoil(in);
  ScratchDirectory dir;
  const std::string path = dir.Path("filter.c");
  EXPECT_EQ(Generate(in, path), OutputCode::DesignMismatch);
  EXPECT_FALSE(test::FileExists(path));
}

INSTANTIATE_TEST_SUITE_P(
    Records, CMismatch,
    testing::Values(
        MismatchCase{"NoTaps", [](GeneratorInput& in) { in.spec.taps = 0; }},
        MismatchCase{"TooManyTaps", [](GeneratorInput& in) { in.spec.taps = kMaxTaps + 1; }},
        MismatchCase{"TapNotANumber",
                     [](GeneratorInput& in) {
                       in.design.firTaps[2] = std::numeric_limits<double>::quiet_NaN();
                     }},
        MismatchCase{"TapBeyond32Bits", [](GeneratorInput& in) { in.design.firTaps[0] = 3e9; }},
        MismatchCase{"NegativeShift", [](GeneratorInput& in) { in.design.shift = -1; }},
        MismatchCase{"HugeShift", [](GeneratorInput& in) { in.design.shift = 63; }},
        MismatchCase{"NoFrequencyDivisor", [](GeneratorInput& in) { in.scale.freqDivisor = 0; }},
        MismatchCase{"UnknownBand",
                     [](GeneratorInput& in) { in.spec.bandType = static_cast<BandType>(7); }},
        MismatchCase{
            "UnknownQuantization",
            [](GeneratorInput& in) { in.spec.quantization = static_cast<Quantization>(3); }},
        MismatchCase{"OrderBeyondCapacity",
                     [](GeneratorInput& in) {
                       in.spec.filterClass = FilterClass::Iir;
                       in.spec.model = FilterModel::Butterworth;
                       in.spec.order = 20;
                       in.spec.effectiveOrder = 20;
                     }},
        MismatchCase{"OrderNotMatchingBand",
                     [](GeneratorInput& in) {
                       in.spec.model = FilterModel::Butterworth;
                       in.spec.bandType = BandType::BandPass;
                       in.spec.order = 2;
                       in.spec.effectiveOrder = 2;
                     }}),
    [](const testing::TestParamInfo<MismatchCase>& param) { return param.param.name; });

}  // namespace
}  // namespace qv
