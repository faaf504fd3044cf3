// The tolerance scheme and the IIR structure on the command line, in --batch lines and in the
// design file of --open and --save: what each option and field sets, what is refused, and that
// every new field goes out and comes back unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_line.h"
#include "cli/cli_options.h"
#include "cli/exit_status.h"
#include "cli/json_output.h"
#include "engine/calculate.h"
#include "fileio/design_file.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_directory.h"

namespace qv::cli {
namespace {

using Json = nlohmann::json;
using test::RunCliInProcess;

// The specification the command line describes, before any calculation.
FilterSpec SpecOf(std::vector<std::string> args) {
  args.insert(args.begin(), "quorvanel-cli");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  CliOptions options;
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_FALSE(ParseCliOptions(static_cast<int>(argv.size()), argv.data(), options, out, err))
      << err.str();
  FilterSpec spec;
  ApplyOverrides(options.overrides, spec);
  EXPECT_FALSE(ApplyFormRules(options.overrides, spec));
  return spec;
}

struct FlagCase {
  const char* name;
  std::vector<std::string> args;
  FilterSpec expected;
};

void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.name; }

class SchemeFlagTest : public ::testing::TestWithParam<FlagCase> {};

// `spec` after the form's rule that both the options and a batch line apply: low and high
// pass take Fc2 from Fc1.
FilterSpec AsTheFormLeavesIt(FilterSpec spec) {
  if (!IsBandType(spec.bandType)) spec.fcut2 = spec.fcut1;
  return spec;
}

TEST_P(SchemeFlagTest, FlagsSetTheirFields) {
  EXPECT_EQ(SpecOf(GetParam().args), AsTheFormLeavesIt(GetParam().expected));
}

FilterSpec With(const ToleranceScheme& scheme, FilterSpec spec = {}) {
  spec.scheme = scheme;
  return spec;
}

using M = FilterModel;
using B = BandType;

INSTANTIATE_TEST_SUITE_P(
    Options, SchemeFlagTest,
    ::testing::Values(FlagCase{"PassAndStopSetAScheme",
                               {"--pass", "100", "--stop", "150.5"},
                               With({.active = true, .pass1 = 100.0, .stop1 = 150.5})},
                      FlagCase{"BandEdgesAttenuationMinimumOrder",
                               {"--band", "bandstop", "--pass=1e2,+4.5e2", "--stop", "200,300",
                                "--atten", "72.25", "--min-order", "--ripple", "0.1"},
                               With({.active = true,
                                     .minimumOrder = true,
                                     .pass1 = 100.0,
                                     .pass2 = 450.0,
                                     .stop1 = 200.0,
                                     .stop2 = 300.0,
                                     .attenuation = 72.25},
                                    {.bandType = B::BandStop, .ripple = 0.1})},
                      // Only the edges set a scheme: the other two fields are kept for one.
                      FlagCase{"AttenuationAlone", {"--atten", "70"}, With({.attenuation = 70.0})},
                      FlagCase{"MinimumOrderAlone", {"--min-order"}, With({.minimumOrder = true})},
                      FlagCase{"StopAlone",
                               {"--band", "highpass", "--stop", "50"},
                               With({.active = true, .stop1 = 50.0}, {.bandType = B::HighPass})},
                      FlagCase{"ChebyshevII", {"--model", "chebyshev2"}, {.model = M::ChebyshevII}},
                      FlagCase{"Elliptic", {"--model", "elliptic"}, {.model = M::Elliptic}},
                      FlagCase{"Kaiser",
                               {"--class", "fir", "--model", "kaiser"},
                               {.filterClass = FilterClass::Fir, .model = M::Kaiser}},
                      FlagCase{"Equiripple",
                               {"--model=equiripple", "--class=fir"},
                               {.filterClass = FilterClass::Fir, .model = M::Equiripple}},
                      FlagCase{"SectionsL2",
                               {"--structure", "sections", "--scaling", "l2", "--quant", "16"},
                               {.quantization = Quantization::Signed16,
                                .structure = IirStructure::Sections,
                                .sectionScaling = SectionScaling::L2}},
                      FlagCase{"DirectLInfinity", {"--structure=direct", "--scaling=linf"}, {}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// Every new field of a "spec" object read from a batch line, and what a line may not hold.
TEST(SchemeBatchLine, FieldsReadIntoTheSpecification) {
  struct Case {
    std::string line;
    FilterSpec expected;
  };
  const std::vector<Case> cases = {
      {R"({"scheme": {"pass1": 100, "stop1": 150.25}})",
       With({.active = true, .pass1 = 100.0, .stop1 = 150.25})},
      {R"({"scheme": {"active": true, "minimumOrder": true, "pass1": 1, "pass2": 2, "stop1": 0.5,
           "stop2": 3, "attenuation": 80}})",
       With({.active = true,
             .minimumOrder = true,
             .pass1 = 1.0,
             .pass2 = 2.0,
             .stop1 = 0.5,
             .stop2 = 3.0,
             .attenuation = 80.0})},
      // A scheme that says it is off keeps its values, as a design file does.
      {R"({"scheme": {"active": false, "pass1": 7}})", With({.pass1 = 7.0})},
      {R"({"scheme": {}})", With({.active = true})},
      {R"({"structure": 1, "sectionScaling": 1})",
       {.structure = IirStructure::Sections, .sectionScaling = SectionScaling::L2}},
      {R"({"structure": 0, "sectionScaling": 0})", {}},
  };
  for (const Case& c : cases) {
    FilterSpec spec;
    spec.order = 5;  // a line starts from the defaults, not from what was there
    std::string message;
    ASSERT_TRUE(ReadBatchSpec(c.line, spec, message)) << c.line << ": " << message;
    EXPECT_EQ(spec, AsTheFormLeavesIt(c.expected)) << c.line;
  }
}

TEST(SchemeBatchLine, WrongValuesAreNoSpecification) {
  struct Case {
    std::string line;
    std::string named;  // in the message
  };
  const std::vector<Case> cases = {
      {R"({"structure": 2})", "\"structure\" must be 0 (direct form) or 1 (sections)"},
      {R"({"structure": -1})", "\"structure\""},
      {R"({"structure": "sections"})", "\"structure\""},
      {R"({"structure": 1.5})", "\"structure\""},
      {R"({"sectionScaling": 2})", "\"sectionScaling\" must be 0 (L-infinity) or 1 (L2)"},
      {R"({"scheme": 1})", "\"scheme\" must be an object"},
      {R"({"scheme": [100, 150]})", "\"scheme\" must be an object"},
      {R"({"scheme": {"pass1": "100"}})", "\"scheme.pass1\" must be a number"},
      {R"({"scheme": {"attenuation": 1e999}})", "not valid JSON"},
      {R"({"scheme": {"active": 1}})", "\"scheme.active\" must be true or false"},
      {R"({"scheme": {"minimumOrder": "yes"}})", "\"scheme.minimumOrder\" must be true or false"},
      {R"({"scheme": {"pass": 100}})", "\"scheme.pass\" is not a field of the tolerance scheme"},
      {R"({"verdict": {}})", "\"verdict\" is not a field of the specification"},
  };
  for (const Case& c : cases) {
    const test::CliRun run = RunCliInProcess({"--batch", "--jobs", "1"}, c.line + "\n");
    ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
    const Json answer = Json::parse(run.out);
    EXPECT_EQ(answer["code"], kLineNotASpecification) << c.line;
    EXPECT_NE(answer["error"].get<std::string>().find(c.named), std::string::npos)
        << c.line << ": " << answer["error"];
  }
}

std::string Printout(const Calculation& calculated) {
  fmt::memory_buffer text;
  AppendDesignJson(text, calculated);
  return fmt::to_string(text);
}

// Designs that use every new field: schemes of each band type with minimum order and without,
// the models designed from a scheme, sections with both scalings, an inactive scheme.
std::vector<FilterSpec> SchemeDesigns() {
  const auto scheme = [](double p1, double p2, double s1, double s2, bool minimum) {
    return ToleranceScheme{.active = true,
                           .minimumOrder = minimum,
                           .pass1 = p1,
                           .pass2 = p2,
                           .stop1 = s1,
                           .stop2 = s2,
                           .attenuation = 45.5};
  };
  return {
      {.model = M::Elliptic, .scheme = scheme(100, 0, 150, 0, true)},
      {.bandType = B::HighPass,
       .model = M::ChebyshevII,
       .order = 5,
       .scheme = scheme(200, 0, 120.5, 0, false)},
      {.bandType = B::BandPass,
       .model = M::Chebyshev,
       .ripple = 0.5,
       .quantization = Quantization::Signed16,
       .scheme = scheme(150, 250, 100, 320, false),
       .structure = IirStructure::Sections,
       .sectionScaling = SectionScaling::L2},
      {.filterClass = FilterClass::Fir,
       .bandType = B::BandStop,
       .model = M::Kaiser,
       .scheme = scheme(100, 400, 180, 300, true)},
      {.filterClass = FilterClass::Fir,
       .model = M::Equiripple,
       .taps = 41,
       .scheme = scheme(100, 0, 160, 0, false)},
      {.quantization = Quantization::Signed16, .structure = IirStructure::Sections},
      {.scheme = {.pass1 = 80.0, .attenuation = 20.0}},
  };
}

// Each design's printed "spec" fed back as a batch line gives the same answer, byte for byte.
TEST(SchemeBatchLine, PrintedSpecReadsBackToTheSameAnswer) {
  std::string input;
  std::string expected;
  for (const FilterSpec& spec : SchemeDesigns()) {
    const Calculation calculated = Calculate(spec);
    ASSERT_TRUE(calculated.Succeeded()) << calculated.outcome.message;
    const std::string printout = Printout(calculated);
    input += Json::parse(printout)["spec"].dump() + "\n";
    expected += printout + "\n";
    // The answer holds every field it was given, and the verdict of a scheme that is set.
    const Json printed = Json::parse(printout);
    EXPECT_EQ(printed["spec"].contains("scheme"), spec.scheme != ToleranceScheme{});
    EXPECT_EQ(
        printed["spec"].contains("structure"),
        spec.structure != IirStructure::Direct || spec.sectionScaling != SectionScaling::LInfinity);
    EXPECT_EQ(printed.contains("verdict"), spec.scheme.active);
  }
  for (const char* jobs : {"1", "2"}) {
    const test::CliRun run = RunCliInProcess({"--batch", "--jobs", jobs}, input);
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
    EXPECT_EQ(run.out, expected);
  }
}

// The magnitude in dB of the printed coefficients at `hz`, computed here from the transfer
// function, independently of the program's check.
double GainDb(const Json& design, double hz, double fs) {
  const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * hz / fs);
  const auto polynomial = [&z](const Json& coefficients) {
    std::complex<double> sum = 0.0;
    std::complex<double> power = 1.0;
    for (const Json& c : coefficients) {
      sum += c.get<double>() * power;
      power *= z;
    }
    return sum;
  };
  return 20.0 *
         std::log10(std::abs(polynomial(design["numerator"]) / polynomial(design["denominator"])));
}

