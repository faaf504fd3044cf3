// The direct JSON printout against the document it replaced, and --batch line by line.
#include "cli/batch_line.h"
#include "tests/support/cli_runner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_mode.h"
#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "cli/json_output.h"
#include "dom_json_printout.h"
#include "engine/calculate.h"

namespace qv::cli {
namespace {

using Json = nlohmann::json;

Calculation Calculated(FilterSpec spec) {
  Calculation calculated = Calculate(spec);
  EXPECT_TRUE(calculated.Succeeded()) << calculated.outcome.message;
  return calculated;
}

std::vector<FilterSpec> Designs() {
  using C = FilterClass;
  using M = FilterModel;
  using B = BandType;
  using Q = Quantization;
  return {
      FilterSpec{},
      {.bandType = B::BandStop,
       .model = M::Chebyshev,
       .order = kMaxBandOrder,
       .fcut2 = 300,
       .quantization = Q::Signed16},
      {.bandType = B::HighPass,
       .model = M::Bessel,
       .order = 5,
       .fcut1 = 200,
       .quantization = Q::Signed8},
      {.filterClass = C::Fir,
       .bandType = B::BandStop,
       .model = M::Chebyshev,
       .order = kMaxBandOrder,
       .fcut2 = 300,
       .taps = kMaxTaps,
       .quantization = Q::Signed16},
      {.filterClass = C::Fir,
       .bandType = B::HighPass,
       .model = M::RaisedCosine,
       .fcut1 = 150,
       .taps = 64},
      // A band stop of a FIR-only model keeps the fcenter it was given.
      {.filterClass = C::Fir,
       .bandType = B::BandStop,
       .model = M::Rectangle,
       .fcut1 = 150,
       .fcut2 = 250,
       .fcenter = 123.5,
       .taps = 45,
       .quantization = Q::Signed8},
  };
}

std::string Printout(const Calculation& calculated) {
  fmt::memory_buffer text;
  AppendDesignJson(text, calculated);
  return fmt::to_string(text);
}

// Every value of the direct printout reads back as the document's, in the same order.
TEST(JsonPrintout, ReadsBackAsTheDocument) {
  for (const FilterSpec& spec : Designs()) {
    const Calculation calculated = Calculated(spec);
    const std::string text = Printout(calculated);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(nlohmann::ordered_json::parse(text), reference::DomDesignJson(calculated));
  }
}

// Every finite double reads back to itself, bit for bit (the sign of zero too), whichever
// layout its text takes: edge values first, then random bit patterns.
TEST(JsonPrintout, RealsReadBackBitForBit) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                -3.0,
                                100.0,
                                1e16,
                                1e17,
                                123456789012345678.0,
                                1e22,
                                0.1,
                                0.00001,
                                0.000001,
                                1.5e-5,
                                2.5e-7,
                                5e-324,
                                2.2250738585072014e-308,
                                1.7976931348623157e308,
                                -9.87654321e-300,
                                4294967296.5,
                                99999999.0,
                                100000000.0,
                                12345678.9};
  std::mt19937_64 random(12);
  while (values.size() < 20000) {
    const std::uint64_t bits = random();
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
  }
  Calculation calculated = Calculated(FilterSpec{});
  for (std::size_t first = 0; first < values.size(); first += kDisplayPoints) {
    for (int k = 0; k < kDisplayPoints; ++k) {
      calculated.responses.phase[k] = values[std::min(first + k, values.size() - 1)];
    }
    const Json phase = Json::parse(Printout(calculated))["responses"]["phase"];
    for (int k = 0; k < kDisplayPoints; ++k) {
      const double read = phase[k].get<double>();
      ASSERT_EQ(std::memcmp(&read, &calculated.responses.phase[k], sizeof read), 0)
          << phase[k] << " for " << calculated.responses.phase[k];
    }
  }
}

TEST(JsonPrintout, NonFiniteValuesAndMessagesStayValidJson) {
  Calculation calculated = Calculated(FilterSpec{});
  calculated.responses.groupDelayMax = std::numeric_limits<double>::infinity();
  calculated.responses.phase[3] = std::numeric_limits<double>::quiet_NaN();
  const Json printed = Json::parse(Printout(calculated));
  EXPECT_TRUE(printed["responses"]["groupDelayMax"].is_null());
  EXPECT_TRUE(printed["responses"]["phase"][3].is_null());

  fmt::memory_buffer error;
  const std::string message = "Say \"no\"\\\n\t\x01 thanks";
  AppendErrorJson(error, message, -22);
  EXPECT_EQ(Json::parse(fmt::to_string(error)), (Json{{"error", message}, {"code", -22}}));
}

