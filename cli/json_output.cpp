#include "cli/json_output.h"

#include <fmt/compile.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <span>

#include "cli/json_number.h"
#include "cli/scheme_fields.h"

namespace qv::cli {

namespace {

using Buffer = fmt::memory_buffer;

void Text(Buffer& out, std::string_view text) {
  out.append(text.data(), text.data() + text.size());
}

void Whole(Buffer& out, std::int32_t value) {
  constexpr int kMostChars = 12;  // "-2147483648"
  char text[kMostChars];
  out.append(text, std::to_chars(text, text + kMostChars, value).ptr);
}

// Reals are written in place behind the text so far (an append per number would cost a call
// and a copy of varying length), for an array the room for all of them taken at once.
void Real(Buffer& out, double value) {
  out.reserve(out.size() + kJsonRealRoom);
  char* const end = WriteJsonReal(out.data() + out.size(), value);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

template <typename Enum>
void Code(Buffer& out, Enum value) {
  Whole(out, static_cast<std::int32_t>(value));
}

void Boolean(Buffer& out, bool value) { Text(out, value ? "true" : "false"); }

// The well-formed UTF-8 sequences of two to four bytes by their first byte: their length and
// the range of their second byte (every later byte is 80 to BF).
struct Utf8Lead {
  unsigned char first;
  unsigned char last;
  std::size_t length;
  unsigned char secondLow;
  unsigned char secondHigh;
};

constexpr std::array<Utf8Lead, 8> kUtf8Leads{{
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},  // shorter forms are overlong
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},  // no surrogates
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},  // shorter forms are overlong
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},  // nothing above U+10FFFF
}};

// The length of the well-formed multi-byte UTF-8 sequence at the start of `text`, or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
  constexpr unsigned char kContinuationMask = 0xC0;
  constexpr unsigned char kContinuation = 0x80;
  const auto byte = [text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  for (const Utf8Lead& lead : kUtf8Leads) {
    if (byte(0) < lead.first || byte(0) > lead.last) continue;
    if (text.size() < lead.length || byte(1) < lead.secondLow || byte(1) > lead.secondHigh) {
      return 0;
    }
    for (std::size_t k = 2; k < lead.length; ++k) {
      if ((byte(k) & kContinuationMask) != kContinuation) return 0;
    }
    return lead.length;
  }
  return 0;
}

// JSON text is UTF-8: a byte that starts no well-formed sequence (a parser's message quotes
// the bytes of its input, whatever they are) is written as U+FFFD, the replacement character.
void String(Buffer& out, std::string_view value) {
  constexpr unsigned char kFirstPrintable = 0x20;
  constexpr unsigned char kFirstMultiByte = 0x80;
  out.push_back('"');
  while (!value.empty()) {
    const char c = value.front();
    std::size_t length = 1;
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      Text(out, "\\n");
    } else if (static_cast<unsigned char>(c) < kFirstPrintable) {
      fmt::format_to(std::back_inserter(out), FMT_COMPILE("\\u{:04x}"), static_cast<unsigned>(c));
    } else if (static_cast<unsigned char>(c) < kFirstMultiByte) {
      out.push_back(c);
    } else if ((length = Utf8SequenceLength(value)) > 0) {
      Text(out, value.substr(0, length));
    } else {
      Text(out, "\\ufffd");
      length = 1;
    }
    value.remove_prefix(length);
  }
  out.push_back('"');
}

// The first `count` values, `count` kept within the array.
void Reals(Buffer& out, std::span<const double> values, int count = -1) {
  const auto size = static_cast<int>(values.size());
  const auto used = static_cast<std::size_t>(count < 0 ? size : std::clamp(count, 0, size));
  constexpr std::size_t kBrackets = 2;
  out.reserve(out.size() + kBrackets + used * (kJsonRealRoom + 1));
  char* cursor = out.data() + out.size();
  *cursor++ = '[';
  for (std::size_t i = 0; i < used; ++i) {
    if (i > 0) *cursor++ = ',';
    cursor = WriteJsonReal(cursor, values[i]);
  }
  *cursor++ = ']';
  out.resize(static_cast<std::size_t>(cursor - out.data()));
}

void Points(Buffer& out, std::span<const Complex> points, int count) {
  const auto used = static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(points.size())));
  constexpr std::size_t kBrackets = 2;
  constexpr std::size_t kPointChars = 2 * kJsonRealRoom + 4;  // ",[", "," and "]" around two
  out.reserve(out.size() + kBrackets + used * kPointChars);
  char* cursor = out.data() + out.size();
  *cursor++ = '[';
  for (std::size_t i = 0; i < used; ++i) {
    if (i > 0) *cursor++ = ',';
    *cursor++ = '[';
    cursor = WriteJsonReal(cursor, points[i].re);
    *cursor++ = ',';
    cursor = WriteJsonReal(cursor, points[i].im);
    *cursor++ = ']';
  }
  *cursor++ = ']';
  out.resize(static_cast<std::size_t>(cursor - out.data()));
}

