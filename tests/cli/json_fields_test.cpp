// --fields: each selection prints exactly the chosen parts of the full answer, in its order,
// for --json and for every --batch line; the default stays the full answer.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "tests/support/cli_runner.h"

namespace qv::cli {
namespace {

using Ordered = nlohmann::ordered_json;

// The record each field of the design and the responses belongs to; the others are records.
std::string RecordOf(const std::string& field) {
  for (const char* record : {"design", "responses"}) {
    if (field == record) return {};
  }
  static const std::vector<std::string> kDesign = {"numerator", "denominator", "firTaps", "shift"};
  for (const std::string& name : kDesign) {
    if (name == field) return "design";
  }
  return field == "spec" || field == "scale" ? std::string() : "responses";
}

// The full answer with only the named parts kept, in the full answer's order.
Ordered Selected(const Ordered& full, const std::vector<std::string>& names) {
  const auto chosen = [&names](const std::string& name) {
    for (const std::string& n : names) {
      if (n == name) return true;
    }
    return false;
  };
  Ordered kept = Ordered::object();
  for (const auto& [record, value] : full.items()) {
    if (chosen(record)) {
      kept[record] = value;
      continue;
    }
    if (!value.is_object()) continue;
    Ordered part = Ordered::object();
    for (const auto& [field, fieldValue] : value.items()) {
      if (chosen(field) && RecordOf(field) == record) part[field] = fieldValue;
    }
    if (!part.empty()) kept[record] = part;
  }
  return kept;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ",") + name;
  return list;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

const std::vector<std::vector<std::string>> kSelections = {
    {"design"},
    {"spec", "design"},
    {"design", "spec"},  // the list's order does not change the answer's
    {"scale", "responses"},
    {"firTaps", "shift", "magnitudeDb"},
    {"poles"},
    {"zeros", "poles", "numerator", "denominator"},
    {"step", "impulsePeak", "groupDelayUnit"},
    {"responses", "phase"},  // a field inside a chosen record is chosen once
    {"verdict"},             // only a design with a tolerance scheme has one
    {"spec", "verdict", "numerator"},
};

// Designs of both classes, float and quantised, IIR band designs with zeros and poles, and an
// elliptic design checked against its tolerance scheme.
const std::string kBatchInput =
    "{}\n"
    R"({"bandType": 3, "model": 1, "order": 9, "fcut2": 300, "quantization": 2})"
    "\n"
    R"({"filterClass": 1, "model": 4, "taps": 41, "fcut1": 120, "quantization": 1})"
    "\n"
    R"({"order": 20})"
    "\n"
    R"({"model": 6, "scheme": {"pass1": 100, "stop1": 150, "attenuation": 50}})"
    "\n";

TEST(JsonFields, BatchLinesHoldExactlyTheChosenPartsInTheirOrder) {
  const test::CliRun full = test::RunCliInProcess({"--batch", "--jobs", "1"}, kBatchInput);
  ASSERT_EQ(full.status, static_cast<int>(ExitStatus::Success)) << full.err;
  const std::vector<std::string> fullLines = Lines(full.out);
  ASSERT_EQ(fullLines.size(), 5u);
  for (const std::vector<std::string>& names : kSelections) {
    for (const char* jobs : {"1", "2"}) {
      SCOPED_TRACE(Joined(names) + " with " + jobs + " jobs");
      const test::CliRun run = test::RunCliInProcess(
          {"--batch", "--jobs", jobs, "--fields", Joined(names)}, kBatchInput);
      EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
      const std::vector<std::string> lines = Lines(run.out);
      ASSERT_EQ(lines.size(), fullLines.size());
      for (std::size_t i = 0; i < lines.size(); ++i) {
        const Ordered whole = Ordered::parse(fullLines[i]);
        // A refused line is answered as before, whatever is chosen.
        const Ordered expected = whole.contains("error") ? whole : Selected(whole, names);
        // Ordered objects compare their fields in order.
        EXPECT_EQ(Ordered::parse(lines[i]), expected) << "line " << i + 1;
      }
    }
  }
}

TEST(JsonFields, JsonRunPrintsTheChosenPartsAndDefaultsToTheWholeAnswer) {
  const std::vector<std::string> design = {"--band", "bandpass", "--order", "3", "--json"};
  const test::CliRun full = test::RunCliInProcess(design);
  ASSERT_EQ(full.status, static_cast<int>(ExitStatus::Success)) << full.err;
  for (const std::vector<std::string>& names : kSelections) {
    SCOPED_TRACE(Joined(names));
    std::vector<std::string> args = design;
    args.insert(args.end(), {"--fields", Joined(names)});
    const test::CliRun run = test::RunCliInProcess(args);
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
    EXPECT_EQ(Ordered::parse(run.out), Selected(Ordered::parse(full.out), names));
  }
  // Every record named is the whole answer again, byte for byte.
  std::vector<std::string> args = design;
  args.insert(args.end(), {"--fields", "responses,design,scale,spec"});
  EXPECT_EQ(test::RunCliInProcess(args).out, full.out);
}

TEST(JsonFields, UnknownOrMisplacedFieldsAreUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string named;  // in the message
  };
  const std::vector<Case> cases = {
      {{"--json", "--fields", "design,coefficients"}, "coefficients"},
      {{"--json", "--fields", "design,"}, "--fields"},
      {{"--json", "--fields", ""}, "--fields"},
      {{"--batch", "--fields", "Spec"}, "Spec"},
      {{"--fields", "design"}, "--json or --batch"},
      {{"--c", "x.c", "--fields", "design"}, "--json or --batch"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Joined(c.args));
    const test::CliRun run = test::RunCliInProcess(c.args, "{}\n");
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Usage));
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

}  // namespace
}  // namespace qv::cli