struct Utf8Case {
  std::string bytes;
  std::string read;  // the text the printed string reads back as
};

// Every byte that starts no well-formed UTF-8 sequence reads back as U+FFFD, and well-formed
// sequences as themselves, so that every message is valid JSON whatever bytes it quotes.
TEST(JsonPrintout, MessagesAreValidUtf8) {
  const std::string r = "\xef\xbf\xbd";  // U+FFFD
  const std::vector<Utf8Case> cases = {
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\x9b \xf4\x8f\xbf\xbf",
       "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\x9b \xf4\x8f\xbf\xbf"},
      {"a\xff", "a" + r},
      {"\x80z", r + "z"},
      {"\xc0\xaf", r + r},                  // overlong
      {"\xe0\x80\xaf", r + r + r},          // overlong
      {"\xed\xa0\x80", r + r + r},          // surrogate
      {"\xf4\x90\x80\x80", r + r + r + r},  // above U+10FFFF
      {"\xf5\x80", r + r},
      {"\xc3", r},  // cut short at the end
      {"\xe2\x82", r + r},
      {"\xe2\x82z", r + r + "z"},
  };
  for (const Utf8Case& c : cases) {
    fmt::memory_buffer text;
    AppendErrorJson(text, c.bytes, 1);
    EXPECT_EQ(Json::parse(fmt::to_string(text))["error"], c.read) << fmt::to_string(text);
  }
}

struct BatchRun {
  int status;
  std::vector<std::string> lines;
  std::string err;
};

BatchRun RunBatchTool(const std::string& input,
                      const std::vector<std::string>& args = {"--batch"}) {
  const test::CliRun cli = test::RunCliInProcess(args, input);
  BatchRun run{cli.status, {}, cli.err};
  std::istringstream lines(cli.out);
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  return run;
}

// Each design's "spec" object fed back as a batch line gives that design's printout again,
// after any other lines.
TEST(Batch, EachLineIsTheCalculationOfItsSpecification) {
  std::string input;
  std::vector<Json> expected;
  for (const FilterSpec& spec : Designs()) {
    const Calculation calculated = Calculated(spec);
    input += Json::parse(Printout(calculated))["spec"].dump() + "\n";
    expected.push_back(Json::parse(reference::DomDesignJson(calculated).dump()));
  }
  const BatchRun run = RunBatchTool(input);
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success));
  EXPECT_TRUE(run.err.empty());
  ASSERT_EQ(run.lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Json::parse(run.lines[i]), expected[i]) << "line " << i + 1;
  }
}

TEST(Batch, FieldsOverrideTheDefaultsAsTheOptionsDo) {
  const BatchRun batch = RunBatchTool(
      R"({"filterClass": 1, "model": 4, "taps": 41, "rollOff": 0.25, "quantization": 1, "fcut1": 120})"
      "\n");
  const test::CliRun options =
      test::RunCliInProcess({"--class", "fir", "--model", "raised-cosine", "--taps", "41",
                             "--rolloff", "0.25", "--quant", "8", "--fc1", "120", "--json"});
  ASSERT_EQ(options.status, static_cast<int>(ExitStatus::Success)) << options.err;
  ASSERT_EQ(batch.lines.size(), 1u);
  EXPECT_EQ(Json::parse(batch.lines[0]), Json::parse(options.out));
}

struct RefusedLine {
  std::string line;
  std::int32_t code;
  std::string message;  // the whole message, or a part naming what is wrong
};