// Writes the braces of one object and the commas between its fields.
class Object {
 public:
  explicit Object(Buffer& out) : out_(out) { out_.push_back('{'); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  ~Object() { out_.push_back('}'); }

  // Writes the field's name; its value follows.
  Buffer& operator[](std::string_view name) {
    Text(out_, first_ ? "\"" : ",\"");
    first_ = false;
    Text(out_, name);
    Text(out_, "\":");
    return out_;
  }

 private:
  Buffer& out_;
  bool first_ = true;
};

void Scheme(Buffer& out, const ToleranceScheme& scheme) {
  Object o(out);
  for (const SchemeFlagField& field : kSchemeFlagFields)
    Boolean(o[field.name], scheme.*field.member);
  for (const SchemeRealField& field : kSchemeRealFields) Real(o[field.name], scheme.*field.member);
}

void Spec(Buffer& out, const FilterSpec& spec) {
  Object o(out);
  Code(o["filterClass"], spec.filterClass);
  Code(o["bandType"], spec.bandType);
  Code(o["model"], spec.model);
  Whole(o["order"], spec.order);
  Whole(o["effectiveOrder"], spec.effectiveOrder);
  Real(o["rollOff"], spec.rollOff);
  Whole(o["fcut1"], spec.fcut1);
  Whole(o["fcut2"], spec.fcut2);
  Whole(o["fsample"], spec.fsample);
  Real(o["fcenter"], spec.fcenter);
  Real(o["ripple"], spec.ripple);
  Whole(o["taps"], spec.taps);
  Code(o["quantization"], spec.quantization);
  if (HasSchemeField(spec)) Scheme(o[kSchemeFieldName], spec.scheme);
  if (HasStructureFields(spec)) {
    for (const StructureField& field : kStructureFields) Whole(o[field.name], field.get(spec));
  }
}

// The requirements verdict of a design checked against its scheme.
void Verdict(Buffer& out, const SchemeCheck& check) {
  Object o(out);
  Boolean(o["meets"], check.meets);
  Real(o["passLossDb"], check.passLossDb);
  Real(o["stopAttenuationDb"], check.stopAttenuationDb);
  Real(o["passMarginDb"], check.passMarginDb);
  Real(o["stopMarginDb"], check.stopMarginDb);
}

void Scale(Buffer& out, const DisplayScale& scale) {
  Object o(out);
  Whole(o["points"], scale.points);
  // Widened first: the shortest text of the float itself would read back as another double.
  Real(o["columnStep"], static_cast<double>(scale.columnStep));
  Real(o["timeStep"], static_cast<double>(scale.timeStep));
  Whole(o["freqDivisor"], scale.freqDivisor);
  String(o["timeUnit"], scale.timeUnit);
  String(o["freqUnit"], scale.freqUnit);
}

// The curves, their ranges and units, the zeros and the poles (`roots` of each).
void Responses(Buffer& out, const ResponseSet& r, int roots, const JsonFields& fields) {
  using I = JsonItem;
  const auto has = [&fields](I item) { return fields.Has(item); };
  Object o(out);
  if (has(I::GroupDelayUnit)) String(o["groupDelayUnit"], r.groupDelayUnit);
  if (has(I::GroupDelayFactor)) {
    Real(o["groupDelayFactor"], static_cast<double>(r.groupDelayFactor));
  }
  if (has(I::MagnitudeMinDb)) Real(o["magnitudeMinDb"], r.magnitudeMinDb);
  if (has(I::MagnitudeMaxDb)) Real(o["magnitudeMaxDb"], r.magnitudeMaxDb);
  if (has(I::MagnitudeDb)) Reals(o["magnitudeDb"], r.magnitudeDb);
  if (has(I::Phase)) Reals(o["phase"], r.phase);
  if (has(I::GroupDelayMin)) Real(o["groupDelayMin"], r.groupDelayMin);
  if (has(I::GroupDelayMax)) Real(o["groupDelayMax"], r.groupDelayMax);
  if (has(I::GroupDelay)) Reals(o["groupDelay"], r.groupDelay);
  if (has(I::Zeros)) Points(o["zeros"], r.zeros, roots);
  if (has(I::Poles)) Points(o["poles"], r.poles, roots);
  if (has(I::ImpulsePeak)) Real(o["impulsePeak"], r.impulsePeak);
  if (has(I::Impulse)) Reals(o["impulse"], r.impulse);
  if (has(I::StepPeak)) Real(o["stepPeak"], r.stepPeak);
  if (has(I::Step)) Reals(o["step"], r.step);
}

}  // namespace

void AppendDesignJson(Buffer& text, const Calculation& calculated, const JsonFields& fields) {
  using I = JsonItem;
  const FilterSpec& spec = calculated.spec;
  const FilterDesign& design = calculated.design;
  const ResponseSet& r = calculated.responses;
  const bool hasPolynomials = IsIirModel(spec.model);
  const int coefficients = hasPolynomials ? spec.effectiveOrder + 1 : 0;
  const int roots = hasPolynomials ? spec.effectiveOrder : 0;
  const int taps = spec.filterClass == FilterClass::Fir ? spec.taps : 0;
  const auto has = [&fields](I item) { return fields.Has(item); };

  Object top(text);
  if (has(I::Spec)) Spec(top["spec"], spec);
  if (has(I::Scale)) Scale(top["scale"], calculated.scale);
  if (fields.AnyOf(I::Numerator, I::Shift)) {
    Object d(top["design"]);
    if (has(I::Numerator)) Reals(d["numerator"], design.numerator, coefficients);
    if (has(I::Denominator)) Reals(d["denominator"], design.denominator, coefficients);
    if (has(I::FirTaps)) Reals(d["firTaps"], design.firTaps, taps);
    if (has(I::Shift)) Whole(d["shift"], design.shift);
  }
  if (fields.AnyOf(I::GroupDelayUnit, I::Step)) Responses(top["responses"], r, roots, fields);
  if (has(I::Verdict) && calculated.outcome.scheme.checked) {
    Verdict(top["verdict"], calculated.outcome.scheme);
  }
}

void AppendErrorJson(Buffer& text, std::string_view message, std::int32_t code) {
  Object o(text);
  String(o["error"], message);
  Whole(o["code"], code);
}

bool WriteDesignJson(std::ostream& out, const Calculation& calculated, const JsonFields& fields) {
  Buffer text;
  AppendDesignJson(text, calculated, fields);
  text.push_back('\n');
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace qv::cli
