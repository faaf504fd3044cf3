#include "cli/batch_line.h"

#include <fmt/format.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <system_error>

#include "cli/cli_options.h"
#include "cli/json_output.h"
#include "cli/scheme_fields.h"
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

// A finite JSON number, or the reason for refusing `value` as the field `name`.
std::string ReadReal(std::string_view name, const Json& value, double& real) {
  if (!value.is_number()) return fmt::format("\"{}\" must be a number", name);
  real = value.get<double>();
  // A whole number beyond the double range converts to infinity.
  if (!std::isfinite(real)) return fmt::format("\"{}\" must be a finite number", name);
  return {};
}

// The "scheme" object: a scheme is set (active) unless it says otherwise; the fields it leaves
// out keep the defaults of the record.
std::string ReadScheme(const Json& value, ToleranceScheme& scheme) {
  if (!value.is_object()) return fmt::format("\"{}\" must be an object", kSchemeFieldName);
  ToleranceScheme read;
  read.active = true;
  for (const auto& [name, item] : value.items()) {
    const std::string qualified = fmt::format("{}.{}", kSchemeFieldName, name);
    bool known = false;
    for (const SchemeFlagField& field : kSchemeFlagFields) {
      if (field.name != name) continue;
      if (!item.is_boolean()) return fmt::format("\"{}\" must be true or false", qualified);
      read.*field.member = item.get<bool>();
      known = true;
    }
    for (const SchemeRealField& field : kSchemeRealFields) {
      if (field.name != name) continue;
      if (std::string refused = ReadReal(qualified, item, read.*field.member); !refused.empty()) {
        return refused;
      }
      known = true;
    }
    if (!known) return fmt::format("\"{}\" is not a field of the tolerance scheme", qualified);
  }
  scheme = read;
  return {};
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
    return ReadReal(name, value, spec.*field.member);
  }
  // A design file cannot hold a structure code outside its list either, so such a line is no
  // specification rather than one the calculation refuses.
  for (const StructureField& field : kStructureFields) {
    if (field.name != name) continue;
    std::int32_t whole = 0;
    if (!ReadWhole(value, whole) || whole < 0 || whole > field.lastCode) {
      return fmt::format("\"{}\" must be {}", name, field.codes);
    }
    field.set(spec, whole);
    return {};
  }
  if (name == kSchemeFieldName) return ReadScheme(value, spec.scheme);
  return fmt::format("\"{}\" is not a field of the specification", name);
}

// nlohmann's messages start with their exception's name in brackets, which says nothing to a
// user.
std::string WithoutExceptionName(const std::string& what) {
  const auto end = what.find("] ");
  return end == std::string::npos ? what : what.substr(end + 2);
}

}  // namespace

bool ReadBatchSpec(std::string_view line, FilterSpec& spec, std::string& message) {
  // The parser takes a NUL byte for the end of its input and would calculate the text before
  // it; JSON allows no raw NUL anywhere.
  if (line.find('\0') != std::string_view::npos) {
    message = "The line is not valid JSON: it holds a NUL byte";
    return false;
  }
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

BatchInput::BatchInput(std::istream& in) : in_(in), buffer_(kMaxBatchLineBytes + 1) {}

LineRead BatchInput::Next(std::string_view& line) {
  // The stream keeps no reason of its own for a failed read; the system's is in errno.
  errno = 0;
  in_.getline(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  const auto extracted = static_cast<std::size_t>(in_.gcount());
  bool tooLong = false;
  if (in_.fail() && !in_.bad()) {
    if (in_.eof() && extracted == 0) return LineRead::End;
    // The buffer filled before the newline came.
    in_.clear();
    in_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    tooLong = true;
  }
  if (in_.bad()) {
    const int reason = errno;
    failure_ = reason == 0 ? std::string() : std::generic_category().message(reason);
    return LineRead::Failed;
  }
  if (tooLong) return LineRead::TooLong;
  // The newline counts as extracted but is not stored; the last line may have none.
  const std::size_t stored = in_.eof() ? extracted : extracted - 1;
  line = std::string_view(buffer_.data(), stored);
  return LineRead::Line;
}

void AnswerBatchLine(LineRead read, std::string_view line, fmt::memory_buffer& text,
                     const JsonFields& fields) {
  FilterSpec spec;  // a new design: the defaults
  std::string message;
  if (read == LineRead::TooLong) {
    AppendErrorJson(text, fmt::format("The line is longer than {} bytes", kMaxBatchLineBytes),
                    kLineNotASpecification);
  } else if (!ReadBatchSpec(line, spec, message)) {
    AppendErrorJson(text, message, kLineNotASpecification);
  } else {
    const Calculation calculation =
        Calculate(spec, fields.NeedsResponses() ? CurveWork::Compute : CurveWork::Skip);
    if (calculation.Succeeded()) {
      AppendDesignJson(text, calculation, fields);
    } else {
      AppendErrorJson(text, calculation.outcome.message, calculation.outcome.code);
    }
  }
  text.push_back('\n');
}

}  // namespace qv::cli
