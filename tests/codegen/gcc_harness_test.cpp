// Compiles every kind of generated C file as written with gcc and clang, then with gcc feeds the
// function an impulse and a step and compares its outputs with the model's simulation: float
// designs within float rounding, quantised designs exactly (the model keeps the final division
// by DCgain as a fraction, the C function truncates it). Signed overflow in the generated code
// stops the program.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/simulation.h"
#include "codegen/c_code_generator.h"
#include "codegen_test_support.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

constexpr int kSamples = 256;
// Relative to the response peak: float arithmetic against doubles, on float coefficients.
// The rounding noise of a seventh-order direct form reaches about 4e-5.
constexpr double kFloatTolerance = 1e-4;

struct CCase {
  const char* name;
  FilterClass filterClass;
  BandType band;
  FilterModel model;
  int orderOrTaps;
  Quantization quantization;
};

void PrintTo(const CCase& c, std::ostream* os) { *os << c.name; }

FilterSpec SpecOf(const CCase& c) {
  FilterSpec spec;
  spec.filterClass = c.filterClass;
  spec.bandType = c.band;
  spec.model = c.model;
  spec.quantization = c.quantization;
  if (c.filterClass == FilterClass::Iir) {
    spec.order = c.orderOrTaps;
  } else {
    spec.taps = c.orderOrTaps;
  }
  return spec;
}

const char* SampleType(Quantization q) {
  switch (q) {
    case Quantization::Signed8:
      return "__int8";
    case Quantization::Signed16:
      return "__int16";
    case Quantization::Float:
      break;
  }
  return "float";
}

// The IIR output samples get the width the function's saturation warning asks for: the test
// then plays the compiler that has the sized types built in (_MSC_VER), and its prelude gives
// them. Every other file is compiled as written.
std::string TypeOptions(const FilterSpec& spec) {
  if (spec.filterClass != FilterClass::Iir || spec.quantization == Quantization::Float) {
    return "";
  }
  return std::string(" -D_MSC_VER -include '") + QUORVANEL_C_HARNESS_DIR +
         (spec.quantization == Quantization::Signed8 ? "/prelude_wide_iir8.h'"
                                                     : "/prelude_wide_iir16.h'");
}

// The model's simulation of the design; for a float design with the coefficients rounded to
// float as the compiler stores them, so that only the arithmetic differs.
std::vector<double> Model(const test::GeneratorInput& in, bool step) {
  std::array<double, kSimulationSamples> out{};
  FilterDesign d = in.design;
  if (in.spec.quantization == Quantization::Float) {
    auto round = [](auto& values) {
      for (double& v : values) {
        v = static_cast<double>(static_cast<float>(v));
      }
    };
    round(d.numerator);
    round(d.denominator);
    round(d.firTaps);
  }
  if (in.spec.filterClass == FilterClass::Iir) {
    (step ? SimulateIirStep : SimulateIirImpulse)(in.spec, d.numerator, d.denominator, d.shift,
                                                  kSamples, out);
  } else {
    (step ? SimulateFirStep : SimulateFirImpulse)(in.spec, d.firTaps, d.shift, kSamples, out);
  }
  return {out.begin(), out.begin() + kSamples};
}

// `value` (a whole number) converted to a signed type of `bits` bits by wrapping, as gcc does.
double NarrowWrap(double value, int bits) {
  const auto span = std::int64_t{1} << bits;
  const auto half = span / 2;
  const auto v = static_cast<std::int64_t>(value);
  return static_cast<double>(((v + half) % span + span) % span - half);
}

class GccHarness : public testing::TestWithParam<CCase> {};