struct Measured {
  double passLossDb;
  double stopAttenuationDb;
};

// Worst pass-band loss and least stop-band attenuation of a low pass on a grid of 4001 points
// per band.
Measured MeasureLowPass(const Json& printed, double pass, double stop, double fs) {
  constexpr int kPoints = 4000;
  double passMax = -1e300;
  double passMin = 1e300;
  double stopMax = -1e300;
  for (int i = 0; i <= kPoints; ++i) {
    const double inPass = GainDb(printed["design"], pass * i / kPoints, fs);
    passMax = std::max(passMax, inPass);
    passMin = std::min(passMin, inPass);
    const double inStop = GainDb(printed["design"], stop + (fs / 2 - stop) * i / kPoints, fs);
    stopMax = std::max(stopMax, inStop);
  }
  return {passMax - passMin, passMax - stopMax};
}

// The smallest elliptic low pass for 100/150 Hz at 1 kHz, Rp 1 dB, As 60 dB: the program says
// it meets, and its coefficients do; one order less, given by hand, misses, says so, and its
// coefficients show it.
TEST(SchemeCli, EllipticMinimumOrderMeetsAndOneOrderLessMisses) {
  const std::vector<std::string> scheme = {"--model", "elliptic", "--pass", "100",   "--stop",
                                           "150",     "--atten",  "60",     "--json"};
  std::vector<std::string> minimum = scheme;
  minimum.push_back("--min-order");
  const test::CliRun found = RunCliInProcess(minimum);
  ASSERT_EQ(found.status, static_cast<int>(ExitStatus::Success)) << found.err;
  const Json best = Json::parse(found.out);
  const int order = best["spec"]["order"].get<int>();
  EXPECT_GE(order, 2);
  const Json& verdict = best["verdict"];
  EXPECT_TRUE(verdict["meets"].get<bool>());
  EXPECT_DOUBLE_EQ(verdict["passMarginDb"].get<double>(),
                   1.0 - verdict["passLossDb"].get<double>());
  EXPECT_DOUBLE_EQ(verdict["stopMarginDb"].get<double>(),
                   verdict["stopAttenuationDb"].get<double>() - 60.0);
  const Measured meets = MeasureLowPass(best, 100.0, 150.0, 1000.0);
  // The grid cannot find a worse point than the program's refined search, nor miss by much.
  EXPECT_LE(meets.passLossDb, verdict["passLossDb"].get<double>() + 1e-6);
  EXPECT_GE(meets.passLossDb, verdict["passLossDb"].get<double>() - 0.01);
  EXPECT_GE(meets.stopAttenuationDb, verdict["stopAttenuationDb"].get<double>() - 1e-6);
  EXPECT_LE(meets.passLossDb, 1.0 + 1e-4);
  EXPECT_GE(meets.stopAttenuationDb, 60.0 - 1e-4);

  std::vector<std::string> manual = scheme;
  manual.insert(manual.end(), {"--order", std::to_string(order - 1)});
  const test::CliRun lower = RunCliInProcess(manual);
  ASSERT_EQ(lower.status, static_cast<int>(ExitStatus::Success)) << lower.err;
  const Json less = Json::parse(lower.out);
  EXPECT_EQ(less["spec"]["order"], order - 1);
  EXPECT_FALSE(less["verdict"]["meets"].get<bool>());
  EXPECT_LT(less["verdict"]["stopMarginDb"].get<double>(), -1e-4);
  EXPECT_LT(MeasureLowPass(less, 100.0, 150.0, 1000.0).stopAttenuationDb, 60.0);
}

