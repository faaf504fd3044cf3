#include "cli/json_output.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>

#include <fmt/compile.h>

namespace qv::cli {

namespace {

using Buffer = fmt::memory_buffer;

void Text(Buffer& out, std::string_view text) { out.append(text.data(), text.data() + text.size()); }

// fmt's shortest round-trip form; JSON has no literal for infinities and not-a-number.
void Real(Buffer& out, double value) {
  if (!std::isfinite(value)) {
    Text(out, "null");
    return;
  }
  fmt::format_to(std::back_inserter(out), FMT_COMPILE("{}"), value);
}

void Whole(Buffer& out, std::int32_t value) {
  fmt::format_to(std::back_inserter(out), FMT_COMPILE("{}"), value);
}

template <typename Enum>
void Code(Buffer& out, Enum value) {
  Whole(out, static_cast<std::int32_t>(value));
}

void String(Buffer& out, std::string_view value) {
  constexpr unsigned char kFirstPrintable = 0x20;
  out.push_back('"');
  for (const char c : value) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      Text(out, "\\n");
    } else if (static_cast<unsigned char>(c) < kFirstPrintable) {
      fmt::format_to(std::back_inserter(out), FMT_COMPILE("\\u{:04x}"), static_cast<unsigned>(c));
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

// The first `count` values, `count` kept within the array.
void Reals(Buffer& out, std::span<const double> values, int count = -1) {
  const auto size = static_cast<int>(values.size());
  const int used = count < 0 ? size : std::clamp(count, 0, size);
  out.push_back('[');
  for (int i = 0; i < used; ++i) {
    if (i > 0) out.push_back(',');
    Real(out, values[i]);
  }
  out.push_back(']');
}

void Points(Buffer& out, std::span<const Complex> points, int count) {
  const int used = std::clamp(count, 0, static_cast<int>(points.size()));
  out.push_back('[');
  for (int i = 0; i < used; ++i) {
    Text(out, i > 0 ? ",[" : "[");
    Real(out, points[i].re);
    out.push_back(',');
    Real(out, points[i].im);
    out.push_back(']');
  }
  out.push_back(']');
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

}  // namespace

void AppendDesignJson(Buffer& text, const CalculatedDesign& calculated) {
  const FilterSpec& spec = calculated.spec;
  const FilterDesign& design = calculated.design;
  const ResponseSet& r = calculated.responses;
  const bool hasPolynomials = IsIirModel(spec.model);
  const int coefficients = hasPolynomials ? spec.effectiveOrder + 1 : 0;
  const int roots = hasPolynomials ? spec.effectiveOrder : 0;
  const int taps = spec.filterClass == FilterClass::Fir ? spec.taps : 0;

  Object top(text);
  Spec(top["spec"], spec);
  Scale(top["scale"], calculated.scale);
  {
    Object d(top["design"]);
    Reals(d["numerator"], design.numerator, coefficients);
    Reals(d["denominator"], design.denominator, coefficients);
    Reals(d["firTaps"], design.firTaps, taps);
    Whole(d["shift"], design.shift);
  }
  Object o(top["responses"]);
  String(o["groupDelayUnit"], r.groupDelayUnit);
  Real(o["groupDelayFactor"], static_cast<double>(r.groupDelayFactor));
  Real(o["magnitudeMinDb"], r.magnitudeMinDb);
  Real(o["magnitudeMaxDb"], r.magnitudeMaxDb);
  Reals(o["magnitudeDb"], r.magnitudeDb);
  Reals(o["phase"], r.phase);
  Real(o["groupDelayMin"], r.groupDelayMin);
  Real(o["groupDelayMax"], r.groupDelayMax);
  Reals(o["groupDelay"], r.groupDelay);
  Points(o["zeros"], r.zeros, roots);
  Points(o["poles"], r.poles, roots);
  Real(o["impulsePeak"], r.impulsePeak);
  Reals(o["impulse"], r.impulse);
  Real(o["stepPeak"], r.stepPeak);
  Reals(o["step"], r.step);
}

void AppendErrorJson(Buffer& text, std::string_view message, std::int32_t code) {
  Object o(text);
  String(o["error"], message);
  Whole(o["code"], code);
}

bool WriteDesignJson(std::ostream& out, const CalculatedDesign& calculated) {
  Buffer text;
  AppendDesignJson(text, calculated);
  text.push_back('\n');
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace qv::cli