TEST_P(GccHarness, FunctionReproducesTheModelSimulation) {
  ASSERT_TRUE(test::OnPath("gcc")) << "gcc is not on PATH; scripts/install-deps installs it";
  const test::GeneratorInput in = test::Calculated(SpecOf(GetParam()));
  const bool quantized = in.spec.quantization != Quantization::Float;
  test::ScratchDirectory dir;
  ASSERT_EQ(Write(OutputFormat::C, in, {}, dir.Path("filter.c")), OutputCode::Ok);

  const std::string source = QUORVANEL_C_HARNESS_DIR;
  const std::string compile =
      "cd '" + dir.Directory() +
      "' && gcc -std=c99 -O1 -Wall -Wextra -Werror -fsanitize=undefined " +
      "-fno-sanitize-recover=all -I." + TypeOptions(in.spec) +
      " -DFILTER=" + (in.spec.filterClass == FilterClass::Iir ? "iir" : "fir") +
      " -DSAMPLE=" + SampleType(in.spec.quantization) + (quantized ? "" : " -DFLOAT_SAMPLES") +
      " '" + source + "/harness.c' -o harness > gcc.log 2>&1";
  ASSERT_EQ(test::RunShell(compile), 0) << test::ReadFile(dir.Path("gcc.log"));

  // Quantised functions are fed the most negative sample, which the narrow type holds; the
  // integer arithmetic is odd, so the outputs are the model's for the positive full scale,
  // negated. An FIR step is linear in its amplitude and gets the largest one whose outputs fit
  // the narrow result type. An IIR step keeps full scale, so its overshoot may leave the result
  // type on return, which gcc converts by wrapping; the expected value does the same, and the
  // arithmetic inside the function is still checked exactly.
  const double amplitude = InputAmplitude(in.spec.quantization);
  for (const bool step : {false, true}) {
    const std::string kind = step ? "step" : "impulse";
    const std::vector<double> model = Model(in, step);
    double peak = 0.0;
    for (const double v : model) {
      peak = std::max(peak, std::abs(v));
    }
    ASSERT_GT(peak, 0.0) << kind;
    double fed = quantized ? -amplitude : amplitude;
    if (quantized && step && in.spec.filterClass == FilterClass::Fir) {
      fed = -std::min(amplitude, std::floor((amplitude - 1) / peak));
    }
    const std::string run = "cd '" + dir.Directory() + "' && ./harness " + kind + " " +
                            std::to_string(static_cast<long>(fed)) + " " +
                            std::to_string(kSamples) + " > " + kind + ".txt 2> run.log";
    ASSERT_EQ(test::RunShell(run), 0) << kind << ": " << test::ReadFile(dir.Path("run.log"));
    const std::vector<double> got = test::ReadNumbers(dir.Path(kind + ".txt"));
    ASSERT_EQ(got.size(), model.size()) << kind;
    const int narrowBits = in.spec.quantization == Quantization::Signed8 ? 8 : 16;
    int mismatches = 0;
    for (std::size_t t = 0; t < got.size(); ++t) {
      const double want = quantized ? NarrowWrap(std::trunc(model[t] * fed), narrowBits) : model[t];
      const bool same =
          quantized ? got[t] == want : std::abs(got[t] - want) <= kFloatTolerance * peak;
      if (!same && mismatches++ < 5) {
        ADD_FAILURE() << kind << " sample " << t << ": C gives " << got[t] << ", model " << want;
      }
    }
    EXPECT_EQ(mismatches, 0) << kind << " at amplitude " << fed;
  }
}

struct CompilerCase {
  const char* compiler;
  CCase design;
};

void PrintTo(const CompilerCase& c, std::ostream* os) { *os << c.compiler << " " << c.design.name; }

class CompilesAsWritten : public testing::TestWithParam<CompilerCase> {};

// No prelude and no definition of the test's own: the file alone, with every warning an error.
TEST_P(CompilesAsWritten, WithEveryWarningAnError) {
  const CompilerCase& c = GetParam();
  ASSERT_TRUE(test::OnPath(c.compiler))
      << c.compiler << " is not on PATH; scripts/install-deps installs it";
  const test::GeneratorInput in = test::Calculated(SpecOf(c.design));
  test::ScratchDirectory dir;
  ASSERT_EQ(Write(OutputFormat::C, in, {}, dir.Path("filter.c")), OutputCode::Ok);
  const std::string compile = "cd '" + dir.Directory() + "' && " + c.compiler +
                              " -std=c99 -Wall -Wextra -Werror -pedantic -c filter.c -o filter.o "
                              "> cc.log 2>&1";
  EXPECT_EQ(test::RunShell(compile), 0) << test::ReadFile(dir.Path("cc.log"));
}