struct UsageCase {
  std::vector<std::string> args;
  std::string option;  // named in the message
};

TEST(SchemeCli, UsageErrorsNameTheOption) {
  const std::vector<UsageCase> cases = {
      {{"--pass", "abc"}, "--pass"},
      {{"--pass", "100,"}, "--pass"},
      {{"--band", "bandpass", "--pass", "100,200,300"}, "--pass"},
      {{"--stop", "nan"}, "--stop"},
      {{"--atten", "1e999"}, "--atten"},
      {{"--structure", "lattice"}, "--structure"},
      {{"--scaling", "l1"}, "--scaling"},
      {{"--model", "chebyshev-2"}, "--model"},
      {{"--model", "kaiser"}, "--model"},
      {{"--class", "iir", "--model", "equiripple"}, "--model"},
      {{"--pass", "100,200", "--stop", "300"}, "--pass"},
      {{"--band", "bandpass", "--pass", "100,200", "--stop", "300"}, "--stop"},
      {{"--batch", "--min-order"}, "--min-order"},
  };
  for (const UsageCase& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--json");
    const test::CliRun run = RunCliInProcess(args, "{}\n");
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Usage)) << c.args[1];
    EXPECT_NE(run.err.find(c.option), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

// A scheme, sections and a chunk of a later version go through --open and --save unchanged; a
// damaged block stops the run before anything is written.
TEST(SchemeCli, DesignFileKeepsEveryField) {
  const test::ScratchDirectory scratch("quorvanel-scheme-file");
  const std::string saved = scratch.Path("scheme.qvd");
  const test::CliRun save = RunCliInProcess(
      {"--band",      "bandpass", "--model",   "chebyshev", "--pass", "150,250", "--stop",
       "100,320",     "--atten",  "50",        "--order",   "4",      "--quant", "16",
       "--structure", "sections", "--scaling", "l2",        "--save", saved,     "--json"});
  ASSERT_EQ(save.status, static_cast<int>(ExitStatus::Success)) << save.err;
  FilterSpec stored;
  {
    std::ifstream in(saved, std::ios::binary);
    ASSERT_EQ(LoadDesignFile(in, stored), LoadOutcome::Loaded);
  }
  EXPECT_GT(std::filesystem::file_size(saved), kDesignFileSize);
  EXPECT_TRUE(stored.scheme.active);
  EXPECT_EQ(stored.order, 4);
  EXPECT_EQ(stored.scheme.stop2, 320.0);
  EXPECT_EQ(stored.structure, IirStructure::Sections);
  EXPECT_EQ(stored.sectionScaling, SectionScaling::L2);
  const test::CliRun reopened = RunCliInProcess({"--open", saved, "--json"});
  EXPECT_EQ(reopened.out, save.out);

  // A chunk only a later version knows, after ours.
  const std::string chunk = std::string("MASK\x02\0\0\0xy", 10);
  KeptChunks kept;
  std::copy(chunk.begin(), chunk.end(), kept.bytes.begin());
  kept.size = chunk.size();
  const std::string later = scratch.Path("later.qvd");
  ASSERT_TRUE(SaveDesignFile(later, stored, kept));
  const std::string copy = scratch.Path("copy.qvd");
  ASSERT_EQ(RunCliInProcess({"--open", later, "--save", copy}).status,
            static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(test::ReadBytes(copy), test::ReadBytes(later));

  std::string damaged = test::ReadBytes(later);
  damaged[damaged.size() - 1] = static_cast<char>(damaged.back() ^ 0x40);
  test::WriteBytes(scratch.Path("damaged.qvd"), damaged);
  const test::CliRun refused =
      RunCliInProcess({"--open", scratch.Path("damaged.qvd"), "--save", scratch.Path("x.qvd")});
  EXPECT_EQ(refused.status, static_cast<int>(ExitStatus::Refused));
  EXPECT_EQ(refused.err, std::string(kDamagedExtensionMessage) + "\n");
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("x.qvd")));
}

}  // namespace
}  // namespace qv::cli
