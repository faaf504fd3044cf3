#include "cli/cli_run.h"
#include "tests/support/cli_runner.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_mode.h"
#include "cli/exit_status.h"
#include "design/design_driver.h"
#include "design/validation.h"
#include "dom_json_printout.h"
#include "engine/calculate.h"
#include "fileio/design_file.h"

namespace qv::cli {
namespace {

namespace fs = std::filesystem;

using test::CliRun;
using test::RunCliInProcess;

// The printout that the command line must give for `spec`: the records of a direct Calculate.
nlohmann::json Expected(FilterSpec spec) {
  const Calculation calculated = Calculate(spec);
  EXPECT_TRUE(calculated.Succeeded()) << calculated.outcome.message;
  return nlohmann::json::parse(reference::DomDesignJson(calculated).dump());
}

// A scratch directory of its own for every test.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    directory_ = fs::temp_directory_path() /
                 ("quorvanel-cli-test-" + std::to_string(getpid()) + "-" + test->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::string Path(const std::string& name) const { return (directory_ / name).string(); }

  std::string WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  static std::string Stored(const FilterSpec& spec) {
    std::ostringstream out(std::ios::binary);
    StoreDesignFile(out, spec);
    return out.str();
  }

 private:
  fs::path directory_;
};

TEST_F(CliTest, DefaultJsonIsTheCalculatedDefaultDesign) {
  const CliRun run = RunCliInProcess({"--json"});
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  EXPECT_TRUE(run.err.empty());
  ASSERT_EQ(run.out.back(), '\n');
  const nlohmann::json printed = nlohmann::json::parse(run.out);
  EXPECT_EQ(printed, Expected(FilterSpec{}));

  const nlohmann::json& r = printed["responses"];
  EXPECT_NEAR(r["impulsePeak"].get<double>(), 0.282, 0.0005);
  EXPECT_NEAR(r["stepPeak"].get<double>(), 1.050, 0.0005);
  EXPECT_EQ(r["groupDelayUnit"], "ms");
  EXPECT_NEAR(r["groupDelayMin"].get<double>(), 0.23e-3, 0.005e-3);
  EXPECT_NEAR(r["groupDelayMax"].get<double>(), 2.75e-3, 0.005e-3);
  EXPECT_NEAR(r["magnitudeMinDb"].get<double>(), -108.0, 0.5);
}

TEST_F(CliTest, JsonHasTheRecordsFieldsInOrder) {
  const nlohmann::ordered_json printed =
      nlohmann::ordered_json::parse(RunCliInProcess({"--json"}).out);
  const std::vector<std::vector<std::string>> expected = {
      {"spec", "scale", "design", "responses"},
      {"filterClass", "bandType", "model", "order", "effectiveOrder", "rollOff", "fcut1", "fcut2",
       "fsample", "fcenter", "ripple", "taps", "quantization"},
      {"points", "columnStep", "timeStep", "freqDivisor", "timeUnit", "freqUnit"},
      {"numerator", "denominator", "firTaps", "shift"},
      {"groupDelayUnit", "groupDelayFactor", "magnitudeMinDb", "magnitudeMaxDb", "magnitudeDb",
       "phase", "groupDelayMin", "groupDelayMax", "groupDelay", "zeros", "poles", "impulsePeak",
       "impulse", "stepPeak", "step"}};
  const auto keys = [](const nlohmann::ordered_json& object) {
    std::vector<std::string> names;
    for (const auto& item : object.items()) {
      names.push_back(item.key());
    }
    return names;
  };
  EXPECT_EQ(keys(printed), expected[0]);
  for (std::size_t i = 1; i < expected.size(); ++i) {
    EXPECT_EQ(keys(printed[expected[0][i - 1]]), expected[i]);
  }
  for (const char* curve : {"magnitudeDb", "phase", "groupDelay", "impulse", "step"}) {
    EXPECT_EQ(printed["responses"][curve].size(), 256u) << curve;
  }
}

struct SpecCase {
  const char* name;
  std::vector<std::string> args;
  FilterSpec spec;  // what the arguments describe
  std::size_t coefficients, taps, roots;
};

FilterSpec Make(FilterClass filterClass, BandType band, FilterModel model, int order, int fcut1,
                int fcut2, int fsample, Quantization quantization, int taps = 31,
                double ripple = 1.0, double rollOff = 0.5) {
  FilterSpec spec;
  spec.filterClass = filterClass;
  spec.bandType = band;
  spec.model = model;
  spec.order = order;
  spec.fcut1 = fcut1;
  spec.fcut2 = fcut2;
  spec.fsample = fsample;
  spec.quantization = quantization;
  spec.taps = taps;
  spec.ripple = ripple;
  spec.rollOff = rollOff;
  return spec;
}

void PrintTo(const SpecCase& c, std::ostream* os) { *os << c.name; }

class CliSpecTest : public ::testing::TestWithParam<SpecCase> {};

TEST_P(CliSpecTest, JsonIsTheCalculationOfTheDescribedSpecification) {
  std::vector<std::string> args = GetParam().args;
  args.push_back("--json");
  const CliRun run = RunCliInProcess(args);
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  const nlohmann::json printed = nlohmann::json::parse(run.out);
  EXPECT_EQ(printed, Expected(GetParam().spec));
  EXPECT_EQ(printed["design"]["numerator"].size(), GetParam().coefficients);
  EXPECT_EQ(printed["design"]["denominator"].size(), GetParam().coefficients);
  EXPECT_EQ(printed["design"]["firTaps"].size(), GetParam().taps);
  EXPECT_EQ(printed["responses"]["zeros"].size(), GetParam().roots);
  EXPECT_EQ(printed["responses"]["poles"].size(), GetParam().roots);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliSpecTest,
    ::testing::Values(
        SpecCase{"ChebyshevBandPass16",
                 {"--model", "chebyshev", "--band", "bandpass", "--order", "3", "--fc1", "1000",
                  "--fc2", "3000", "--fs", "16000", "--ripple", "0.5", "--quant", "16"},
                 Make(FilterClass::Iir, BandType::BandPass, FilterModel::Chebyshev, 3, 1000, 3000,
                      16000, Quantization::Signed16, 31, 0.5),
                 7,
                 0,
                 6},
        SpecCase{"RaisedCosineFir8",
                 {"--class", "fir", "--model", "raised-cosine", "--taps", "41", "--rolloff",
                  "+0.25", "--quant", "8", "--fc1", "0100"},
                 Make(FilterClass::Fir, BandType::LowPass, FilterModel::RaisedCosine, 2, 100, 100,
                      1000, Quantization::Signed8, 41, 1.0, 0.25),
                 0,
                 41,
                 0},
        SpecCase{"ButterworthFirBandStop",
                 {"--class", "fir", "--band", "bandstop", "--fc1", "150", "--fc2", "300", "--taps",
                  "63"},
                 Make(FilterClass::Fir, BandType::BandStop, FilterModel::Butterworth, 2, 150, 300,
                      1000, Quantization::Float, 63),
                 5,
                 63,
                 4},
        // Low and high pass take fcut2 from fcut1, so the default 350 Hz cannot trip the
        // sampling-frequency check at 600 Hz.
        SpecCase{"BesselHighPassIgnoresStaleFc2",
                 {"--model", "bessel", "--band", "highpass", "--fs", "600", "--fc1", "100"},
                 Make(FilterClass::Iir, BandType::HighPass, FilterModel::Bessel, 2, 100, 100, 600,
                      Quantization::Float),
                 3,
                 0,
                 2},
        SpecCase{"RectangleFirWithEqualsSigns",
                 {"--class=fir", "--model=rectangle", "--taps=15"},
                 Make(FilterClass::Fir, BandType::LowPass, FilterModel::Rectangle, 2, 100, 100,
                      1000, Quantization::Float, 15),
                 0,
                 15,
                 0}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* option;  // named in the message
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class CliUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageTest, UsageErrorNamesTheOptionAndWritesNothing) {
  const fs::path save =
      fs::temp_directory_path() / ("quorvanel-cli-usage-" + std::to_string(getpid()) + ".qvd");
  fs::remove(save);
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--json", "--save", save.string()});
  const CliRun run = RunCliInProcess(args);
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Usage));
  EXPECT_NE(run.err.find(GetParam().option), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
  EXPECT_FALSE(fs::exists(save));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliUsageTest,
    ::testing::Values(
        UsageCase{"LettersForANumber", {"--fs", "abc"}, "--fs"},
        UsageCase{"FractionalOrder", {"--order", "1.5"}, "--order"},
        UsageCase{"BeyondInt32", {"--fc1", "2147483648"}, "--fc1"},
        UsageCase{"HexNumber", {"--taps", "0x1F"}, "--taps"},
        UsageCase{"NotANumberRipple", {"--ripple", "nan"}, "--ripple"},
        UsageCase{"InfiniteRollOff", {"--rolloff", "1e999"}, "--rolloff"},
        UsageCase{"UnknownBand", {"--band", "lowpas"}, "--band"},
        UsageCase{"UnknownQuantization", {"--quant", "32"}, "--quant"},
        UsageCase{"ModelCodeInsteadOfName", {"--model", "3"}, "--model"},
        UsageCase{"MissingValue", {"--fs"}, "--fs"},
        UsageCase{"UnknownOption", {"--bogus"}, "--bogus"},
        UsageCase{"GivenTwice", {"--order", "2", "--order", "3"}, "--order"},
        UsageCase{"IirRectangle", {"--class", "iir", "--model", "rectangle"}, "--model"},
        UsageCase{"DefaultClassRaisedCosine", {"--model", "raised-cosine"}, "--model"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(CliTest, RefusedCalculationShowsItsExactMessageAndWritesNothing) {
  struct Refusal {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Refusal> refusals = {
      {{"--order", "20"}, "Filter order must be smaller than 20\n"},
      {{"--band", "bandpass", "--fc1", "300", "--fc2", "300"}, "Fc2 must be higher than Fc1\n"},
      {{"--fs", "0"},
       [] {
         FilterSpec spec;
         spec.fsample = 0;
         return ValidationMessage(Validate(spec));
       }()},
      {{"--order", "19", "--fc1", "1", "--fs", "1000000"},
       DesignMessage(DesignCode::GainOutOfRange)},
  };
  for (const Refusal& refusal : refusals) {
    std::vector<std::string> args = refusal.args;
    args.insert(args.end(), {"--json", "--save", Path("refused.qvd")});
    const CliRun run = RunCliInProcess(args);
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Refused));
    EXPECT_FALSE(refusal.message.empty());
    EXPECT_EQ(run.err, refusal.message);
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(fs::exists(Path("refused.qvd")));
  }
}

TEST_F(CliTest, SavedDesignIsTheFileOfTheCalculatedSpecAndOpensBack) {
  const std::vector<std::string> args = {"--class", "fir", "--band", "bandpass", "--fc1",   "100",
                                         "--fc2",   "200", "--taps", "51",       "--quant", "16"};
  std::vector<std::string> saving = args;
  saving.insert(saving.end(), {"--save", Path("design.qvd"), "--json"});
  const CliRun saved = RunCliInProcess(saving);
  ASSERT_EQ(saved.status, static_cast<int>(ExitStatus::Success)) << saved.err;
  const std::string bytes = Read(Path("design.qvd"));
  ASSERT_EQ(bytes.size(), kDesignFileSize);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x30\x2E\x38"));

  // The file holds the spec as the calculation normalised it.
  FilterSpec spec;
  std::istringstream in(bytes, std::ios::binary);
  ASSERT_EQ(LoadDesignFile(in, spec), LoadOutcome::Loaded);
  const nlohmann::json printed = nlohmann::json::parse(saved.out);
  EXPECT_EQ(printed["spec"], Expected(spec)["spec"]);
  EXPECT_EQ(spec.effectiveOrder, 4);

  const CliRun opened = RunCliInProcess({"--open", Path("design.qvd"), "--json"});
  ASSERT_EQ(opened.status, static_cast<int>(ExitStatus::Success)) << opened.err;
  EXPECT_EQ(nlohmann::json::parse(opened.out), printed);
}

TEST_F(CliTest, OptionsOverrideTheOpenedFile) {
  FilterSpec stored = Make(FilterClass::Fir, BandType::HighPass, FilterModel::Rectangle, 2, 200,
                           200, 2000, Quantization::Signed8, 21);
  const std::string path = WriteFile("fir.qvd", Stored(stored));
  const CliRun run = RunCliInProcess({"--open", path, "--taps", "33", "--json"});
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  stored.taps = 33;
  EXPECT_EQ(nlohmann::json::parse(run.out), Expected(stored));

  // Choosing IIR on the command line for the file's rectangle model is the user's mistake.
  const CliRun iir = RunCliInProcess({"--open", path, "--class", "iir"});
  EXPECT_EQ(iir.status, static_cast<int>(ExitStatus::Usage));
  EXPECT_NE(iir.err.find("--class"), std::string::npos);
}

TEST_F(CliTest, RefusedFilesShowTheirMessages) {
  FilterSpec firModelForIir;
  firModelForIir.model = FilterModel::Rectangle;
  const std::string valid = Stored(FilterSpec{});
  struct FileCase {
    std::string path;
    std::string message;
  };
  const std::vector<FileCase> cases = {
      {Path("missing.qvd"), Path("missing.qvd") + " was not found.\n"},
      {Path(""), "Failed to open document.\n"},
      {WriteFile("old.qvd",
                 "\x03"
                 "0.7" +
                     valid.substr(4)),
       "Saved File does not fit with this version\n"},
      {WriteFile("short.qvd", valid.substr(0, 40)), "Unexpected file format.\n"},
      // A rectangle IIR design from the file alone is refused by the calculation.
      {WriteFile("iir-rectangle.qvd", Stored(firModelForIir)),
       ValidationMessage(ValidationCode::FirModelForIir)},
  };
  for (const FileCase& c : cases) {
    const CliRun run = RunCliInProcess({"--open", c.path, "--json"});
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Refused)) << c.path;
    EXPECT_EQ(run.err, c.message);
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_F(CliTest, EmptyFileKeepsTheDefaults) {
  const CliRun run = RunCliInProcess({"--open", WriteFile("empty.qvd", ""), "--json"});
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out), Expected(FilterSpec{}));
}

TEST_F(CliTest, FailedSaveIsAnOutputFailure) {
  const CliRun run = RunCliInProcess({"--save", Path("no-such-directory/design.qvd"), "--json"});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, "Failed to save document.\n");
  // The printout is an output of its own and still comes.
  EXPECT_EQ(nlohmann::json::parse(run.out), Expected(FilterSpec{}));
}

TEST_F(CliTest, HelpAndVersion) {
  const CliRun help = RunCliInProcess({"--help"});
  EXPECT_EQ(help.status, static_cast<int>(ExitStatus::Success));
  for (const char* option :
       {"--open",      "--class",     "--band",    "--model",    "--fs",      "--fc1",
        "--fc2",       "--order",     "--taps",    "--ripple",   "--rolloff", "--quant",
        "--json",      "--save",      "--version", "--pass",     "--stop",    "--atten",
        "--min-order", "--structure", "--scaling", "chebyshev2", "elliptic",  "kaiser",
        "equiripple",  "verdict"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  // That --batch takes no other option is said once, at --batch, not on every option.
  EXPECT_EQ(help.out.find("Excludes"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("takes no other option but --jobs"), std::string::npos) << help.out;
  const CliRun version = RunCliInProcess({"--version"});
  EXPECT_EQ(version.status, static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(version.out, "Quorvanel version 0.8\n");
}

TEST_F(CliTest, TheProgramGivesTheSameResultsAndStatuses) {
  const char* program = std::getenv("QUORVANEL_CLI");
  ASSERT_NE(program, nullptr) << "QUORVANEL_CLI names the built quorvanel-cli";
  const auto runProgram = [&](const std::string& args) {
    const std::string command = std::string(program) + " " + args + " 2>" + Path("stderr");
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      out.append(buffer, n);
    }
    const int status = pclose(pipe);
    return CliRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, Read(Path("stderr"))};
  };
  const CliRun json = runProgram("--json");
  EXPECT_EQ(json.status, static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(json.out, RunCliInProcess({"--json"}).out);
  const CliRun refused = runProgram("--order 20 --json");
  EXPECT_EQ(refused.status, static_cast<int>(ExitStatus::Refused));
  EXPECT_EQ(refused.err, "Filter order must be smaller than 20\n");
  EXPECT_EQ(runProgram("--fs x").status, static_cast<int>(ExitStatus::Usage));
}

// libgd, with the image codecs it brings, is loaded by the first picture, not at start.
TEST_F(CliTest, TheProgramLoadsLibgdOnlyToDrawAPicture) {
  const char* program = std::getenv("QUORVANEL_CLI");
  ASSERT_NE(program, nullptr) << "QUORVANEL_CLI names the built quorvanel-cli";
  const auto loaderReport = [&](const std::string& args) {
    const std::string command =
        "LD_DEBUG=libs " + std::string(program) + " " + args + " >/dev/null 2>" + Path("loader");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return Read(Path("loader"));
  };
  EXPECT_EQ(loaderReport("--json --c " + Path("f.c")).find("libgd.so"), std::string::npos);
  EXPECT_NE(loaderReport("--gif " + Path("g.gif")).find("libgd.so"), std::string::npos);
}

}  // namespace
}  // namespace qv::cli
