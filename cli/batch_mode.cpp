#include "cli/batch_mode.h"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/cli_options.h"
#include "cli/exit_status.h"
#include "cli/json_output.h"
#include "engine/calculate.h"

namespace qv::cli {

namespace {

using Json = nlohmann::json;

template <typename Enum>
void SetCode(Enum& field, std::int32_t value) {
  field = static_cast<Enum>(value);
}

// The whole-number fields, enumerations among them as their codes.
struct WholeField {
  std::string_view name;
  void (*set)(FilterSpec&, std::int32_t);
};

constexpr std::array<WholeField, 10> kWholeFields{{
    {"filterClass", [](FilterSpec& s, std::int32_t v) { SetCode(s.filterClass, v); }},
    {"bandType", [](FilterSpec& s, std::int32_t v) { SetCode(s.bandType, v); }},
    {"model", [](FilterSpec& s, std::int32_t v) { SetCode(s.model, v); }},
    {"order", [](FilterSpec& s, std::int32_t v) { s.order = v; }},
    {"effectiveOrder", [](FilterSpec& s, std::int32_t v) { s.effectiveOrder = v; }},
    {"fcut1", [](FilterSpec& s, std::int32_t v) { s.fcut1 = v; }},
    {"fcut2", [](FilterSpec& s, std::int32_t v) { s.fcut2 = v; }},
    {"fsample", [](FilterSpec& s, std::int32_t v) { s.fsample = v; }},
    {"taps", [](FilterSpec& s, std::int32_t v) { s.taps = v; }},
    {"quantization", [](FilterSpec& s, std::int32_t v) { SetCode(s.quantization, v); }},
}};

struct RealField {
  std::string_view name;
  double FilterSpec::*member;
};

constexpr std::array<RealField, 3> kRealFields{{
    {"rollOff", &FilterSpec::rollOff},
    {"fcenter", &FilterSpec::fcenter},
    {"ripple", &FilterSpec::ripple},
}};

bool ReadWhole(const Json& value, std::int32_t& whole) {
  if (value.is_number_unsigned()) {
    const auto v = value.get<std::uint64_t>();
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return false;
    whole = static_cast<std::int32_t>(v);
    return true;
  }
  if (!value.is_number_integer()) return false;
  const auto v = value.get<std::int64_t>();
  if (v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  whole = static_cast<std::int32_t>(v);
  return true;
}

// Sets the field `name` from `value`. Returns an empty text, or the reason for refusing it.
std::string ReadField(const std::string& name, const Json& value, FilterSpec& spec) {
  for (const WholeField& field : kWholeFields) {
    if (field.name != name) continue;
    std::int32_t whole = 0;
    if (!ReadWhole(value, whole)) {
      return fmt::format("\"{}\" must be a whole number from {} to {}", name,
                         std::numeric_limits<std::int32_t>::min(),
                         std::numeric_limits<std::int32_t>::max());
    }
    field.set(spec, whole);
    return {};
  }
  for (const RealField& field : kRealFields) {
    if (field.name != name) continue;
    if (!value.is_number()) return fmt::format("\"{}\" must be a number", name);
    const auto real = value.get<double>();
    // A whole number beyond the double range converts to infinity.
    if (!std::isfinite(real)) return fmt::format("\"{}\" must be a finite number", name);
    spec.*field.member = real;
    return {};
  }
  return fmt::format("\"{}\" is not a field of the specification", name);
}

// nlohmann's messages start with their exception's name in brackets, which says nothing to a
// user.
std::string WithoutExceptionName(const std::string& what) {
  const auto end = what.find("] ");
  return end == std::string::npos ? what : what.substr(end + 2);
}

enum class LineRead { Line, TooLong, End };

// Reads the next line into `buffer` (at least kMaxBatchLineBytes + 1 bytes) without its
// newline; a line that does not fit is passed over to its end.
LineRead ReadLine(std::istream& in, std::vector<char>& buffer, std::string_view& line) {
  in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  const auto extracted = static_cast<std::size_t>(in.gcount());
  if (in.fail()) {
    if (in.bad() || (in.eof() && extracted == 0)) return LineRead::End;
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return LineRead::TooLong;
  }
  // The newline counts as extracted but is not stored; the last line may have none.
  const std::size_t stored = in.eof() ? extracted : extracted - 1;
  line = std::string_view(buffer.data(), stored);
  return LineRead::Line;
}

}  // namespace

bool ReadBatchSpec(std::string_view line, FilterSpec& spec, std::string& message) {
  Json object;
  try {
    object = Json::parse(line);
  } catch (const Json::exception& error) {
    message = "The line is not valid JSON: " + WithoutExceptionName(error.what());
    return false;
  }
  if (!object.is_object()) {
    message = "The line is not a JSON object";
    return false;
  }
  spec = FilterSpec{};
  for (const auto& [name, value] : object.items()) {
    message = ReadField(name, value, spec);
    if (!message.empty()) return false;
  }
  // Only the form's Fc2 rule applies: a line is read as a design file's fields are, and the
  // calculation judges their combination.
  ApplyFormRules(SpecOverrides{}, spec);
  return true;
}

int RunBatch(std::istream& in, std::ostream& out) {
  std::vector<char> buffer(kMaxBatchLineBytes + 1);
  fmt::memory_buffer text;
  std::string message;
  CalculatedDesign calculated;
  std::string_view line;
  for (LineRead read; (read = ReadLine(in, buffer, line)) != LineRead::End;) {
    text.clear();
    // Every line is a new design, as one run of the tool is: the responses of a calculation
    // keep some points of the previous one.
    calculated = CalculatedDesign{};
    if (read == LineRead::TooLong) {
      AppendErrorJson(text, fmt::format("The line is longer than {} bytes", kMaxBatchLineBytes),
                      kLineNotASpecification);
    } else if (!ReadBatchSpec(line, calculated.spec, message)) {
      AppendErrorJson(text, message, kLineNotASpecification);
    } else {
      const CalculateOutcome outcome =
          Calculate(calculated.spec, calculated.scale, calculated.design, calculated.responses);
      if (outcome.Succeeded()) {
        AppendDesignJson(text, calculated);
      } else {
        AppendErrorJson(text, outcome.message, outcome.code);
      }
    }
    text.push_back('\n');
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) return kExitOutputFailed;
  }
  return kExitSuccess;
}

}  // namespace qv::cli
