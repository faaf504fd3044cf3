// Compiles the fixed-point sections file with gcc and clang and feeds its function impulses,
// steps, full-scale and random samples: every output equals the program's integer simulation
// (RunCascadeSample) bit for bit, and at 16 bits so does a loop written from CMSIS-DSP's
// description of arm_biquad_cascade_df1_q15 run on the file's table. Random designs of every
// model and band (Chebyshev II and elliptic from schemes), both word widths, both scalings.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/cascade_simulation.h"
#include "codegen/fixed_point_sections_code.h"
#include "codegen_test_support.h"
#include "engine/calculate.h"
#include "tests/support/random_iir_spec.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

constexpr int kRunLength = 200;  // samples of each impulse, step and run of random samples

// Impulses and steps of both signs at full scale, a full-scale alternation (the largest
// Nyquist input), then random samples over the whole word.
std::vector<std::int32_t> Stimulus(const FixedPointCascade& cascade, std::mt19937& random) {
  const std::int32_t high = CascadeFullScale(cascade);
  std::vector<std::int32_t> x;
  for (const std::int32_t level : {high, -high - 1}) {
    x.push_back(level);
    x.insert(x.end(), kRunLength, 0);
    x.insert(x.end(), kRunLength, level);
    x.insert(x.end(), kRunLength, 0);
  }
  for (int t = 0; t < kRunLength; ++t) x.push_back(t % 2 == 0 ? high : -high - 1);
  std::uniform_int_distribution<std::int32_t> any(-high - 1, high);
  for (int t = 0; t < 4 * kRunLength; ++t) x.push_back(any(random));
  return x;
}

struct Compiled {
  std::vector<std::int32_t> function;
  std::vector<std::int32_t> reference;  // 16 bits only
};

// Writes the design's file into `dir`, compiles it with `compiler` and runs it on `input`.
Compiled CompileAndRun(const test::GeneratorInput& in, const std::string& compiler,
                       const std::vector<std::int32_t>& input) {
  test::ScratchDirectory dir;
  {
    std::ofstream file(dir.Path("filter.c"));
    EXPECT_EQ(WriteFixedPointSectionsCode(file, in.spec, in.scale, in.design), OutputCode::Ok);
  }
  {
    std::ofstream samples(dir.Path("input.txt"));
    for (const std::int32_t v : input) samples << v << '\n';
  }
  const bool q15 = in.design.cascade.wordBits == 16;
  const std::string flags = q15 ? " -DCMSIS_REFERENCE" : " -DFUNCTION=iir_q7 -DSAMPLE=int8_t";
  const std::string compile = "cd '" + dir.Directory() + "' && " + compiler +
                              " -std=c99 -O1 -Wall -Wextra -Werror -fsanitize=undefined "
                              "-fno-sanitize-recover=all -I." +
                              flags + " '" + QUORVANEL_C_HARNESS_DIR +
                              "/sections_harness.c' -o harness > cc.log 2>&1";
  Compiled out;
  if (test::RunShell(compile) != 0) {
    ADD_FAILURE() << compiler << ":\n" << test::ReadFile(dir.Path("cc.log"));
    return out;
  }
  if (test::RunShell("cd '" + dir.Directory() + "' && ./harness < input.txt > output.txt") != 0) {
    ADD_FAILURE() << "the harness did not run";
    return out;
  }
  std::istringstream lines(test::ReadFile(dir.Path("output.txt")));
  std::int32_t y = 0;
  std::int32_t r = 0;
  while (lines >> y) {
    out.function.push_back(y);
    if (q15 && lines >> r) out.reference.push_back(r);
  }
  return out;
}

FilterSpec RandomSpec(std::mt19937& random, std::size_t index) {
  constexpr std::array kModels{FilterModel::Butterworth, FilterModel::Chebyshev,
                               FilterModel::Bessel};
  constexpr std::array kBands{BandType::LowPass, BandType::HighPass, BandType::BandPass,
                              BandType::BandStop};
  FilterSpec spec;
  // Every model meets every band once in each round of twelve.
  spec.model = kModels[index % 3];
  spec.bandType = kBands[index / 3 % 4];
  spec.quantization = index % 2 == 0 ? Quantization::Signed16 : Quantization::Signed8;
  spec.structure = IirStructure::Sections;
  spec.sectionScaling = index % 5 == 4 ? SectionScaling::L2 : SectionScaling::LInfinity;
  test::DrawIirSpec(random, {.maxLowPassOrder = 8, .maxFsample = 48000, .cutSpacing = 20}, spec);
  if (index < kModels.size() * kBands.size()) return spec;
  // After the first round, the models designed from a scheme around the same frequencies.
  FilterSpec cauer = test::SchemeSpec(
      spec.bandType, index / 2 % 2 == 0 ? FilterModel::Elliptic : FilterModel::ChebyshevII,
      spec.order, spec.fsample, spec.fcut1, spec.fcut2, spec.ripple, 60.0);
  cauer.quantization = spec.quantization;
  cauer.structure = spec.structure;
  cauer.sectionScaling = spec.sectionScaling;
  return cauer;
}

TEST(FixedPointSectionsCompiled, FunctionAndCmsisLoopEqualTheSimulation) {
  ASSERT_TRUE(test::OnPath("gcc")) << "gcc is not on PATH; scripts/install-deps installs it";
  ASSERT_TRUE(test::OnPath("clang")) << "clang is not on PATH; scripts/install-deps installs it";
  std::mt19937 random(28);
  constexpr int kDesigns = 24;
  int compared = 0;
  for (int d = 0; d < kDesigns; ++d) {
    const FilterSpec spec = RandomSpec(random, static_cast<std::size_t>(d));
    SCOPED_TRACE(testing::Message()
                 << "design " << d << ": model " << static_cast<int>(spec.model) << " band "
                 << static_cast<int>(spec.bandType) << " order " << spec.order << " fs "
                 << spec.fsample << " fc " << spec.fcut1 << ".." << spec.fcut2 << " bits "
                 << (spec.quantization == Quantization::Signed8 ? 8 : 16));
    const Calculation calculated = Calculate(spec);
    if (!calculated.Succeeded()) continue;
    const test::GeneratorInput& in = calculated;
    const std::vector<std::int32_t> input = Stimulus(in.design.cascade, random);
    std::vector<std::int32_t> expected;
    CascadeState state;
    int saturations = 0;
    for (const std::int32_t x : input) {
      expected.push_back(RunCascadeSample(in.design.cascade, state, x, saturations));
    }
    // clang for every fourth design: the arithmetic is the same C, one compiler is the check.
    for (const std::string& compiler : {std::string("gcc"), std::string("clang")}) {
      if (compiler == "clang" && d % 4 != 0) continue;
      const Compiled got = CompileAndRun(in, compiler, input);
      EXPECT_EQ(got.function, expected) << compiler;
      if (in.design.cascade.wordBits == 16) {
        EXPECT_EQ(got.reference, expected) << compiler;
      }
    }
    ++compared;
  }
  EXPECT_GE(compared, kDesigns * 3 / 4);
}

}  // namespace
}  // namespace qv