TEST(Batch, RefusedLinesGiveTheirCodeAndTheRunGoesOn) {
  FilterSpec fsZero;
  fsZero.fsample = 0;
  const CalculateOutcome fsZeroOutcome = Calculate(fsZero).outcome;
  const std::vector<RefusedLine> refusals = {
      {R"({"order": 20})", -22, "Filter order must be smaller than 20\n"},
      {R"({"model": 3})", -30,
       "Rectangle and Raised Cosine models are only available for FIR filters\n"},
      {R"({"model": 9})", -29, "The filter class, type, model or quantization is unknown\n"},
      {R"({"fsample": 0})", fsZeroOutcome.code, fsZeroOutcome.message},
      {"{\"order\": 2", kLineNotASpecification, "not valid JSON"},
      {"", kLineNotASpecification, "not valid JSON"},
      {R"({"ripple": 1e999})", kLineNotASpecification, "not valid JSON"},
      {"[1, 2]", kLineNotASpecification, "not a JSON object"},
      {R"({"orders": 2})", kLineNotASpecification, "\"orders\""},
      {R"({"order": 2.5})", kLineNotASpecification, "\"order\" must be a whole number"},
      {R"({"fcut1": 2147483648})", kLineNotASpecification, "\"fcut1\" must be a whole number"},
      {R"({"model": "bessel"})", kLineNotASpecification, "\"model\" must be a whole number"},
      {R"({"ripple": "1"})", kLineNotASpecification, "\"ripple\" must be a number"},
      {std::string(kMaxBatchLineBytes + 1, ' '), kLineNotASpecification, "longer than"},
      // The parser's message quotes these bytes; the output line stays valid JSON.
      {"{\"order\xff\": 2}", kLineNotASpecification, "not valid JSON"},
      {"{\"order\": 2}\xc3", kLineNotASpecification, "not valid JSON"},
      {std::string("{\"order\": 3}\0{", 14), kLineNotASpecification, "NUL byte"},
      {std::string("\0", 1), kLineNotASpecification, "NUL byte"},
  };
  std::string input;
  for (const RefusedLine& r : refusals) input += r.line + "\n{}\n";
  input += "{}";  // the last line needs no newline
  const BatchRun run = RunBatchTool(input);
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success));
  ASSERT_EQ(run.lines.size(), 2 * refusals.size() + 1);
  const Json defaults = Json::parse(reference::DomDesignJson(Calculated(FilterSpec{})).dump());
  for (std::size_t i = 0; i < refusals.size(); ++i) {
    SCOPED_TRACE(refusals[i].line.substr(0, 40));
    const Json refused = Json::parse(run.lines[2 * i]);
    EXPECT_EQ(refused["code"], refusals[i].code);
    EXPECT_NE(refused["error"].get<std::string>().find(refusals[i].message), std::string::npos)
        << refused["error"];
    EXPECT_EQ(Json::parse(run.lines[2 * i + 1]), defaults);
  }
  EXPECT_EQ(Json::parse(run.lines.back()), defaults);
}

TEST(Batch, TakesNoOtherOption) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--batch", "--json"},
                                               {"--order", "3", "--batch"},
                                               {"--batch", "--open", "x.qvd"}}) {
    const BatchRun run = RunBatchTool("{}\n", args);
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Usage));
    EXPECT_NE(run.err.find("--batch"), std::string::npos) << run.err;
    EXPECT_TRUE(run.lines.empty());
  }
  EXPECT_EQ(RunBatchTool("").lines.size(), 0u);
}

TEST(Batch, JobsAreOneToTheMostAndOnlyForBatch) {
  const std::string most = std::to_string(kMaxBatchJobs);
  const std::string beyond = std::to_string(kMaxBatchJobs + 1);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--batch", "--jobs", "0"},
                                               {"--batch", "--jobs=-1"},
                                               {"--batch", "--jobs", "x"},
                                               {"--batch", "--jobs", "2.5"},
                                               {"--batch", "--jobs", beyond},
                                               {"--jobs", "2"}}) {
    const BatchRun run = RunBatchTool("{}\n", args);
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Usage));
    EXPECT_NE(run.err.find("--jobs"), std::string::npos) << run.err;
    EXPECT_TRUE(run.lines.empty());
  }
  const BatchRun one = RunBatchTool("{}\n{\"order\": 20}\n", {"--batch", "--jobs", "1"});
  EXPECT_EQ(one.status, static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(one.lines.size(), 2u);
  const BatchRun all = RunBatchTool("{}\n{\"order\": 20}\n", {"--jobs", most, "--batch"});
  EXPECT_EQ(all.status, static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(all.lines, one.lines);
}

}  // namespace
}  // namespace qv::cli