std::vector<CompilerCase> CompilerCases() {
  const CCase kinds[] = {
      {"IirFloat", FilterClass::Iir, BandType::LowPass, FilterModel::Butterworth, 2,
       Quantization::Float},
      {"Iir8", FilterClass::Iir, BandType::HighPass, FilterModel::Bessel, 3, Quantization::Signed8},
      {"Iir16", FilterClass::Iir, BandType::BandStop, FilterModel::Chebyshev, 2,
       Quantization::Signed16},
      {"FirFloat", FilterClass::Fir, BandType::LowPass, FilterModel::Rectangle, 5,
       Quantization::Float},
      {"Fir8", FilterClass::Fir, BandType::LowPass, FilterModel::RaisedCosine, 9,
       Quantization::Signed8},
      {"Fir16", FilterClass::Fir, BandType::BandPass, FilterModel::Butterworth, 31,
       Quantization::Signed16},
  };
  std::vector<CompilerCase> cases;
  for (const char* compiler : {"gcc", "clang"}) {
    for (const CCase& kind : kinds) {
      cases.push_back({compiler, kind});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Kinds, CompilesAsWritten, testing::ValuesIn(CompilerCases()),
                         [](const testing::TestParamInfo<CompilerCase>& param) {
                           return std::string(param.param.compiler) + param.param.design.name;
                         });

INSTANTIATE_TEST_SUITE_P(
    Designs, GccHarness,
    testing::Values(CCase{"IirFloatButterworthLowPass2", FilterClass::Iir, BandType::LowPass,
                          FilterModel::Butterworth, 2, Quantization::Float},
                    CCase{"IirFloatChebyshevHighPass3", FilterClass::Iir, BandType::HighPass,
                          FilterModel::Chebyshev, 3, Quantization::Float},
                    CCase{"IirFloatBesselBandPass2", FilterClass::Iir, BandType::BandPass,
                          FilterModel::Bessel, 2, Quantization::Float},
                    CCase{"IirFloatButterworthBandStop3", FilterClass::Iir, BandType::BandStop,
                          FilterModel::Butterworth, 3, Quantization::Float},
                    CCase{"IirFloatButterworthLowPass7", FilterClass::Iir, BandType::LowPass,
                          FilterModel::Butterworth, 7, Quantization::Float},
                    CCase{"Iir16ButterworthLowPass2", FilterClass::Iir, BandType::LowPass,
                          FilterModel::Butterworth, 2, Quantization::Signed16},
                    CCase{"Iir16ChebyshevLowPass4", FilterClass::Iir, BandType::LowPass,
                          FilterModel::Chebyshev, 4, Quantization::Signed16},
                    CCase{"Iir16ButterworthBandPass2", FilterClass::Iir, BandType::BandPass,
                          FilterModel::Butterworth, 2, Quantization::Signed16},
                    CCase{"Iir8ButterworthLowPass2", FilterClass::Iir, BandType::LowPass,
                          FilterModel::Butterworth, 2, Quantization::Signed8},
                    CCase{"Iir8BesselHighPass3", FilterClass::Iir, BandType::HighPass,
                          FilterModel::Bessel, 3, Quantization::Signed8},
                    CCase{"FirFloatRectangle31", FilterClass::Fir, BandType::LowPass,
                          FilterModel::Rectangle, 31, Quantization::Float},
                    CCase{"FirFloatRaisedCosineHighPass15", FilterClass::Fir, BandType::HighPass,
                          FilterModel::RaisedCosine, 15, Quantization::Float},
                    CCase{"FirFloatButterworth1", FilterClass::Fir, BandType::LowPass,
                          FilterModel::Butterworth, 1, Quantization::Float},
                    CCase{"Fir8Rectangle31", FilterClass::Fir, BandType::LowPass,
                          FilterModel::Rectangle, 31, Quantization::Signed8},
                    CCase{"Fir8RaisedCosine9", FilterClass::Fir, BandType::LowPass,
                          FilterModel::RaisedCosine, 9, Quantization::Signed8},
                    CCase{"Fir8Butterworth30", FilterClass::Fir, BandType::LowPass,
                          FilterModel::Butterworth, 30, Quantization::Signed8},
                    CCase{"Fir16RaisedCosine31", FilterClass::Fir, BandType::LowPass,
                          FilterModel::RaisedCosine, 31, Quantization::Signed16},
                    CCase{"Fir16Rectangle101", FilterClass::Fir, BandType::LowPass,
                          FilterModel::Rectangle, 101, Quantization::Signed16},
                    CCase{"Fir16ChebyshevBandStop7", FilterClass::Fir, BandType::BandStop,
                          FilterModel::Chebyshev, 7, Quantization::Signed16}),
    [](const testing::TestParamInfo<CCase>& param) { return param.param.name; });

}  // namespace
}  // namespace qv
